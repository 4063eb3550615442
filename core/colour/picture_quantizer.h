#pragma once
// One picture reduced to a palette of its own for the least squared error: the palette
// is built from the picture's colours (exact when they fit) and every pixel takes its
// nearest entry at full precision.

#include "colour/indexed_bitmap.h"
#include "colour/palettes.h"
#include "raster/fast_bitmap.h"

namespace zefra::colour {

// The palette for `picture` with at most maxColors (1..256) entries.
Palette pictureFitPalette(const raster::FastBitmap& picture, int maxColors);

// An 8-bit bitmap whose palette is pictureFitPalette (not padded). An empty picture gives
// an empty bitmap.
IndexedBitmap quantizePicture(const raster::FastBitmap& picture, int maxColors);

}  // namespace zefra::colour
