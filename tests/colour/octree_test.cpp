// Octree quantiser: exact colours when they fit, the leaf bound, and which node folds first.

#include <gtest/gtest.h>

#include <random>

#include "colour/octree.h"

namespace zefra::colour {
namespace {

TEST(OctreeTest, ColoursThatFitComeOutExactInTreeOrder) {
  OctreeQuantizer q(256);
  // Added out of tree order; the walk goes by child index (red bit, green bit, blue bit).
  q.addColor(250, 10, 10);
  q.addColor(10, 10, 250);
  q.addColor(10, 250, 10);
  q.addColor(10, 250, 10);
  EXPECT_EQ(q.leafCount(), 3);
  EXPECT_EQ(q.palette(), (Palette{rgb(10, 10, 250), rgb(10, 250, 10), rgb(250, 10, 10)}));
}

TEST(OctreeTest, NeverHoldsMoreLeavesThanAsked) {
  std::mt19937 rng(7);
  for (int maxColors : {2, 8, 16, 236, 256}) {
    OctreeQuantizer q(maxColors);
    for (int i = 0; i < 20000; ++i) {
      const auto v = rng();
      q.addColor(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16));
      ASSERT_LE(q.leafCount(), maxColors);
    }
    EXPECT_EQ(static_cast<int>(q.palette().size()), q.leafCount());
    EXPECT_GE(q.leafCount(), maxColors / 2) << "reduction folded far more than needed";
  }
}

TEST(OctreeTest, TheNewestNodeOfTheDeepestLevelFoldsFirst) {
  // Two pairs, each pair differing only in the lowest red bit, so each pair shares a
  // level-7 node. With room for three colours, the fourth pixel forces one fold: the pair
  // whose node was created last merges (sum div count per channel), the older pair stays.
  OctreeQuantizer q(3);
  q.addColor(0, 0, 0);
  q.addColor(1, 0, 0);
  q.addColor(254, 255, 255);
  q.addColor(255, 255, 255);
  EXPECT_EQ(q.leafCount(), 3);
  EXPECT_EQ(q.palette(), (Palette{rgb(0, 0, 0), rgb(1, 0, 0), rgb(254, 255, 255)}));

  // Later pixels of the folded pair land in its leaf instead of growing new children:
  // no further fold happens and the leaf averages all six pixels (1528 div 6 = 254).
  q.addColor(255, 255, 255);
  q.addColor(255, 255, 255);
  q.addColor(255, 255, 255);
  q.addColor(254, 255, 255);
  EXPECT_EQ(q.leafCount(), 3);
  EXPECT_EQ(q.palette(), (Palette{rgb(0, 0, 0), rgb(1, 0, 0), rgb(254, 255, 255)}));
}

TEST(OctreeTest, FoldsTheDeepestLevelBeforeShallowerOnes) {
  // Black and white split at the root; (0,0,0)/(0,0,2) split at level 6 (bit 1 of blue).
  // A fold at level 6 merges the two near-blacks; folding the root would lose white.
  OctreeQuantizer q(2);
  q.addColor(255, 255, 255);
  q.addColor(0, 0, 0);
  q.addColor(0, 0, 2);
  EXPECT_EQ(q.leafCount(), 2);
  EXPECT_EQ(q.palette(), (Palette{rgb(0, 0, 1), rgb(255, 255, 255)}));
}

}  // namespace
}  // namespace zefra::colour
