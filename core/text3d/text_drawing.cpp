#include "text3d/text_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/system_colors.h"
#include "text3d/rounding.h"
#include "text3d/text_effects.h"

namespace zefra::text3d {

namespace {

struct ScratchBuffers {
  raster::FastBitmap text{100, 24};
  raster::FastBitmap output{100, 24};

  void ensure(int w, int h) {
    if (w > text.width() || h > text.height()) {
      int nw = std::max(w, text.width());
      int nh = std::max(h, text.height());
      text.resize(nw, nh);
      output.resize(nw, nh);
    }
  }
};

// One set of buffers for every text drawn on a thread: the editor's canvas and a
// background export draw texts at the same time.
ScratchBuffers& scratch() {
  static thread_local ScratchBuffers buffers;
  return buffers;
}

int charWidth(const Glyph& g, const Font3D& font3d) { return g.width + font3d.characterMargin(); }

}  // namespace

int textWidth3D(const Font& font, Font3D& font3d, std::string_view text, GlyphCache& cache) {
  if (text.empty()) return 0;
  int slot = cache.findOrMake(font, font3d);
  int sum = 0;
  for (char ch : text) sum += charWidth(cache.glyph(slot, static_cast<std::uint8_t>(ch), font3d), font3d);
  int n = static_cast<int>(text.size());
  return sum + (n - 1) * cache.set(slot).settings.glyphOverlap;
}

int textHeight3D(const Font& font, Font3D& font3d, std::string_view text, GlyphCache& cache) {
  int slot = cache.findOrMake(font, font3d);
  std::string_view measured = text.empty() ? std::string_view("X") : text;
  long long sum = 0;
  for (char ch : measured) sum += cache.glyph(slot, static_cast<std::uint8_t>(ch), font3d).height;
  return roundInt(static_cast<double>(sum) / static_cast<double>(measured.size()));
}

void textOut3D(raster::Canvas& canvas, int x, int y, TextAlignment alignment, const Font& font,
               Font3D& font3d, std::string_view text, std::optional<Color> brush, GlyphCache& cache) {
  if (text.empty()) return;
  int slot = cache.findOrMake(font, font3d);
  int n = static_cast<int>(text.size());
  int height = textHeight3D(font, font3d, text, cache);
  int width = 0;
  for (char ch : text) width += charWidth(cache.glyph(slot, static_cast<std::uint8_t>(ch), font3d), font3d);
  const GlyphSet& set = cache.set(slot);
  int overlap = set.settings.glyphOverlap;
  if (width <= 0 || height <= 0) return;

  if (alignment == TextAlignment::Right) {
    x -= width + (n - 1) * overlap;
  } else if (alignment == TextAlignment::Center) {
    x -= (width + (n - 1) * overlap) / 2;
    y -= height / 2;
  }

  ScratchBuffers& buf = scratch();
  buf.ensure(width, height);
  raster::FastBitmap& masks = buf.text;
  raster::FastBitmap& out = buf.output;

  // Background: what the canvas shows under the text, or the brush.
  raster::FastBitmap& target = canvas.bitmap();
  raster::Point org = canvas.origin();
  raster::Rect clip = canvas.clip().intersected(raster::Rect{0, 0, target.width(), target.height()});
  for (int row = 0; row < height; ++row) {
    std::uint8_t* o = out.row(row);
    if (brush) {
      Color b = raster::resolveColor(*brush);
      for (int col = 0; col < width; ++col) {
        o[3 * col] = blueOf(b);
        o[3 * col + 1] = greenOf(b);
        o[3 * col + 2] = redOf(b);
      }
      continue;
    }
    std::memset(o, 0, static_cast<std::size_t>(width) * 3);
    int by = y + row + org.y;
    if (by < clip.top || by >= clip.bottom) continue;
    int bx0 = std::max(x + org.x, clip.left);
    int bx1 = std::min(x + org.x + width, clip.right);
    if (bx1 > bx0)
      std::memcpy(o + 3 * (bx0 - x - org.x), target.row(by) + 3 * bx0, static_cast<std::size_t>(bx1 - bx0) * 3);
  }

  // Shadow pass: the strongest shadow wins where cells overlap.
  for (int row = 0; row < height; ++row) std::memset(masks.row(row), 0, static_cast<std::size_t>(width) * 3);
  int margin = font3d.characterMargin();
  int pen = 0;
  for (char ch : text) {
    const Glyph& g = set.glyphs[static_cast<std::uint8_t>(ch)];
    for (int row = 0; row < g.height && row < height; ++row) {
      std::uint8_t* m = masks.row(row);
      const std::uint8_t* src = g.pixel(0, row);
      for (int col = 0; col < g.width; ++col) {
        std::uint8_t s = src[3 * col];
        int px = pen + col;
        if (s == 0 || px < 0 || px >= width) continue;
        m[3 * px] = std::max(m[3 * px], s);
      }
    }
    pen += g.width + overlap + margin;
  }
  applyShadow(out, masks, width, height, font3d.shadow().color());

  // Face pass: later characters win where cells overlap.
  pen = 0;
  for (char ch : text) {
    const Glyph& g = set.glyphs[static_cast<std::uint8_t>(ch)];
    for (int row = 0; row < g.height && row < height; ++row) {
      std::uint8_t* m = masks.row(row);
      const std::uint8_t* src = g.pixel(0, row);
      for (int col = 0; col < g.width; ++col) {
        int px = pen + col;
        if (px < 0 || px >= width) continue;
        if (src[3 * col + 1] != 0) m[3 * px + 1] = src[3 * col + 1];
        if (src[3 * col + 2] != 0) m[3 * px + 2] = src[3 * col + 2];
      }
    }
    pen += g.width + overlap + margin;
  }
  Font3DSettings look = font3d.settings();
  look.gradientBeginColor = raster::resolveColor(look.gradientBeginColor);
  look.gradientEndColor = raster::resolveColor(look.gradientEndColor);
  applyFaces(out, masks, width, height, look, raster::resolveColor(font3d.frontColor()),
             raster::resolveColor(font3d.border().color()), font3d.bitmap());

  // Copy the W x H area back, clipped.
  for (int row = 0; row < height; ++row) {
    int by = y + row + org.y;
    if (by < clip.top || by >= clip.bottom) continue;
    int bx0 = std::max(x + org.x, clip.left);
    int bx1 = std::min(x + org.x + width, clip.right);
    if (bx1 > bx0)
      std::memcpy(target.row(by) + 3 * bx0, out.row(row) + 3 * (bx0 - x - org.x), static_cast<std::size_t>(bx1 - bx0) * 3);
  }
}

}  // namespace zefra::text3d
