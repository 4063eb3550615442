#include <gtest/gtest.h>

#include "text3d/direction_vectors.h"
#include "text3d/glyph_builder.h"

namespace zefra::text3d {
namespace {

TEST(DirectionVectors, ViewSixtyAltitudeThreeBorderTwoAtFactorEight) {
  GlyphGeometry g = glyphGeometry(60, 3.0, 2.0, 8);
  EXPECT_EQ(g.border, (Offset{16, -9}));    // tan(30) * 16 = 9.24
  EXPECT_EQ(g.altitude, (Offset{24, -14}));  // tan(30) * 24 = 13.86
  EXPECT_EQ(g.front, (Offset{0, 23}));
  EXPECT_TRUE(g.hasBorder);
  EXPECT_EQ(g.borderSteps, 17);
  EXPECT_DOUBLE_EQ(g.stepX, 1.0);
  EXPECT_DOUBLE_EQ(g.stepY, -9.0 / 16.0);
}

TEST(DirectionVectors, AxisAndDiagonalDirections) {
  // Screen y grows downward: 0 is up, 90 right, 180 down, 270 left.
  EXPECT_EQ(directionVector(0, 10), (Offset{0, -10}));
  EXPECT_EQ(directionVector(90, 10), (Offset{10, 0}));
  EXPECT_EQ(directionVector(180, 10), (Offset{0, 10}));
  EXPECT_EQ(directionVector(270, 10), (Offset{-10, 0}));
  EXPECT_EQ(directionVector(45, 10), (Offset{10, -10}));
  EXPECT_EQ(directionVector(135, 10), (Offset{10, 10}));
  EXPECT_EQ(directionVector(225, 10), (Offset{-10, 10}));
  EXPECT_EQ(directionVector(315, 10), (Offset{-10, -10}));
  EXPECT_EQ(directionVector(360, 10), directionVector(0, 10));
}

TEST(DirectionVectors, EveryRowOfTheTableKeepsTheLargerComponentAtLength) {
  for (int a = 0; a < 360; ++a) {
    Offset v = directionVector(a, 16);
    EXPECT_EQ(std::max(std::abs(v.x), std::abs(v.y)), 16) << "angle " << a;
    // The vector points into the quadrant of the angle (a small deviation rounds to 0).
    if (a <= 180) {
      EXPECT_GE(v.x, 0) << a;
    } else {
      EXPECT_LE(v.x, 0) << a;
    }
    if (a < 90 || a > 270) {
      EXPECT_LE(v.y, 0) << a;
    } else {
      EXPECT_GE(v.y, 0) << a;
    }
  }
  // 46 and 89 sit on either side of the table's second row: 16 * tan(44) = 15.45, tan(1) = 0.28.
  EXPECT_EQ(directionVector(46, 16), (Offset{16, -15}));
  EXPECT_EQ(directionVector(89, 16), (Offset{16, 0}));
  EXPECT_EQ(directionVector(300, 16), (Offset{-16, -9}));
}

TEST(DirectionVectors, FrontKeepsBorderAndShadowInsideTheCell) {
  // Pointing up-left, the front moves right and down by both vectors.
  GlyphGeometry g = glyphGeometry(315, 3.0, 2.0, 4);
  EXPECT_EQ(g.front, (Offset{8 + 12, 8 + 12}));
  // Pointing down-right, it stays at the origin.
  EXPECT_EQ(glyphGeometry(135, 3.0, 2.0, 4).front, (Offset{0, 0}));
  // No border below the threshold; the shadow still goes along the altitude vector.
  GlyphGeometry flat = glyphGeometry(135, 3.0, 0.0, 8);
  EXPECT_FALSE(flat.hasBorder);
  EXPECT_EQ(flat.border, (Offset{0, 0}));
  EXPECT_EQ(flat.altitude, (Offset{24, 24}));
}

TEST(SupersamplingFactor, FallsWithTheLineHeight) {
  EXPECT_EQ(supersamplingFactor(false, 5), 1);
  EXPECT_EQ(supersamplingFactor(false, 80), 1);
  EXPECT_EQ(supersamplingFactor(true, 12), 16);
  EXPECT_EQ(supersamplingFactor(true, 13), 8);
  EXPECT_EQ(supersamplingFactor(true, 50), 8);
  EXPECT_EQ(supersamplingFactor(true, 51), 4);
}

}  // namespace
}  // namespace zefra::text3d
