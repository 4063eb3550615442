#pragma once
// A palette for a set of weighted colours that keeps the squared error small: colours
// that fit are taken exactly; otherwise the colour space is cut into boxes (always the box
// with the largest squared error, at the place that lowers it most) and the box means are
// refined by a few rounds of k-means over all colours.

#include <vector>

#include "colour/color_histogram.h"
#include "colour/palettes.h"

namespace zefra::colour {

// At most maxColors (>= 1) distinct colours, most used first when the colours fit. An empty
// input gives an empty palette.
Palette buildPalette(std::vector<WeightedColor> colors, int maxColors, int refineRounds = 10);

// Sum of weight x squared RGB distance to the nearest palette colour.
double paletteError(const std::vector<WeightedColor>& colors, const Palette& palette);

}  // namespace zefra::colour
