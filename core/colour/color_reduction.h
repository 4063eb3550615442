#pragma once
// mapToPalette: a true-colour picture to an 8-bit palette bitmap.

#include "colour/colour_types.h"
#include "colour/indexed_bitmap.h"
#include "colour/palettes.h"
#include "raster/fast_bitmap.h"

namespace zefra::colour {

// The target palette of a mode for `source`: the octree modes read the picture, `bits`
// (clamped to 1..8) is used by Octree only and `custom` by CustomPalette only. Empty for
// None and for values outside the known modes.
Palette targetPaletteFor(const raster::FastBitmap& source, ReductionMode mode, int bits,
                         const Palette& custom);

// Maps every pixel of `source` to the target palette of `mode` through the ditherer of
// `dither`. The result has 8 bits per pixel and a 256-entry colour table: the target
// palette in order, padded with black.
//
// Mode None is not a reduction: the caller keeps its 24-bit picture, and this answers the
// empty bitmap, as it does for an unknown mode or dither kind or an empty target palette
// (callers treat an empty bitmap as an empty frame). A source without area stops with
// std::invalid_argument("Invalid image dimensions").
IndexedBitmap mapToPalette(const raster::FastBitmap& source, ReductionMode mode,
                           DitherKind dither = DitherKind::Nearest, int bits = 8,
                           const Palette& custom = {});

}  // namespace zefra::colour
