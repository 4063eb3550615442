// Bevel frames: ring colours of the 20 x 10 example, the border-only case and the nothing
// case, and untouched pixels inside.
#include <gtest/gtest.h>

#include "raster/canvas.h"
#include "render/bevel_frame.h"

using namespace zefra;
using namespace zefra::render;
using zefra::raster::FastBitmap;

namespace {

constexpr Color kUnder = rgb(1, 1, 1);
constexpr Color kLight = rgb(250, 250, 250);
constexpr Color kDark = rgb(40, 40, 40);
constexpr Color kBorder = rgb(200, 0, 0);

BevelFrame makeFrame(BevelStyle outer, BevelStyle inner, int bevel, int border) {
  BevelFrame f;
  f.bevelOuter = outer;
  f.bevelInner = inner;
  f.bevelWidth = bevel;
  f.borderWidth = border;
  f.color = kBorder;
  f.colorHighlight = kLight;
  f.colorShadow = kDark;
  return f;
}

FastBitmap paintOn(const BevelFrame& f, int w, int h) {
  FastBitmap b(w, h);
  b.fill(kUnder);
  raster::Canvas c(b);
  f.paint(c, w, h);
  return b;
}

// Checks ring `d` (distance d from the edge) of a w x h frame: top colour on its top row
// (but not the top-right corner) and left column (but not the bottom-left corner), bottom
// colour on the rest.
void expectRing(const FastBitmap& b, int d, Color top, Color bottom) {
  const int R = b.width() - 1 - d;
  const int B = b.height() - 1 - d;
  for (int x = d; x < R; ++x) EXPECT_EQ(b.pixel(x, d), top) << "ring " << d << " top x=" << x;
  for (int y = d; y < B; ++y) EXPECT_EQ(b.pixel(d, y), top) << "ring " << d << " left y=" << y;
  for (int y = d; y <= B; ++y) EXPECT_EQ(b.pixel(R, y), bottom) << "ring " << d << " right y=" << y;
  for (int x = d; x <= R; ++x) EXPECT_EQ(b.pixel(x, B), bottom) << "ring " << d << " bottom x=" << x;
}

}  // namespace

TEST(BevelFrame, RaisedOuterBorderTwoLoweredInnerOn20x10) {
  const FastBitmap b = paintOn(makeFrame(BevelStyle::Raised, BevelStyle::Lowered, 1, 2), 20, 10);
  expectRing(b, 0, kLight, kDark);
  EXPECT_EQ(b.pixel(19, 0), kDark);  // top-right corner of the outer bevel
  EXPECT_EQ(b.pixel(0, 9), kDark);   // bottom-left corner
  expectRing(b, 1, kBorder, kBorder);
  expectRing(b, 2, kBorder, kBorder);
  expectRing(b, 3, kDark, kLight);   // lowered: dark top and left
  EXPECT_EQ(b.pixel(3, 3), kDark);
  EXPECT_EQ(b.pixel(16, 3), kLight);
  for (int y = 4; y < 6; ++y)
    for (int x = 4; x < 16; ++x) EXPECT_EQ(b.pixel(x, y), kUnder);
  EXPECT_EQ(makeFrame(BevelStyle::Raised, BevelStyle::Lowered, 1, 2).thickness(), 4);
}

TEST(BevelFrame, NoBevelsAndNoBorderDrawNothing) {
  const FastBitmap b = paintOn(makeFrame(BevelStyle::None, BevelStyle::None, 5, 0), 20, 10);
  FastBitmap expected(20, 10);
  expected.fill(kUnder);
  EXPECT_TRUE(b == expected);
}

TEST(BevelFrame, BorderStartsAtTheEdgeWithoutOuterBevel) {
  const FastBitmap b = paintOn(makeFrame(BevelStyle::None, BevelStyle::Raised, 2, 3), 30, 16);
  for (int d = 0; d < 3; ++d) expectRing(b, d, kBorder, kBorder);
  expectRing(b, 3, kLight, kDark);
  expectRing(b, 4, kLight, kDark);
  EXPECT_EQ(b.pixel(5, 5), kUnder);
  EXPECT_EQ(b.pixel(24, 10), kUnder);
}

TEST(BevelFrame, WideBevelsKeepTheCornerRuleOnEveryRing) {
  const FastBitmap b = paintOn(makeFrame(BevelStyle::Lowered, BevelStyle::None, 3, 0), 12, 12);
  for (int d = 0; d < 3; ++d) expectRing(b, d, kDark, kLight);
  EXPECT_EQ(b.pixel(3, 3), kUnder);
}

TEST(BevelFrame, SystemColoursAreResolved) {
  BevelFrame f = makeFrame(BevelStyle::Raised, BevelStyle::None, 1, 0);
  f.colorHighlight = 0x80000000u | 5u;  // window background, white in the default table
  const FastBitmap b = paintOn(f, 6, 6);
  EXPECT_EQ(b.pixel(0, 0), rgb(255, 255, 255));
}
