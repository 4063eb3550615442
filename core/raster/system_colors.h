#pragma once
// Colours with the top bit set name a system colour (index in the low byte). Pixel work
// needs real RGB values, so every colour from a record passes through resolveColor first.
// There is no desktop theme to ask, so the table holds fixed, neutral defaults of a classic
// light-grey scheme; an unknown index resolves to black.

#include "common/color.h"

namespace zefra::raster {

inline constexpr int kSystemColorCount = 31;

// The default RGB value of system colour `index`; black for an unknown index.
Color systemColor(int index);

// Plain colours pass unchanged; system colours become their table value.
Color resolveColor(Color c);

}  // namespace zefra::raster
