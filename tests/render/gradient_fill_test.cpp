// Gradient fill: the ramp, the band positions of the edge cases, coverage of every style
// and the buffered repaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "raster/canvas.h"
#include "render/gradient_fill.h"

using namespace zefra;
using namespace zefra::render;
using zefra::raster::FastBitmap;

namespace {

constexpr GradientStyle kUsedStyles[] = {
    GradientStyle::Horizontal,        GradientStyle::Vertical,      GradientStyle::CornerBottomLeft,
    GradientStyle::CornerBottomRight, GradientStyle::CornerTopLeft, GradientStyle::CornerTopRight,
    GradientStyle::DiagonalFalling,   GradientStyle::DiagonalRising, GradientStyle::Pyramid,
};

// Black to white: every ramp entry is grey level i, so a pixel's red byte names its band.
GradientFill greyRamp(GradientStyle style) {
  GradientFill g;
  g.setStyle(style);
  g.setStartColor(rgb(0, 0, 0));
  g.setEndColor(rgb(255, 255, 255));
  return g;
}

FastBitmap renderGrey(GradientStyle style, int w, int h) {
  FastBitmap b(w, h);
  b.fill(rgb(1, 200, 3));  // not a grey: any pixel left untouched shows
  greyRamp(style).render(b);
  return b;
}

int level(const FastBitmap& b, int x, int y) {
  const Color c = b.pixel(x, y);
  EXPECT_TRUE(redOf(c) == greenOf(c) && greenOf(c) == blueOf(c)) << "not grey at " << x << "," << y;
  return redOf(c);
}

}  // namespace

TEST(GradientRamp, BlackToWhiteIsGreyLevelI) {
  const GradientFill g = greyRamp(GradientStyle::Horizontal);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(g.ramp()[i], rgb(i, i, i)) << i;
  EXPECT_EQ(g.ramp()[128], rgb(128, 128, 128));
}

TEST(GradientRamp, EndsAreTheTwoColoursAndChannelsAreIndependent) {
  GradientFill g;
  g.setStartColor(rgb(255, 0, 135));
  g.setEndColor(rgb(0, 0, 255));
  EXPECT_EQ(g.ramp()[0], rgb(255, 0, 135));
  EXPECT_EQ(g.ramp()[255], rgb(0, 0, 255));
  // red 255 - round(100 * 255 / 255) = 155; blue 135 + round(100 * 120 / 255) = 135 + 47.
  EXPECT_EQ(g.ramp()[100], rgb(155, 0, 182));
  g.setDirection(GradientDirection::UpLeft);
  EXPECT_EQ(g.ramp()[0], rgb(0, 0, 255));
}

TEST(GradientBands, Horizontal468BandStarts) {
  const FastBitmap b = renderGrey(GradientStyle::Horizontal, 468, 60);
  // sx = 1.8352941, bands two columns wide: band starts 0, 1, 3, 5, 7; later bands cover
  // the second column of the one before.
  EXPECT_EQ(level(b, 0, 0), 0);
  EXPECT_EQ(level(b, 1, 0), 1);
  EXPECT_EQ(level(b, 2, 0), 1);
  EXPECT_EQ(level(b, 3, 0), 2);
  EXPECT_EQ(level(b, 4, 0), 2);
  EXPECT_EQ(level(b, 5, 0), 3);
  EXPECT_EQ(level(b, 7, 0), 4);
  // Band 254 starts at 466 and covers the last two columns; band 255 starts at 468.
  EXPECT_EQ(level(b, 465, 30), 253);
  EXPECT_EQ(level(b, 466, 30), 254);
  EXPECT_EQ(level(b, 467, 59), 254);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 468; ++x) {
      EXPECT_EQ(b.pixel(x, y), b.pixel(x, 0));
      EXPECT_NE(level(b, x, y), 255);
    }
}

TEST(GradientBands, Vertical60RowsShowTheHighestBandStartingThere) {
  const FastBitmap b = renderGrey(GradientStyle::Vertical, 468, 60);
  EXPECT_EQ(level(b, 0, 0), 4);     // bands 0..4 all start at row 0
  EXPECT_EQ(level(b, 200, 1), 8);   // bands 5..8 start at row 1 (8 x 0.2353 = 1.88)
  EXPECT_EQ(level(b, 467, 59), 254);
  for (int x = 0; x < 468; ++x) EXPECT_EQ(b.pixel(x, 30), b.pixel(0, 30));
}

TEST(GradientStyles, EqualColoursFillTheWholeRectangleInEveryStyle) {
  for (GradientStyle style : kUsedStyles) {
    for (auto [w, h] : {std::pair{468, 60}, std::pair{60, 60}, std::pair{7, 300}, std::pair{1, 1}}) {
      FastBitmap b(w, h);
      b.fill(rgb(9, 9, 9));
      GradientFill g;
      g.setStyle(style);
      g.setStartColor(rgb(10, 120, 230));
      g.setEndColor(rgb(10, 120, 230));
      g.render(b);
      int wrong = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) wrong += b.pixel(x, y) != rgb(10, 120, 230);
      EXPECT_EQ(wrong, 0) << "style " << static_cast<int>(style) << " " << w << "x" << h;
    }
  }
}

TEST(GradientStyles, CornersAndDiagonalsPutTheEndColourWhereTheirNameSays) {
  struct Case {
    GradientStyle style;
    int endX, endY;      // the corner nearest the end colour
    int startX, startY;  // the opposite corner
  };
  const int W = 468, H = 60;
  const Case cases[] = {
      {GradientStyle::CornerTopLeft, 0, 0, W - 1, H - 1},
      {GradientStyle::CornerTopRight, W - 1, 0, 0, H - 1},
      {GradientStyle::CornerBottomRight, W - 1, H - 1, 0, 0},
      {GradientStyle::CornerBottomLeft, 0, H - 1, W - 1, 0},
      {GradientStyle::DiagonalFalling, W - 1, H - 1, 0, 0},
      {GradientStyle::DiagonalRising, W - 1, 0, 0, H - 1},
  };
  for (const Case& c : cases) {
    const FastBitmap b = renderGrey(c.style, W, H);
    EXPECT_GE(level(b, c.endX, c.endY), 250) << static_cast<int>(c.style);
    EXPECT_LE(level(b, c.startX, c.startY), 5) << static_cast<int>(c.style);
    // Half way between the two corners lies the middle of the ramp.
    const int mid = level(b, (c.endX + c.startX) / 2, (c.endY + c.startY) / 2);
    EXPECT_NEAR(mid, 128, 8) << static_cast<int>(c.style);
  }
}

TEST(GradientStyles, CornerBandsAreNestedLShapes) {
  // Top-left corner: moving away from the corner along either edge, or along the diagonal,
  // never raises the level.
  const FastBitmap b = renderGrey(GradientStyle::CornerTopLeft, 200, 100);
  for (int x = 1; x < 200; ++x) EXPECT_LE(level(b, x, 0), level(b, x - 1, 0));
  for (int y = 1; y < 100; ++y) EXPECT_LE(level(b, 0, y), level(b, 0, y - 1));
  // A pixel's level depends on the larger of its two scaled distances from the corner.
  EXPECT_EQ(level(b, 100, 10), level(b, 100, 0));
  EXPECT_EQ(level(b, 10, 50), level(b, 0, 50));
}

TEST(GradientStyles, PyramidOnASquare) {
  const int n = 101;
  const FastBitmap b = renderGrey(GradientStyle::Pyramid, n, n);
  EXPECT_LE(level(b, 0, 0), 2);
  EXPECT_GE(level(b, n - 1, n - 1), 250);
  // Edge pixels take the level of (x + y) x 255 / (W + H).
  EXPECT_NEAR(level(b, 50, 0), 50 * 255 / (2 * n), 1);
  EXPECT_NEAR(level(b, n - 1, 20), (n - 1 + 20) * 255 / (2 * n), 2);
  // The faces meet in the centre: its four neighbours belong to four different faces.
  const int c = n / 2;
  EXPECT_LT(level(b, c, c - 3), level(b, c, c + 3));
  EXPECT_LT(level(b, c - 3, c), level(b, c + 3, c));
  // The top face is constant along each fan line, so it is symmetric about x = c only in
  // shape: the left half is darker than the right half.
  EXPECT_LT(level(b, c - 20, 5), level(b, c + 20, 5));
}

TEST(GradientPaint, ZeroSizeDrawsNothing) {
  FastBitmap canvasBits(30, 20);
  canvasBits.fill(rgb(5, 5, 5));
  raster::Canvas canvas(canvasBits);
  GradientFill g = greyRamp(GradientStyle::Horizontal);
  g.setSize(0, 0);
  g.paint(canvas, 0, 0);
  g.setSize(30, 0);
  g.paint(canvas, 0, 0);
  FastBitmap expected(30, 20);
  expected.fill(rgb(5, 5, 5));
  EXPECT_TRUE(canvasBits == expected);
  EXPECT_EQ(g.renderCount(), 0);
}

TEST(GradientPaint, UnchangedGradientIsCopiedNotRendered) {
  FastBitmap canvasBits(40, 20);
  raster::Canvas canvas(canvasBits);
  GradientFill g = greyRamp(GradientStyle::Vertical);
  g.setSize(40, 20);
  g.paint(canvas, 0, 0);
  g.paint(canvas, 0, 0);
  EXPECT_EQ(g.renderCount(), 1);
  g.setStyle(GradientStyle::Vertical);   // same value: nothing happens
  g.setEndColor(rgb(255, 255, 255));     // same value
  g.paint(canvas, 0, 0);
  EXPECT_EQ(g.renderCount(), 1);
  g.setEndColor(rgb(255, 0, 0));
  g.paint(canvas, 0, 0);
  EXPECT_EQ(g.renderCount(), 2);
  EXPECT_EQ(canvasBits.pixel(0, 19), rgb(254, 0, 0));  // the new ramp shows: band 254 of black to red
  g.setSize(40, 10);  // a new size renders again
  g.paint(canvas, 0, 0);
  EXPECT_EQ(g.renderCount(), 3);
  g.setStepWidth(0);   // ignored
  g.setStepWidth(11);  // ignored
  EXPECT_EQ(g.stepWidth(), 1);
  g.paint(canvas, 0, 0);
  EXPECT_EQ(g.renderCount(), 3);
}

TEST(GradientPaint, PaintedPixelsEqualADirectRender) {
  for (GradientStyle style : kUsedStyles) {
    GradientFill g = greyRamp(style);
    g.setSize(120, 45);
    FastBitmap canvasBits(120, 45);
    raster::Canvas canvas(canvasBits);
    g.paint(canvas, 0, 0);
    FastBitmap direct(120, 45);
    g.render(direct);
    EXPECT_TRUE(canvasBits == direct) << static_cast<int>(style);
  }
}

// ---- Pixel-for-pixel references ---------------------------------------------------------
//
// The corner, diagonal and pyramid styles worked out independently from the band
// geometry: every band's polygon or line from its formula, drawn in order into a picture,
// later bands over earlier ones. Coverage follows the raster layer's rules: a polygon
// covers the pixels whose centres lie inside it, a centre exactly on an edge belonging
// to the polygon on its left (or above it on a horizontal edge... which never decides, as
// centres lie on half rows); a line covers the pixels of its major axis from the first
// point up to but without the last, the other coordinate rounded to the nearest with
// halves toward the start.

namespace {

constexpr Color kUntouched = rgb(1, 200, 3);

struct Pt {
  long long x, y;
};

// Whether the centre of pixel (px, py) lies inside the polygon: crossings of the centre's
// row at or left of the centre, counted exactly in integers (everything doubled).
bool centreInside(const std::vector<Pt>& poly, int px, int py) {
  const long long cx2 = 2LL * px + 1;
  const long long cy2 = 2LL * py + 1;
  int crossings = 0;
  for (std::size_t k = 0; k < poly.size(); ++k) {
    const Pt a = poly[k];
    const Pt b = poly[(k + 1) % poly.size()];
    if (a.y == b.y) continue;
    const long long lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
    if (cy2 < 2 * lo || cy2 >= 2 * hi) continue;
    // Crossing x: a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y); compare 2 * xe with cx2.
    const long long dy = b.y - a.y;
    const long long num = 2 * a.x * dy + (cy2 - 2 * a.y) * (b.x - a.x);  // = 2 * xe * dy
    const bool atOrLeft = dy > 0 ? num <= cx2 * dy : num >= cx2 * dy;
    crossings += atOrLeft ? 1 : 0;
  }
  return crossings % 2 == 1;
}

int countColour(const FastBitmap& b, Color c) {
  int n = 0;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == c;
  return n;
}

void fillReference(FastBitmap& b, const std::vector<Pt>& poly, Color c) {
  long long x0 = poly[0].x, x1 = poly[0].x, y0 = poly[0].y, y1 = poly[0].y;
  for (const Pt& p : poly) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  for (long long y = std::max(0LL, y0); y < std::min<long long>(b.height(), y1); ++y)
    for (long long x = std::max(0LL, x0); x < std::min<long long>(b.width(), x1); ++x)
      if (centreInside(poly, static_cast<int>(x), static_cast<int>(y))) b.setPixel(static_cast<int>(x), static_cast<int>(y), c);
}

void lineReference(FastBitmap& b, Pt from, Pt to, Color c) {
  const long long dx = std::llabs(to.x - from.x), dy = std::llabs(to.y - from.y);
  const long long sx = to.x >= from.x ? 1 : -1, sy = to.y >= from.y ? 1 : -1;
  const long long n = std::max(dx, dy);
  const long long minor = std::min(dx, dy);
  for (long long s = 0; s < n; ++s) {
    // Nearest minor offset of step s, halves toward the start: ceil((2 s minor - n) / 2n).
    const long long num = 2 * s * minor - n;
    const long long off = num >= 0 ? (num + 2 * n - 1) / (2 * n) : -((-num) / (2 * n));
    const long long x = from.x + sx * (dx >= dy ? s : off);
    const long long y = from.y + sy * (dx >= dy ? off : s);
    if (x >= 0 && y >= 0 && x < b.width() && y < b.height()) b.setPixel(static_cast<int>(x), static_cast<int>(y), c);
  }
}

// trunc(i x s) with s held as a 32-bit float and the product taken exactly.
long long tr(long long i, float s) { return static_cast<long long>(std::trunc(static_cast<double>(i) * static_cast<double>(s))); }

Color grey(long long i) { return rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)); }

FastBitmap referenceGradient(GradientStyle style, int W, int H) {
  FastBitmap b(W, H);
  b.fill(kUntouched);
  if (style == GradientStyle::Pyramid) {
    const Pt c{W / 2, H / 2};
    const float f = 255.0f / static_cast<float>(W + H);
    for (long long m = 0; m <= W; ++m) {
      lineReference(b, {m, 0}, c, grey(tr(m, f)));
      lineReference(b, c, {m, H}, grey(tr(m + H, f)));
    }
    for (long long m = 0; m <= H; ++m) {
      lineReference(b, {W, m}, c, grey(tr(m + W, f)));
      lineReference(b, c, {-1, m}, grey(tr(m, f)));
    }
    return b;
  }
  if (style == GradientStyle::DiagonalFalling || style == GradientStyle::DiagonalRising) {
    const float dx = static_cast<float>(W) / 127.0f;
    const float dy = static_cast<float>(H) / 127.0f;
    const long long bw = static_cast<long long>(std::trunc(static_cast<double>(dx) + 1));
    const long long bh = static_cast<long long>(std::trunc(static_cast<double>(dy) + 1));
    for (long long i = 0; i < 256; ++i) {
      const long long j = i % 128;
      const long long xj = tr(j, dx);
      std::vector<Pt> q;
      if (style == GradientStyle::DiagonalFalling) {
        const long long yj = tr(j, dy);
        if (i < 128) q = {{xj, 0}, {xj + bw, 0}, {0, yj + bh}, {0, yj}};
        else q = {{W, yj}, {W, yj + bh}, {xj + bw, H}, {xj, H}};
      } else {
        const long long yj = tr(127 - j, dy);
        if (i < 128) q = {{xj, H}, {xj + bw, H}, {0, yj}, {0, yj + bh}};
        else q = {{W, yj + bh}, {W, yj}, {xj + bw, 0}, {xj, 0}};
      }
      fillReference(b, q, grey(i));
    }
    return b;
  }
  const float sx = static_cast<float>(W) / 255.0f;
  const float sy = static_cast<float>(H) / 255.0f;
  const long long bw = static_cast<long long>(std::trunc(static_cast<double>(sx) + 1));
  const long long bh = static_cast<long long>(std::trunc(static_cast<double>(sy) + 1));
  for (long long i = 0; i < 256; ++i) {
    std::vector<Pt> v;
    switch (style) {
      case GradientStyle::CornerTopLeft: {
        const long long x = tr(255 - i, sx), y = tr(255 - i, sy);
        v = {{0, y}, {x, y}, {x, 0}, {x + bw, 0}, {x + bw, y + bh}, {0, y + bh}};
        break;
      }
      case GradientStyle::CornerTopRight: {
        const long long x = tr(i, sx), y = tr(255 - i, sy);
        v = {{x + bw, 0}, {x + bw, y}, {W, y}, {W, y + bh}, {x, y + bh}, {x, 0}};
        break;
      }
      case GradientStyle::CornerBottomRight: {
        const long long x = tr(i, sx), y = tr(i, sy);
        v = {{W, y + bh}, {x + bw, y + bh}, {x + bw, H}, {x, H}, {x, y}, {W, y}};
        break;
      }
      default: {  // CornerBottomLeft
        const long long x = tr(255 - i, sx), y = tr(i, sy);
        v = {{x, H}, {x, y + bh}, {0, y + bh}, {0, y}, {x + bw, y}, {x + bw, H}};
        break;
      }
    }
    fillReference(b, v, grey(i));
  }
  return b;
}

void expectPinned(GradientStyle style, int W, int H) {
  const FastBitmap got = renderGrey(style, W, H);
  const FastBitmap want = referenceGradient(style, W, H);
  // The bands leave no pixel uncovered, so every pixel is pinned to a ramp entry.
  EXPECT_EQ(countColour(want, kUntouched), 0) << "style " << static_cast<int>(style) << " " << W << "x" << H;
  int wrong = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (got.pixel(x, y) != want.pixel(x, y) && ++wrong <= 5)
        ADD_FAILURE() << "style " << static_cast<int>(style) << " " << W << "x" << H << " at " << x << "," << y
                      << ": " << std::hex << got.pixel(x, y) << " instead of " << want.pixel(x, y);
  EXPECT_EQ(wrong, 0) << "style " << static_cast<int>(style) << " " << W << "x" << H;
}

}  // namespace

TEST(GradientPinned, CornerStylesPixelForPixel) {
  for (GradientStyle style : {GradientStyle::CornerTopLeft, GradientStyle::CornerTopRight,
                              GradientStyle::CornerBottomRight, GradientStyle::CornerBottomLeft})
    for (auto [w, h] : {std::pair{468, 60}, std::pair{520, 20}, std::pair{37, 23}, std::pair{255, 256}})
      expectPinned(style, w, h);
}

TEST(GradientPinned, DiagonalStylesPixelForPixel) {
  for (GradientStyle style : {GradientStyle::DiagonalFalling, GradientStyle::DiagonalRising})
    for (auto [w, h] : {std::pair{468, 60}, std::pair{100, 300}, std::pair{30, 20}, std::pair{254, 127}})
      expectPinned(style, w, h);
}

TEST(GradientPinned, PyramidPixelForPixel) {
  for (auto [w, h] : {std::pair{468, 60}, std::pair{101, 101}, std::pair{60, 61}, std::pair{7, 40}})
    expectPinned(GradientStyle::Pyramid, w, h);
}
