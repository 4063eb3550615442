#pragma once
// The fixed target palettes of the colour reduction. A palette is an ordered list of
// colours (0x00BBGGRR); its index is the palette index written into reduced pixels.

#include <vector>

#include "common/color.h"

namespace zefra::colour {

using Palette = std::vector<Color>;

// The 20 static system colours: entries 0..9 are the "first ten", 10..19 the "last ten".
const Palette& systemPalette20();

// A fixed 256-colour screen palette: the first ten system colours, the web cube without its
// eight corners (208), 28 extra greys, the last ten system colours.
Palette halftonePalette();

// 256 greys, entry i = (i, i, i).
Palette greyRampPalette();

// 216 colours, entry r*36 + g*6 + b = (51r, 51g, 51b).
Palette webCubePalette();

// Black, (128,128,128), (192,192,192), white.
Palette fourGreyPalette();

// Black, white.
Palette blackWhitePalette();

}  // namespace zefra::colour
