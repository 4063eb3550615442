#pragma once
// Value types of the colour reduction that the GIF model stores too. The numeric values of
// the enums are the ones stored in GifImage and passed around by callers, so they must not
// be renumbered.

#include <cstdint>

#include "common/color.h"

namespace zefra::colour {

// One colour table entry, in file order.
struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb toRgb(Color c) { return Rgb{redOf(c), greenOf(c), blueOf(c)}; }
constexpr Color toColor(Rgb c) { return rgb(c.red, c.green, c.blue); }

// How a bitmap deeper than 8 bits is brought down to a colour table when it becomes a frame.
enum class ReductionMode : std::uint8_t {
  None = 0,
  System20 = 1,
  Halftone256 = 2,
  Gray4 = 3,
  BlackWhite = 4,
  Gray256 = 5,
  NetscapeCube = 6,
  Octree = 7,
  OctreeSystem = 8,
  CustomPalette = 9,
};

enum class DitherKind : std::uint8_t {
  Nearest = 0,
  FloydSteinberg = 1,
  Stucki = 2,
  Sierra = 3,
  JaJuNi = 4,
  SteveArche = 5,
  Burkes = 6,
};

}  // namespace zefra::colour
