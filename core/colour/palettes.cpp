#include "colour/palettes.h"

#include <cstdint>

namespace zefra::colour {

const Palette& systemPalette20() {
  static const Palette colours = {
      rgb(0, 0, 0),       rgb(128, 0, 0),     rgb(0, 128, 0),     rgb(128, 128, 0),
      rgb(0, 0, 128),     rgb(128, 0, 128),   rgb(0, 128, 128),   rgb(192, 192, 192),
      rgb(192, 220, 192), rgb(166, 202, 240), rgb(255, 251, 240), rgb(160, 160, 164),
      rgb(128, 128, 128), rgb(255, 0, 0),     rgb(0, 255, 0),     rgb(255, 255, 0),
      rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255),   rgb(255, 255, 255),
  };
  return colours;
}

Palette halftonePalette() {
  const Palette& system = systemPalette20();
  Palette p(system.begin(), system.begin() + 10);
  // The web cube without its eight corners, which the system colours already hold.
  for (Color c : webCubePalette()) {
    const bool corner = (redOf(c) == 0 || redOf(c) == 255) && (greenOf(c) == 0 || greenOf(c) == 255) &&
                        (blueOf(c) == 0 || blueOf(c) == 255);
    if (!corner) p.push_back(c);
  }
  // 28 greys between the cube's six grey steps (8, 17, ..., 246); none equals a cube step
  // or a system grey, so the table holds no duplicate.
  for (int i = 1; i <= 28; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / 29);
    p.push_back(rgb(v, v, v));
  }
  p.insert(p.end(), system.begin() + 10, system.end());
  return p;
}

Palette greyRampPalette() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    p[static_cast<std::size_t>(i)] = rgb(v, v, v);
  }
  return p;
}

Palette webCubePalette() {
  Palette p;
  p.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.push_back(rgb(static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                        static_cast<std::uint8_t>(51 * b)));
  return p;
}

Palette fourGreyPalette() { return {rgb(0, 0, 0), rgb(128, 128, 128), rgb(192, 192, 192), rgb(255, 255, 255)}; }

Palette blackWhitePalette() { return {rgb(0, 0, 0), rgb(255, 255, 255)}; }

}  // namespace zefra::colour
