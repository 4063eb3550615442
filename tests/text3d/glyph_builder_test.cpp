#include <gtest/gtest.h>

#include <cmath>

#include "text3d/font_rasterizer.h"
#include "text3d/glyph_builder.h"
#include "text3d/glyph_set.h"
#include "text3d/rounding.h"

namespace zefra::text3d {
namespace {

GlyphSet makeSet(const Font& font, const Font3DSettings& s) {
  GlyphSet set;
  set.font = font;
  set.settings = s;
  return set;
}

Font3DSettings diffuse(bool antialiasing, int view = 135, double border = 2, double altitude = 3) {
  Font3DSettings s;
  s.shadowStyle = ShadowStyle::Diffuse;
  s.antialiasing = antialiasing;
  s.viewDirection = view;
  s.borderHeight = border;
  s.altitude = altitude;
  return s;
}

// Mean position of the pixels whose channel `c` (0 shadow, 1 border, 2 front) is set.
std::pair<double, double> centroid(const Glyph& g, int c) {
  double sx = 0, sy = 0, n = 0;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x)
      if (g.pixel(x, y)[c] != 0) {
        sx += x;
        sy += y;
        n += 1;
      }
  return {n ? sx / n : -1, n ? sy / n : -1};
}

TEST(GlyphBuilder, CellSizeAndOverlapFollowTheLineHeight) {
  Font font = makeFont("Arial", 26, kItalic);
  GlyphSet set = makeSet(font, diffuse(true));
  Font3D f3;
  buildGlyph(set, f3, 'W');
  auto r = FontRasterizer::get(font);
  int hX = r->lineHeight();
  int shadow = roundInt(0.05 * hX);
  int italic = roundInt(0.1 * hX);
  const Glyph& g = set.glyphs['W'];
  EXPECT_EQ(g.height, static_cast<int>(std::trunc(shadow + 2.0 + 3.0 + hX + 2)));
  EXPECT_EQ(g.width, static_cast<int>(std::trunc(italic + shadow + 2.0 + 3.0 + r->charWidth('W') + 2)));
  EXPECT_EQ(f3.glyphOverlap(), -(shadow + italic + 5));
  EXPECT_EQ(set.settings.glyphOverlap, f3.glyphOverlap());
  EXPECT_EQ(g.pixels.size(), static_cast<std::size_t>(g.width) * g.height * 3);
  buildGlyph(set, f3, 'i');
  EXPECT_EQ(set.glyphs['i'].height, g.height);  // one cell height for the whole set
  EXPECT_LT(set.glyphs['i'].width, g.width);
}

TEST(GlyphBuilder, AntialiasedMasksNeverExceedFullCoverage) {
  for (int view : {0, 60, 135, 200, 300}) {
    GlyphSet set = makeSet(makeFont("Arial", 26, kBold | kUnderline), diffuse(true, view));
    Font3D f3;
    for (std::uint8_t c : {'g', 'M', '&'}) {
      buildGlyph(set, f3, c);
      const Glyph& g = set.glyphs[c];
      bool partial = false;
      for (std::size_t i = 0; i < g.pixels.size(); i += 3) {
        EXPECT_LE(g.pixels[i + 1] + g.pixels[i + 2], 255);
        EXPECT_LE(g.pixels[i], 200);  // the shadow core is blue 200
        if (g.pixels[i + 2] != 0 && g.pixels[i + 2] != 255) partial = true;
      }
      EXPECT_TRUE(partial) << "anti-aliasing left no partly covered front pixel in " << c;
    }
  }
}

TEST(GlyphBuilder, WithoutAntialiasingMasksAreHard) {
  GlyphSet set = makeSet(makeFont("Arial", 20), diffuse(false));
  Font3D f3;
  buildGlyph(set, f3, 'R');
  const Glyph& g = set.glyphs['R'];
  int front = 0, border = 0, shadow = 0;
  for (std::size_t i = 0; i < g.pixels.size(); i += 3) {
    std::uint8_t s = g.pixels[i], b = g.pixels[i + 1], f = g.pixels[i + 2];
    EXPECT_TRUE(b == 0 || b == 255);
    EXPECT_TRUE(f == 0 || f == 255);
    EXPECT_EQ(s % 25, 0);
    EXPECT_LE(s, 200);
    front += f != 0;
    border += b != 0;
    shadow += s != 0;
  }
  EXPECT_GT(front, 20);
  EXPECT_GT(border, 10);
  EXPECT_GT(shadow, 10);
}

TEST(GlyphBuilder, BorderAndShadowExtendTowardTheViewDirection) {
  for (int view : {135, 315}) {
    GlyphSet set = makeSet(makeFont("Arial", 30), diffuse(false, view, 3, 4));
    Font3D f3;
    buildGlyph(set, f3, 'O');
    const Glyph& g = set.glyphs['O'];
    auto [fx, fy] = centroid(g, 2);
    auto [bx, by] = centroid(g, 1);
    auto [sx, sy] = centroid(g, 0);
    double dir = view == 135 ? 1 : -1;  // down-right, or up-left
    EXPECT_GT(dir * (bx - fx), 0.5) << view;
    EXPECT_GT(dir * (by - fy), 0.5) << view;
    EXPECT_GT(dir * (sx - bx), 0.5) << view;
    EXPECT_GT(dir * (sy - by), 0.5) << view;
  }
}

TEST(GlyphBuilder, NoBorderBelowTheThreshold) {
  GlyphSet set = makeSet(makeFont("Arial", 20), diffuse(true, 135, 0.0001));
  Font3D f3;
  buildGlyph(set, f3, 'H');
  const Glyph& g = set.glyphs['H'];
  for (std::size_t i = 0; i < g.pixels.size(); i += 3) EXPECT_EQ(g.pixels[i + 1], 0);
}

TEST(GlyphBuilder, ViewDirectionZeroAndFullCircleGiveTheSameGlyph) {
  GlyphSet a = makeSet(makeFont("Arial", 16), diffuse(true, 0));
  GlyphSet b = makeSet(makeFont("Arial", 16), diffuse(true, 360));
  Font3D f3;
  buildGlyph(a, f3, 'k');
  buildGlyph(b, f3, 'k');
  EXPECT_EQ(a.glyphs['k'].pixels, b.glyphs['k'].pixels);
  EXPECT_EQ(a.glyphs['k'].width, b.glyphs['k'].width);
}

TEST(GlyphBuilder, HighCodesAreDrawnFromTheWesternCodePage) {
  GlyphSet set = makeSet(makeFont("Arial", 20), diffuse(false));
  Font3D f3;
  buildGlyph(set, f3, 0xE9);  // e acute
  buildGlyph(set, f3, 0x80);  // euro sign
  for (std::uint8_t c : {0xE9, 0x80}) {
    const Glyph& g = set.glyphs[c];
    int front = 0;
    for (std::size_t i = 2; i < g.pixels.size(); i += 3) front += g.pixels[i] != 0;
    EXPECT_GT(front, 10) << int(c);
  }
  EXPECT_EQ(codePageToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(codePageToUnicode(0xE9), U'\u00E9');
}

TEST(GlyphBuilder, UnderlineRunsAcrossTheWholeCellSoNeighboursJoin) {
  auto fullFrontRow = [](const Glyph& g) {
    for (int y = 0; y < g.height; ++y) {
      bool all = true;
      for (int x = 0; x < g.width && all; ++x) all = g.pixel(x, y)[2] == 255;
      if (all) return true;
    }
    return false;
  };
  Font3D f3;
  GlyphSet plain = makeSet(makeFont("Arial", 26), diffuse(false));
  GlyphSet under = makeSet(makeFont("Arial", 26, kUnderline), diffuse(false));
  buildGlyph(plain, f3, 'a');
  buildGlyph(under, f3, 'a');
  EXPECT_FALSE(fullFrontRow(plain.glyphs['a']));
  EXPECT_TRUE(fullFrontRow(under.glyphs['a']));
}

TEST(FontLookup, ArialResolvesToAMetricCompatibleFace) {
  auto arial = FontRasterizer::get(makeFont("Arial", 26));
  if (arial->fileName().find("Liberation") == std::string::npos)
    GTEST_SKIP() << "Arial is installed or not aliased to Liberation Sans here: " << arial->fileName();
  auto liberation = FontRasterizer::get(makeFont("Liberation Sans", 26));
  EXPECT_EQ(arial->lineHeight(), liberation->lineHeight());
  for (std::uint8_t c = 32; c < 127; ++c) EXPECT_EQ(arial->charWidth(c), liberation->charWidth(c)) << c;
  EXPECT_EQ(arial->pixelsPerEm(), 35);  // 26 pt at 96 dpi = 34.67 px
}

TEST(FontLookup, MeasuresAdvanceAndLineHeight) {
  auto r = FontRasterizer::get(makeFont("DejaVu Sans", 20));
  // The line height holds ascent and descent, so it exceeds the em (27 px at 20 pt).
  EXPECT_EQ(r->pixelsPerEm(), 27);
  EXPECT_GT(r->lineHeight(), r->pixelsPerEm());
  EXPECT_EQ(r->textWidth("AVA"), 2 * r->charWidth('A') + r->charWidth('V'));
  auto bold = FontRasterizer::get(makeFont("DejaVu Sans", 20, kBold));
  EXPECT_GT(bold->textWidth("Banner"), r->textWidth("Banner"));
  // Scaling multiplies the point size.
  EXPECT_EQ(FontRasterizer::get(makeFont("DejaVu Sans", 20), 8)->pixelsPerEm(), pointsToPixels(160, 96));
  EXPECT_EQ(pointsToPixels(26, 120), 43);  // 43.33
  EXPECT_EQ(pointsToPixels(9, 96), 12);
}

}  // namespace
}  // namespace zefra::text3d

namespace zefra::text3d {
namespace {

// The diffuse shadow worked out from the front face of the same glyph. Without
// anti-aliasing (f = 1) the front mask is exactly the character's stamp at the front
// position, and shadow level k (blue 25 k) is that stamp drawn nine times around the
// shadow centre at radius r_k = round(hX (8 - k) / 7 x 0.05): at (±r, ±r) on the
// diagonals and round(±1.41 r) straight out on the axes. Later levels cover earlier ones
// and the front covers all of them. With no border the centre is the front position plus
// the altitude vector alone.
struct ShadowCase {
  int view;
  int frontX, frontY;    // front position: from the view direction's row of the table
  int centreX, centreY;  // front + altitude vector (3 pixels long, A = 3)
};

void expectDiffuseShadow(const ShadowCase& c, int points) {
  SCOPED_TRACE("view " + std::to_string(c.view) + ", " + std::to_string(points) + " pt");
  const Font font = makeFont("Arial", points);
  GlyphSet set = makeSet(font, diffuse(false, c.view, 0.0, 3.0));
  Font3D f3;
  buildGlyph(set, f3, 'H');
  const Glyph& g = set.glyphs['H'];
  const int hX = FontRasterizer::get(font)->lineHeight();

  // The stamp, in cell coordinates relative to the front position.
  std::vector<std::pair<int, int>> stamp;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      const std::uint8_t* p = g.pixel(x, y);
      ASSERT_EQ(p[1], 0) << "a border was drawn at height 0";
      if (p[2] == 0) continue;
      ASSERT_EQ(p[2], 255);
      // The whole stamp must lie inside the cell, or the shadow would have parts of it
      // that the front mask cannot show.
      ASSERT_TRUE(x > 0 && y > 0 && x + 1 < g.width && y + 1 < g.height) << x << "," << y;
      stamp.emplace_back(x - c.frontX, y - c.frontY);
    }
  ASSERT_GT(stamp.size(), 50u);

  std::vector<int> expected(static_cast<std::size_t>(g.width) * g.height, 0);
  std::vector<int> radii;
  for (int k = 1; k <= 8; ++k) {
    const int r = static_cast<int>(std::nearbyint(hX * (8.0 - k) / 7.0 * 0.05));
    radii.push_back(r);
    for (int j = -1; j <= 1; ++j)
      for (int i = -1; i <= 1; ++i) {
        const double m = (j == 0) != (i == 0) ? 1.41 : 1.0;
        const int dx = static_cast<int>(std::nearbyint(r * j * m));
        const int dy = static_cast<int>(std::nearbyint(r * i * m));
        for (auto [sx, sy] : stamp) {
          const int x = c.centreX + dx + sx;
          const int y = c.centreY + dy + sy;
          if (x >= 0 && y >= 0 && x < g.width && y < g.height) expected[static_cast<std::size_t>(y * g.width + x)] = 25 * k;
        }
      }
  }
  // Rings of several widths took part, down to the core of radius 0.
  ASSERT_EQ(radii.back(), 0);
  ASSERT_GE(radii.front(), 3);
  int wrong = 0;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      const std::uint8_t* p = g.pixel(x, y);
      const int want = p[2] != 0 ? 0 : expected[static_cast<std::size_t>(y * g.width + x)];
      if (p[0] != want && ++wrong <= 5) ADD_FAILURE() << "shadow at " << x << "," << y << ": " << int(p[0]) << " instead of " << want;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(GlyphBuilder, DiffuseShadowRingsAroundTheCentreWithoutABorder) {
  // View 135: altitude (3, 3) down-right, front at the cell's corner.
  // View 315: altitude (-3, -3); the front moves to (3, 3) so the shadow stays inside,
  //           and the centre comes back to (0, 0).
  // View 60:  altitude (3, -round(tan 30 x 3)) = (3, -2); the front moves down by 2.
  const ShadowCase cases[] = {{135, 0, 0, 3, 3}, {315, 3, 3, 0, 0}, {60, 0, 2, 3, 0}};
  for (const ShadowCase& c : cases) {
    expectDiffuseShadow(c, 72);
    expectDiffuseShadow(c, 40);
  }
}

}  // namespace
}  // namespace zefra::text3d
