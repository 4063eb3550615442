// Gradient fill: the ramp, the band positions of the edge cases, coverage of every style
// and the buffered repaint.
#include <gtest/gtest.h>

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
