#pragma once
// A glyph set: the glyphs of the 256 character codes for one font and one set of the 3D
// settings that shape the masks. Colours, gradient, texture and character margin are
// applied when drawing and are not part of a set.

#include <array>
#include <cstdint>
#include <vector>

#include "text3d/font.h"
#include "text3d/font3d.h"

namespace zefra::text3d {

// Three coverage bytes per pixel, row by row from the top: shadow, border, front.
struct Glyph {
  int width = -1;
  int height = -1;
  std::vector<std::uint8_t> pixels;

  bool built() const { return !(width == -1 && height == -1); }
  std::int64_t byteCount() const {
    return built() ? static_cast<std::int64_t>(width) * height * 3 : 0;
  }
  const std::uint8_t* pixel(int x, int y) const {
    return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
  }
};

struct GlyphSet {
  Font font;
  Font3DSettings settings;
  std::array<Glyph, 256> glyphs;

  std::int64_t byteCount() const {
    std::int64_t n = 0;
    for (const Glyph& g : glyphs) n += g.byteCount();
    return n;
  }
};

// Whether two font / 3D-setting pairs are served by the same glyph set.
bool sameGlyphSet(const Font& a, const Font3DSettings& sa, const Font& b, const Font3DSettings& sb);

}  // namespace zefra::text3d
