#pragma once
// Changing a picture's size with a filter that keeps its look: every target pixel of a
// reduction is the average of the source area it covers (partly covered pixels count by
// their share), and an enlargement interpolates linearly between the nearest source
// pixel centres. Each axis is handled on its own, so a picture may shrink in one
// direction and grow in the other.

#include "raster/fast_bitmap.h"

namespace zefra::raster {

// `source` drawn at width x height. Sizes below 1 count as 1; an empty source gives an
// empty bitmap.
FastBitmap resampled(const FastBitmap& source, int width, int height);

}  // namespace zefra::raster
