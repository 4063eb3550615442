#include "text3d/glyph_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "text3d/direction_vectors.h"
#include "text3d/font_rasterizer.h"
#include "text3d/rounding.h"

namespace zefra::text3d {

namespace {

// Labels of the supersampled scratch picture. Each stands for one solid colour the
// character is drawn in; later drawings overwrite earlier ones.
constexpr std::uint8_t kBlack = 0;        // 1..8: diffuse shadow level k, blue 25 k
constexpr std::uint8_t kSharpShadow = 9;  // blue 255
constexpr std::uint8_t kBorder = 10;      // pure green
constexpr std::uint8_t kFront = 11;       // pure red

// Cells beyond this many final pixels are not drawn (only sized): a project file may ask
// for absurd border heights or altitudes, and drawing must not exhaust memory.
constexpr double kMaxCellPixels = 16.0 * 1024 * 1024;
constexpr double kMaxScratchPixels = 64.0 * 1024 * 1024;

struct Scratch {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> labels;

  void reset(int w, int h) {
    width = w;
    height = h;
    labels.assign(static_cast<std::size_t>(w) * h, kBlack);
  }

  void stamp(const TextMask& mask, int x, int y, std::uint8_t label) {
    for (const MaskSpan& s : mask.spans) {
      int row = s.y + y;
      if (row < 0 || row >= height) continue;
      int x0 = std::max(0, s.x0 + x);
      int x1 = std::min(width, s.x1 + x);
      if (x1 > x0) std::memset(labels.data() + static_cast<std::size_t>(row) * width + x0, label, x1 - x0);
    }
  }
};

}  // namespace

int supersamplingFactor(bool antialiasing, int lineHeight) {
  if (!antialiasing) return 1;
  if (lineHeight <= 12) return 16;
  if (lineHeight <= 50) return 8;
  return 4;
}

void buildGlyph(GlyphSet& set, Font3D& font3d, std::uint8_t code) {
  const Font3DSettings& st = set.settings;
  auto base = FontRasterizer::get(set.font, 1);
  int hX = base->lineHeight();
  int f = supersamplingFactor(st.antialiasing, hX);
  bool diffuse = st.shadowStyle == ShadowStyle::Diffuse;
  int shadowExtent = diffuse ? roundInt(0.05 * hX) : 0;
  int italicExtra = set.font.has(kItalic) ? roundInt(0.1 * hX) : 0;
  int wc = base->charWidth(code);
  double absBorder = std::fabs(st.borderHeight);
  double absAltitude = std::fabs(st.altitude);

  int hc = static_cast<int>(std::trunc(std::min(1e9, shadowExtent + absBorder + absAltitude + hX + 2)));
  int wcell = static_cast<int>(std::trunc(std::min(1e9, italicExtra + shadowExtent + absBorder + absAltitude + wc + 2)));
  int overlap = -static_cast<int>(std::trunc(std::min(1e9, shadowExtent + italicExtra + absBorder + absAltitude)));
  set.settings.glyphOverlap = overlap;
  font3d.setGlyphOverlap(overlap);

  Glyph& glyph = set.glyphs[code];
  hc = std::max(hc, 1);
  wcell = std::max(wcell, 1);
  if (static_cast<double>(hc) * wcell > kMaxCellPixels) {
    glyph.width = std::min(wcell, 4096);
    glyph.height = std::min(hc, 4096);
    glyph.pixels.assign(static_cast<std::size_t>(glyph.width) * glyph.height * 3, 0);
    return;
  }
  while (f > 1 && static_cast<double>(hc) * wcell * f * f > kMaxScratchPixels) f /= 2;

  auto scaled = FontRasterizer::get(set.font, f);
  int hS = scaled->lineHeight();
  std::string_view ch(reinterpret_cast<const char*>(&code), 1);
  TextMask stampMask = scaled->drawText(ch);
  if (set.font.has(kUnderline)) {
    // Underlines of neighbouring characters must join across the cell overlap.
    TextMask spaces = scaled->drawText("     ");
    int w5 = scaled->textWidth("     ");
    int wcs = scaled->charWidth(code);
    stampMask.merge(spaces, -roundInt(0.8 * w5), 0);
    stampMask.merge(spaces, roundInt(0.8 * wcs), 0);
  }

  static thread_local Scratch scratch;
  int sw = wcell * f;
  int sh = hc * f;
  scratch.reset(sw, sh);

  GlyphGeometry geo = glyphGeometry(st.viewDirection, st.altitude, st.borderHeight, f);
  int x0 = geo.front.x;
  int y0 = geo.front.y;
  int cx = x0 + geo.border.x + geo.altitude.x;
  int cy = y0 + geo.border.y + geo.altitude.y;

  if (diffuse) {
    for (int k = 1; k <= 8; ++k) {
      double r = static_cast<double>(roundInt(hS * (8.0 - k) / 7.0 * 0.05));
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
          double m = ((j == 0) != (i == 0)) ? 1.41 : 1.0;
          scratch.stamp(stampMask, cx + roundInt(r * j * m), cy + roundInt(r * i * m),
                        static_cast<std::uint8_t>(k));
        }
    }
  } else if (st.shadowStyle == ShadowStyle::Sharp) {
    scratch.stamp(stampMask, cx, cy, kSharpShadow);
  }

  if (geo.hasBorder) {
    for (int n = 0; n < geo.borderSteps; ++n)
      scratch.stamp(stampMask, roundInt(x0 + n * geo.stepX), roundInt(y0 + n * geo.stepY), kBorder);
  }
  scratch.stamp(stampMask, x0, y0, kFront);

  // Box filter: each final pixel is the truncated mean of its f x f block, per channel.
  static constexpr std::uint8_t kBlue[12] = {0, 25, 50, 75, 100, 125, 150, 175, 200, 255, 0, 0};
  glyph.width = wcell;
  glyph.height = hc;
  glyph.pixels.assign(static_cast<std::size_t>(wcell) * hc * 3, 0);
  int area = f * f;
  for (int y = 0; y < hc; ++y) {
    for (int x = 0; x < wcell; ++x) {
      int blue = 0, green = 0, red = 0;
      for (int yy = 0; yy < f; ++yy) {
        const std::uint8_t* row = scratch.labels.data() + static_cast<std::size_t>(y * f + yy) * sw + x * f;
        for (int xx = 0; xx < f; ++xx) {
          std::uint8_t l = row[xx];
          if (l == kBlack) continue;
          if (l == kBorder) green += 255;
          else if (l == kFront) red += 255;
          else blue += kBlue[l];
        }
      }
      std::uint8_t* p = glyph.pixels.data() + (static_cast<std::size_t>(y) * wcell + x) * 3;
      p[0] = static_cast<std::uint8_t>(blue / area);
      p[1] = static_cast<std::uint8_t>(green / area);
      p[2] = static_cast<std::uint8_t>(red / area);
    }
  }
}

}  // namespace zefra::text3d
