#pragma once
// A font as a text object carries it: face name, size, style and the pixels per inch the
// size is measured at. The size is either in points (height < 1, the usual case, where
// height holds the em height in pixels as a negative number) or a cell height in pixels
// (height >= 1). The colour travels with the font but takes no part in glyph shapes.

#include <cstdint>
#include <string>

#include "common/color.h"

namespace zefra::text3d {

using FontStyles = std::uint8_t;
inline constexpr FontStyles kBold = 1;
inline constexpr FontStyles kItalic = 2;
inline constexpr FontStyles kUnderline = 4;
inline constexpr FontStyles kStrikeOut = 8;

enum class FontPitch : std::uint8_t { Default = 0, Variable = 1, Fixed = 2 };

inline constexpr int kDefaultPixelsPerInch = 96;

// Points to em pixels: the product is rounded half away from zero, as an integer
// multiply-divide does on the desktop this program comes from.
inline int pointsToPixels(int points, int pixelsPerInch) {
  long long num = static_cast<long long>(points) * pixelsPerInch;
  long long q = (num >= 0 ? num + 36 : num - 36) / 72;
  return static_cast<int>(q);
}

struct Font {
  std::string name = "Arial";
  int size = 8;                    // points
  int height = -11;                // see the header comment
  FontPitch pitch = FontPitch::Default;
  int pixelsPerInch = kDefaultPixelsPerInch;
  FontStyles style = 0;
  Color color = 0;

  // Sets the size in points and keeps height in step (negative em height).
  void setSize(int points) {
    size = points;
    height = -pointsToPixels(points, pixelsPerInch);
  }
  void setPixelsPerInch(int ppi) {
    pixelsPerInch = ppi;
    if (height < 1) height = -pointsToPixels(size, pixelsPerInch);
  }
  bool has(FontStyles s) const { return (style & s) != 0; }

  // Equality of everything that shapes the glyphs (the colour is left out).
  bool sameShape(const Font& o) const {
    return height == o.height && size == o.size && name == o.name && pitch == o.pitch &&
           pixelsPerInch == o.pixelsPerInch && style == o.style;
  }
};

inline Font makeFont(const std::string& name, int points, FontStyles style = 0,
                     int pixelsPerInch = kDefaultPixelsPerInch) {
  Font f;
  f.name = name;
  f.pixelsPerInch = pixelsPerInch;
  f.style = style;
  f.setSize(points);
  return f;
}

}  // namespace zefra::text3d
