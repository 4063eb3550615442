// Pixel rules of the drawing primitives: half-open rectangles, polygon coverage by pixel
// centres with the top-left convention, lines without their end point, wide pens, clipping
// and blits.
#include <gtest/gtest.h>

#include <vector>

#include "raster/canvas.h"
#include "raster/system_colors.h"

using namespace zefra;
using namespace zefra::raster;

namespace {

constexpr Color kBack = rgb(1, 2, 3);
constexpr Color kInk = rgb(200, 10, 20);

FastBitmap blank(int w, int h) {
  FastBitmap b(w, h);
  b.fill(kBack);
  return b;
}

int countInk(const FastBitmap& b, Color c = kInk) {
  int n = 0;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == c;
  return n;
}

}  // namespace

TEST(CanvasFill, RectangleIsHalfOpenAndClipped) {
  FastBitmap b = blank(10, 8);
  Canvas c(b);
  c.fillRect({2, 3, 5, 4}, kInk);
  EXPECT_EQ(countInk(b), 3);
  EXPECT_EQ(b.pixel(2, 3), kInk);
  EXPECT_EQ(b.pixel(4, 3), kInk);
  EXPECT_EQ(b.pixel(5, 3), kBack);
  EXPECT_EQ(b.pixel(2, 4), kBack);

  FastBitmap d = blank(10, 8);
  Canvas(d).fillRect({-5, -5, 100, 2}, kInk);  // reaches far outside
  EXPECT_EQ(countInk(d), 20);
}

TEST(CanvasPolygon, AxisAlignedPolygonCoversSameAsRectangle) {
  FastBitmap a = blank(12, 12);
  FastBitmap b = blank(12, 12);
  const Point quad[] = {{2, 3}, {9, 3}, {9, 7}, {2, 7}};
  Canvas(a).fillPolygon(quad, kInk);
  Canvas(b).fillRect({2, 3, 9, 7}, kInk);
  EXPECT_TRUE(a == b);
  EXPECT_EQ(countInk(a), 7 * 4);
}

TEST(CanvasPolygon, PixelCentresInsideOnly) {
  // Triangle x >= 0, y >= 0, x + y < 4: a centre (x + 1/2, y + 1/2) lies inside when
  // x + y + 1 < 4; centres on the slanted edge (x + y = 3) are on its right side: outside.
  FastBitmap b = blank(6, 6);
  const Point tri[] = {{0, 0}, {4, 0}, {0, 4}};
  Canvas(b).fillPolygon(tri, kInk);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b.pixel(x, y) == kInk, x + y <= 2) << x << "," << y;
}

TEST(CanvasPolygon, NeighboursShareNoPixelAndLeaveNoGap) {
  // Two triangles splitting a rectangle along a slanted diagonal, and two quads splitting
  // it along a steep line: every pixel belongs to exactly one of each pair.
  const std::vector<std::vector<Point>> pairs[] = {
      {{{0, 0}, {13, 0}, {13, 7}}, {{0, 0}, {13, 7}, {0, 7}}},
      {{{0, 0}, {5, 0}, {8, 7}, {0, 7}}, {{5, 0}, {13, 0}, {13, 7}, {8, 7}}},
  };
  for (const auto& pair : pairs) {
    FastBitmap first = blank(13, 7);
    FastBitmap second = blank(13, 7);
    Canvas(first).fillPolygon(pair[0], kInk);
    Canvas(second).fillPolygon(pair[1], kInk);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) {
        const bool a = first.pixel(x, y) == kInk;
        const bool c = second.pixel(x, y) == kInk;
        EXPECT_NE(a, c) << x << "," << y;
      }
  }
}

TEST(CanvasPolygon, DegenerateAndOffCanvasPolygonsDrawNothingOutside) {
  FastBitmap b = blank(8, 8);
  Canvas c(b);
  const Point flat[] = {{0, 2}, {7, 2}, {3, 2}};
  c.fillPolygon(flat, kInk);
  const Point away[] = {{20, 20}, {30, 20}, {30, 30}};
  c.fillPolygon(away, kInk);
  const Point two[] = {{0, 0}, {5, 5}};
  c.fillPolygon(two, kInk);
  EXPECT_EQ(countInk(b), 0);
  const Point big[] = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}};
  c.fillPolygon(big, kInk);
  EXPECT_EQ(countInk(b), 64);
}

TEST(CanvasLine, EndPointIsNotDrawn) {
  FastBitmap b = blank(8, 8);
  Canvas c(b);
  c.line({1, 1}, {5, 1}, kInk);
  EXPECT_EQ(countInk(b), 4);
  EXPECT_EQ(b.pixel(4, 1), kInk);
  EXPECT_EQ(b.pixel(5, 1), kBack);

  FastBitmap d = blank(8, 8);
  Canvas(d).line({0, 0}, {3, 3}, kInk);
  EXPECT_EQ(countInk(d), 3);
  EXPECT_EQ(d.pixel(2, 2), kInk);
  EXPECT_EQ(d.pixel(3, 3), kBack);

  FastBitmap e = blank(8, 8);
  Canvas(e).line({4, 4}, {4, 4}, kInk);
  EXPECT_EQ(countInk(e), 0);
}

TEST(CanvasLine, ShallowAndSteepLinesAreConnectedAndReversible) {
  // One pixel per step of the major axis, each a neighbour of the previous one.
  for (Point to : {Point{7, 3}, Point{2, 7}, Point{-6, 5}, Point{-3, -7}}) {
    FastBitmap b = blank(20, 20);
    Canvas c(b, {10, 10}, {0, 0, 20, 20});
    c.line({0, 0}, to, kInk);
    const int steps = std::max(std::abs(to.x), std::abs(to.y));
    EXPECT_EQ(countInk(b), steps);
    EXPECT_EQ(b.pixel(10, 10), kInk);
    EXPECT_EQ(b.pixel(10 + to.x, 10 + to.y), kBack);
  }
}

TEST(CanvasLine, OnePixelPerMajorStepWithinHalfAPixelOfTheIdealLine) {
  // Lines wholly inside and lines whose end lies outside the clip take different paths
  // through the code; both must pick the same pixels.
  for (int a = -9; a <= 9; ++a)
    for (int b = -9; b <= 9; ++b) {
      if (a == 0 && b == 0) continue;
      FastBitmap inside = blank(30, 30);
      Canvas(inside, {15, 15}, {0, 0, 30, 30}).line({0, 0}, {a, b}, kInk);
      FastBitmap clipped = blank(30, 30);
      const Rect visible{15 - 2, 15 - 2, 15 + 2, 15 + 2};  // cuts the longer lines
      Canvas(clipped, {15, 15}, visible).line({0, 0}, {a, b}, kInk);
      const bool shallow = std::abs(a) >= std::abs(b);
      const int major = shallow ? std::abs(a) : std::abs(b);
      int drawn = 0;
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
          if (visible.contains(x, y)) {
            ASSERT_EQ(inside.pixel(x, y), clipped.pixel(x, y)) << a << "," << b;
          }
          if (inside.pixel(x, y) != kInk) continue;
          ++drawn;
          const double px = x - 15, py = y - 15;
          // Distance from the ideal line along the minor axis.
          const double off = shallow ? std::abs(py - px * b / a) : std::abs(px - py * a / b);
          EXPECT_LE(off, 0.5 + 1e-9) << a << "," << b << " at " << px << "," << py;
        }
      EXPECT_EQ(drawn, major) << a << "," << b;
    }
}

TEST(CanvasLine, ClippedLineKeepsItsPixelsInside) {
  FastBitmap b = blank(5, 5);
  Canvas(b).line({-10, 2}, {10, 2}, kInk);
  EXPECT_EQ(countInk(b), 5);
}

TEST(CanvasShapes, RectangleWithWidePenStaysCentredOnOutline) {
  constexpr Color kFill = rgb(0, 255, 0);
  // Pen 1: the figure is exactly the rectangle, a one-pixel outline around the brush.
  FastBitmap b = blank(20, 20);
  Canvas(b).rectangle({2, 2, 12, 8}, kInk, 1, kFill);
  EXPECT_EQ(b.pixel(2, 2), kInk);
  EXPECT_EQ(b.pixel(11, 7), kInk);
  EXPECT_EQ(b.pixel(12, 7), kBack);
  EXPECT_EQ(b.pixel(3, 3), kFill);
  EXPECT_EQ(countInk(b), 10 * 2 + 4 * 2);
  EXPECT_EQ(countInk(b, kFill), 8 * 4);

  // Pen 3 reaches one pixel beyond the rectangle on every side and is 3 pixels thick.
  FastBitmap d = blank(20, 20);
  Canvas(d).rectangle({5, 5, 15, 15}, kInk, 3, kFill);
  EXPECT_EQ(d.pixel(4, 4), kInk);
  EXPECT_EQ(d.pixel(3, 4), kBack);
  EXPECT_EQ(d.pixel(15, 15), kInk);
  EXPECT_EQ(d.pixel(16, 15), kBack);
  EXPECT_EQ(d.pixel(6, 6), kInk);
  EXPECT_EQ(d.pixel(7, 7), kFill);
  EXPECT_EQ(countInk(d, kFill), 6 * 6);
}

TEST(CanvasShapes, RoundedRectangleLeavesCornersAndFillsInside) {
  constexpr Color kFill = rgb(0, 255, 0);
  FastBitmap b = blank(40, 30);
  Canvas(b).roundRect({0, 0, 40, 30}, 16, 16, kInk, 1, kFill);
  EXPECT_EQ(b.pixel(0, 0), kBack);      // outside the corner arc
  EXPECT_EQ(b.pixel(39, 29), kBack);
  EXPECT_EQ(b.pixel(20, 0), kInk);      // straight top edge
  EXPECT_EQ(b.pixel(0, 15), kInk);      // straight left edge
  EXPECT_EQ(b.pixel(39, 15), kInk);
  EXPECT_EQ(b.pixel(20, 29), kInk);
  EXPECT_EQ(b.pixel(20, 15), kFill);
  // The corner arc of radius 8 around (8, 8) crosses the diagonal between 2.3 and 3.1.
  EXPECT_EQ(b.pixel(1, 1), kBack);
  EXPECT_EQ(b.pixel(2, 2), kInk);
  EXPECT_EQ(b.pixel(4, 4), kFill);
  // Symmetric under mirroring.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(b.pixel(x, y), b.pixel(39 - x, y));
      EXPECT_EQ(b.pixel(x, y), b.pixel(x, 29 - y));
    }
}

TEST(CanvasBlit, OpaqueAndMaskedCopiesAreClipped) {
  FastBitmap src(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.setPixel(x, y, rgb(static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(10 * y), 7));
  FastBitmap b = blank(4, 4);
  Canvas(b).draw(-1, 3, src);  // only column 1..2, row 0 of src lands (at 0..1, 3)
  EXPECT_EQ(b.pixel(0, 3), src.pixel(1, 0));
  EXPECT_EQ(b.pixel(1, 3), src.pixel(2, 0));
  EXPECT_EQ(b.pixel(2, 3), kBack);
  EXPECT_EQ(b.pixel(0, 2), kBack);

  BitMask mask(3, 2);
  mask.set(0, 0, true);
  mask.set(2, 1, true);
  FastBitmap d = blank(4, 4);
  Canvas(d).drawMasked(1, 1, src, mask);
  EXPECT_EQ(d.pixel(1, 1), src.pixel(0, 0));
  EXPECT_EQ(d.pixel(3, 2), src.pixel(2, 1));
  EXPECT_EQ(d.pixel(2, 1), kBack);
  EXPECT_EQ(d.pixel(1, 2), kBack);
}

TEST(CanvasChild, OriginAndClipFollowTheChildBounds) {
  FastBitmap b = blank(10, 10);
  Canvas parent(b);
  Canvas strip = parent.clippedTo({0, 0, 3, 10});
  Canvas obj = strip.child({-2, 1, 6, 5});  // object at (-2, 1), 8 x 4
  obj.fillRect({0, 0, 100, 100}, kInk);
  // Visible: object's x from 2 (canvas 0) to strip right edge 3, rows 1..4.
  EXPECT_EQ(countInk(b), 3 * 4);
  EXPECT_EQ(b.pixel(0, 1), kInk);
  EXPECT_EQ(b.pixel(2, 4), kInk);
  EXPECT_EQ(b.pixel(3, 1), kBack);
  obj.setPixel(2, 0, kBack);  // canvas (0, 1)
  EXPECT_EQ(b.pixel(0, 1), kBack);
}

TEST(SystemColors, TopBitNamesATableEntry) {
  EXPECT_EQ(resolveColor(rgb(12, 34, 56)), rgb(12, 34, 56));
  EXPECT_EQ(resolveColor(0x80000000u | 15u), systemColor(15));
  EXPECT_EQ(resolveColor(0x80000000u | 5u), rgb(255, 255, 255));  // window background
  EXPECT_EQ(resolveColor(0x80000000u | 8u), rgb(0, 0, 0));        // window text
  EXPECT_EQ(resolveColor(0x80000000u | 200u), 0u);                 // unknown index
  EXPECT_EQ(systemColor(-1), 0u);
  // Bits above the colour that are not the system flag do not leak into pixels.
  EXPECT_EQ(resolveColor(0x02000000u | rgb(1, 2, 3)), rgb(1, 2, 3));
}
