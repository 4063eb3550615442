#pragma once
// Text drawing and measuring with one font at one pixel size, in monochrome: every pixel a
// drawing touches takes the full colour, as the desktop's text output does with font
// smoothing off. Faces are found through fontconfig, so a face name that is not installed
// resolves to its metric-compatible or closest substitute; glyphs come from FreeType.
// Character codes are bytes and are read in the Western (1252) code page.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text3d/font.h"
#include "text3d/text_mask.h"

namespace zefra::text3d {

class FontRasterizer {
 public:
  // The rasterizer of `font` with its size multiplied by `scale` (points x scale, or the
  // pixel height x scale). Rasterizers are shared and kept in a small process-wide cache.
  // Throws std::runtime_error only when no face at all can be loaded.
  static std::shared_ptr<FontRasterizer> get(const Font& font, int scale = 1);

  // Drops the rasterizers nobody holds (and with them their rendered characters).
  static void releaseUnused();

  ~FontRasterizer();
  FontRasterizer(const FontRasterizer&) = delete;
  FontRasterizer& operator=(const FontRasterizer&) = delete;

  int pixelsPerEm() const { return ppem; }
  int ascent() const { return asc; }
  int descent() const { return desc; }
  // The line height (ascent + descent): what "the height of X" measures.
  int lineHeight() const { return asc + desc; }

  int charWidth(std::uint8_t code);
  int textWidth(std::string_view text);

  // Everything drawing `text` at (0, 0) sets, underline and strike-out included.
  TextMask drawText(std::string_view text);

  const std::string& fileName() const { return file; }

  struct Impl;

 private:
  explicit FontRasterizer(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl;
  std::string file;
  int ppem = 0;
  int asc = 0;
  int desc = 0;
};

// The Unicode character a byte stands for in the 1252 code page.
char32_t codePageToUnicode(std::uint8_t code);

}  // namespace zefra::text3d
