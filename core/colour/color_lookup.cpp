#include "colour/color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace zefra::colour {

NearestColorLookup::NearestColorLookup(const Palette& palette)
    : ColorLookup(static_cast<int>(std::min<std::size_t>(palette.size(), 256))) {
  cells.fill(-1);
  for (int i = 0; i < colorCount(); ++i) {
    const Color c = palette[static_cast<std::size_t>(i)];
    entries[static_cast<std::size_t>(i)] = c;
    std::int16_t& cell = cells[static_cast<std::size_t>(cellOf(redOf(c), greenOf(c), blueOf(c)))];
    if (cell < 0) cell = static_cast<std::int16_t>(i);
  }
}

int NearestColorLookup::indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 Color& chosen) {
  std::int16_t& cell = cells[static_cast<std::size_t>(cellOf(red, green, blue))];
  if (cell < 0) {
    int best = 0;
    int bestScore = 0x30000;
    for (int i = 0; i < colorCount(); ++i) {
      const Color c = entries[static_cast<std::size_t>(i)];
      const int score = std::abs(redOf(c) - red) + std::abs(greenOf(c) - green) +
                        std::abs(blueOf(c) - blue);
      if (score < bestScore) {
        bestScore = score;
        best = i;
        if (score == 0) break;  // nothing can beat an exact match
      }
    }
    cell = static_cast<std::int16_t>(best);
  }
  chosen = entries[static_cast<std::size_t>(cell)];
  return cell;
}

int WebCubeLookup::indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            Color& chosen) {
  // Adding 25 (half a step, rounded down) rounds to the nearest step; a smaller bias
  // would send values like 47 to black although 51 is much closer.
  const int r = (red + 25) / 51;
  const int g = (green + 25) / 51;
  const int b = (blue + 25) / 51;
  chosen = rgb(static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
               static_cast<std::uint8_t>(51 * b));
  return r * 36 + g * 6 + b;
}

int GrayscaleLookup::indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                              Color& chosen) {
  const int y = (77 * red + 150 * green + 29 * blue) >> 8;
  const auto v = static_cast<std::uint8_t>(y);
  chosen = rgb(v, v, v);
  return y;
}

int MonochromeLookup::indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                               Color& chosen) {
  if (77 * red + 150 * green + 29 * blue < kWhiteThreshold) {
    chosen = rgb(0, 0, 0);
    return 0;
  }
  chosen = rgb(255, 255, 255);
  return 1;
}

}  // namespace zefra::colour
