// Fixed palettes and the four colour lookups, checked at their thresholds.

#include <gtest/gtest.h>

#include <set>

#include "colour/color_lookup.h"
#include "colour/palettes.h"

namespace zefra::colour {
namespace {

TEST(PaletteTest, HalftoneFramesItsColoursWithTheSystemColoursAndHoldsNoDuplicate) {
  const Palette half = halftonePalette();
  ASSERT_EQ(half.size(), 256u);
  const Palette& sys = systemPalette20();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(half[static_cast<std::size_t>(i)], sys[static_cast<std::size_t>(i)]);
    EXPECT_EQ(half[static_cast<std::size_t>(246 + i)], sys[static_cast<std::size_t>(10 + i)]);
  }
  // Duplicates would waste entries of a table that is only 256 long.
  EXPECT_EQ(std::set<Color>(half.begin(), half.end()).size(), 256u);
}

TEST(LookupTest, GrayscaleUsesWeightedBrightness) {
  GrayscaleLookup lookup;
  Color chosen = 0;
  EXPECT_EQ(lookup.colorCount(), 256);
  EXPECT_EQ(lookup.indexFor(128, 128, 128, chosen), 128);
  EXPECT_EQ(chosen, rgb(128, 128, 128));
  EXPECT_EQ(lookup.indexFor(255, 255, 255, chosen), 255);
  EXPECT_EQ(lookup.indexFor(0, 0, 0, chosen), 0);
  // Pure red weighs 77/256 of white: 255*77/256 = 76.7 -> 76.
  EXPECT_EQ(lookup.indexFor(255, 0, 0, chosen), 76);
  EXPECT_EQ(chosen, rgb(76, 76, 76));
  // Green weighs most: 255*150/256 = 149.4 -> 149.
  EXPECT_EQ(lookup.indexFor(0, 255, 0, chosen), 149);
}

TEST(LookupTest, WebCubeRoundsEachChannelToTheNearestStep) {
  WebCubeLookup lookup;
  Color chosen = 0;
  EXPECT_EQ(lookup.colorCount(), 216);
  EXPECT_EQ(lookup.indexFor(25, 25, 25, chosen), 0);
  EXPECT_EQ(chosen, rgb(0, 0, 0));
  EXPECT_EQ(lookup.indexFor(26, 26, 26, chosen), 36 + 6 + 1);
  EXPECT_EQ(chosen, rgb(51, 51, 51));
  // 47 is 4 away from 51 and 47 away from 0.
  EXPECT_EQ(lookup.indexFor(47, 0, 0, chosen), 36);
  EXPECT_EQ(chosen, rgb(51, 0, 0));
  EXPECT_EQ(lookup.indexFor(255, 255, 255, chosen), 215);
  EXPECT_EQ(lookup.indexFor(0, 0, 229, chosen), 4);  // 229 is nearer 204 than 255
  EXPECT_EQ(lookup.indexFor(0, 0, 230, chosen), 5);
  EXPECT_EQ(chosen, rgb(0, 0, 255));
}

TEST(LookupTest, MonochromeSwitchesToWhiteAtWeightedSum32513) {
  MonochromeLookup lookup;
  Color chosen = 0;
  // 77*101 + 150*139 + 29*134 = 7777 + 20850 + 3886 = 32513, the smallest white sum;
  // grey 127 weighs 256*127 = 32512, the largest black one.
  EXPECT_EQ(lookup.indexFor(101, 139, 134, chosen), 1);
  EXPECT_EQ(chosen, rgb(255, 255, 255));
  EXPECT_EQ(lookup.indexFor(101, 139, 133, chosen), 0);
  EXPECT_EQ(lookup.indexFor(127, 127, 127, chosen), 0);
  EXPECT_EQ(chosen, rgb(0, 0, 0));
  EXPECT_EQ(lookup.indexFor(128, 128, 128, chosen), 1);
}

TEST(LookupTest, NearestAnswersPaletteColoursExactlyAndOthersBySumOfDifferences) {
  const Palette palette = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(100, 100, 100)};
  NearestColorLookup lookup(palette);
  Color chosen = 0;
  EXPECT_EQ(lookup.colorCount(), 4);
  for (int i = 0; i < 4; ++i) {
    const Color c = palette[static_cast<std::size_t>(i)];
    EXPECT_EQ(lookup.indexFor(redOf(c), greenOf(c), blueOf(c), chosen), i);
    EXPECT_EQ(chosen, c);
  }
  // (200, 60, 60): to red 55+60+60 = 175, to grey 100+40+40 = 180.
  EXPECT_EQ(lookup.indexFor(200, 60, 60, chosen), 0);
  // (180, 80, 80) falls in another cell: to red 75+80+80 = 235, to grey 80+20+20 = 120.
  EXPECT_EQ(lookup.indexFor(180, 80, 80, chosen), 3);
  EXPECT_EQ(chosen, rgb(100, 100, 100));
}

TEST(LookupTest, NearestTieGoesToTheFirstEntry) {
  // (128, 0, 0) is 128 away from both entries.
  NearestColorLookup lookup({rgb(0, 0, 0), rgb(255, 0, 1)});
  Color chosen = 0;
  EXPECT_EQ(lookup.indexFor(128, 0, 0, chosen), 0);
  NearestColorLookup reversed({rgb(255, 0, 1), rgb(0, 0, 0)});
  EXPECT_EQ(reversed.indexFor(128, 0, 0, chosen), 0);
}

TEST(LookupTest, NearestRemembersOneAnswerPerFiveBitCell) {
  // Entries 1 and 2 share the cell of (64..71, 64..71, 64..71); the lower index claims it.
  NearestColorLookup lookup({rgb(0, 0, 0), rgb(64, 64, 64), rgb(70, 70, 70)});
  Color chosen = 0;
  EXPECT_EQ(lookup.indexFor(70, 70, 70, chosen), 1);
  EXPECT_EQ(chosen, rgb(64, 64, 64));
  EXPECT_EQ(lookup.indexFor(71, 71, 71, chosen), 1);

  // A searched cell keeps its first answer for every colour falling into it.
  NearestColorLookup searched({rgb(0, 0, 0), rgb(20, 20, 20)});
  EXPECT_EQ(searched.indexFor(8, 8, 8, chosen), 0);     // 24 vs 36
  EXPECT_EQ(searched.indexFor(15, 15, 15, chosen), 0);  // same cell, although 20 is nearer
  EXPECT_EQ(NearestColorLookup::cellOf(8, 8, 8), NearestColorLookup::cellOf(15, 15, 15));
}

}  // namespace
}  // namespace zefra::colour
