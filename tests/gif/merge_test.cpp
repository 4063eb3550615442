// SortByUse and MergeColorTables.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "gif/color_table_merge.h"
#include "merge_test_support.h"

namespace zefra::gif {
namespace {

using testing::addControl;
using testing::addIndexedFrame;
using testing::colourOf;

const Color kRed = rgb(255, 0, 0);
const Color kGreen = rgb(0, 255, 0);
const Color kBlue = rgb(0, 0, 255);
const Color kBlack = rgb(0, 0, 0);
const Color kWhite = rgb(255, 255, 255);

std::vector<Color> tableOf(const ColorMap& map) {
  std::vector<Color> out;
  for (int i = 0; i < map.count(); ++i) out.push_back(toColor(map[i]));
  return out;
}

TEST(MergeTest, EqualColoursOfTwoTablesBecomeOneEntryWithTheSummedCount) {
  GifImage image;
  // Red is used 2 + 2 times: only the summed count puts it ahead of blue's 3.
  GifFrame& a = addIndexedFrame(image, 3, 1, {kRed, kGreen}, {0, 0, 1});
  GifFrame& b = addIndexedFrame(image, 5, 1, {kBlue, kRed}, {0, 0, 0, 1, 1});
  mergeColorTables(image);
  EXPECT_EQ(tableOf(image.globalTable()), (std::vector<Color>{kRed, kBlue, kGreen}));
  EXPECT_TRUE(image.globalTable().sorted());
  EXPECT_TRUE(a.localColorMap().empty());
  EXPECT_TRUE(b.localColorMap().empty());
  EXPECT_EQ(std::vector<std::uint8_t>(a.pixels(), a.pixels() + 3), (std::vector<std::uint8_t>{0, 0, 2}));
  EXPECT_EQ(std::vector<std::uint8_t>(b.pixels(), b.pixels() + 5), (std::vector<std::uint8_t>{1, 1, 1, 0, 0}));
}

TEST(MergeTest, ThreeHundredColoursKeepTheMostUsedAndMapTheRestByComponentSum) {
  // Colour i is used i + 1 times, so the 256 most used are 44..299 with no tie.
  const int n = 300;
  std::vector<Color> colours;
  for (int i = 0; i < n; ++i)
    colours.push_back(rgb(static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11 + 5), static_cast<std::uint8_t>(i / 2)));
  ASSERT_EQ(std::set<Color>(colours.begin(), colours.end()).size(), static_cast<std::size_t>(n));
  GifImage image;
  std::vector<int> firstPixelOf(n);
  for (int part = 0; part < 2; ++part) {
    const int from = part == 0 ? 0 : 200;
    const int to = part == 0 ? 200 : 300;
    std::vector<Color> palette(colours.begin() + from, colours.begin() + to);
    std::vector<std::uint8_t> pixels;
    for (int i = from; i < to; ++i) {
      firstPixelOf[static_cast<std::size_t>(i)] = static_cast<int>(pixels.size());
      pixels.insert(pixels.end(), static_cast<std::size_t>(i + 1), static_cast<std::uint8_t>(i - from));
    }
    addIndexedFrame(image, static_cast<int>(pixels.size()), 1, palette, pixels);
  }
  mergeColorTables(image);

  const std::vector<Color> table = tableOf(image.globalTable());
  ASSERT_EQ(table.size(), 256u);
  for (int k = 0; k < 256; ++k) EXPECT_EQ(table[static_cast<std::size_t>(k)], colours[static_cast<std::size_t>(299 - k)]);
  const auto sum = [](Color c) { return redOf(c) + greenOf(c) + blueOf(c); };
  for (int i = 0; i < n; ++i) {
    const GifFrame& frame = image.frames()[i < 200 ? 0 : 1];
    const Color shown = colourOf(frame, firstPixelOf[static_cast<std::size_t>(i)], 0);
    const Color original = colours[static_cast<std::size_t>(i)];
    if (i >= 44) {
      EXPECT_EQ(shown, original) << i;
      continue;
    }
    // The first kept colour (in table order) with the smallest component-sum distance.
    int best = 0;
    for (int k = 1; k < 256; ++k)
      if (std::abs(sum(table[static_cast<std::size_t>(k)]) - sum(original)) < std::abs(sum(table[static_cast<std::size_t>(best)]) - sum(original)))
        best = k;
    EXPECT_EQ(shown, table[static_cast<std::size_t>(best)]) << i;
  }
}

TEST(MergeTest, TransparentFrameGetsTheAppendedBlackWhichNoColourMatches) {
  GifImage image;
  // Frame a: green is its transparent colour. Frame b shows real green and real black.
  GifFrame& a = addIndexedFrame(image, 4, 1, {kRed, kGreen, kBlue}, {0, 1, 1, 2});
  addControl(a, 5, Disposal::Unspecified, 1);
  GifFrame& b = addIndexedFrame(image, 4, 1, {kGreen, kBlack}, {0, 0, 1, 1});
  mergeColorTables(image);

  const std::vector<Color> table = tableOf(image.globalTable());
  ASSERT_EQ(table.size(), 5u);  // green, black, red, blue, transparent black
  EXPECT_EQ(table.back(), kBlack);
  const int t = 4;
  EXPECT_TRUE(a.hasTransparency);
  EXPECT_EQ(a.graphicControl->transparentIndex(), t);
  EXPECT_EQ(a.pixelAt(1, 0), t);
  EXPECT_EQ(a.pixelAt(2, 0), t);
  EXPECT_EQ(colourOf(a, 0, 0), kRed);
  EXPECT_EQ(colourOf(a, 3, 0), kBlue);
  // b's green and black stay real colours, never the transparent slot.
  for (int x = 0; x < 4; ++x) EXPECT_NE(b.pixelAt(x, 0), t);
  EXPECT_EQ(colourOf(b, 0, 0), kGreen);
  EXPECT_EQ(colourOf(b, 3, 0), kBlack);
}

TEST(MergeTest, TransparencyThatNoPixelShowsIsDropped) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 2, 1, {kRed, kGreen}, {0, 0});
  addControl(a, 5, Disposal::Unspecified, 1);
  mergeColorTables(image);
  EXPECT_FALSE(a.hasTransparency);
  EXPECT_FALSE(a.graphicControl->transparent());
  EXPECT_EQ(a.graphicControl->transparentIndex(), 0);
  EXPECT_EQ(tableOf(image.globalTable()), std::vector<Color>{kRed});
}

TEST(MergeTest, WithTransparencyOnly255ColoursAreKept) {
  GifImage image;
  std::vector<Color> palette;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(rgb(static_cast<std::uint8_t>(i), 0, 0));
    pixels.insert(pixels.end(), static_cast<std::size_t>(i + 1), static_cast<std::uint8_t>(i));
  }
  addIndexedFrame(image, static_cast<int>(pixels.size()), 1, palette, pixels);
  GifFrame& b = addIndexedFrame(image, 2, 1, {kWhite, kGreen}, {0, 1});
  addControl(b, 5, Disposal::Unspecified, 1);
  mergeColorTables(image);
  ASSERT_EQ(image.globalTable().count(), 256);
  EXPECT_EQ(b.graphicControl->transparentIndex(), 255);
  EXPECT_EQ(b.pixelAt(1, 0), 255);
  // 257 colours were shown (256 reds, red i used i + 1 times, and white once) for 255
  // slots: reds 255..1 are kept; red 0 folds into red 1 (sum 1 away) and white into red
  // 255, the kept colour with the nearest component sum (510 away).
  const GifFrame& a = image.frames()[0];
  EXPECT_EQ(colourOf(a, 0, 0), rgb(1, 0, 0));
  EXPECT_EQ(colourOf(a, 1, 0), rgb(1, 0, 0));
  EXPECT_EQ(colourOf(b, 0, 0), rgb(255, 0, 0));
}

TEST(MergeTest, IndicesOutsideTheTableAreRepairedWithAWarning) {
  GifImage image;
  std::vector<std::string> warnings;
  image.warningHandler = [&](const GifItem*, int, const std::string& m) { warnings.push_back(m); };
  GifFrame& a = addIndexedFrame(image, 3, 1, {kRed, kGreen}, {1, 7, 1});
  mergeColorTables(image);
  EXPECT_EQ(colourOf(a, 1, 0), kRed);
  EXPECT_NE(std::find(warnings.begin(), warnings.end(), "Color not in color table"), warnings.end());
}

TEST(MergeTest, FramesOfTheGlobalTableAreMergedWithLocalOnes) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 2, 1, {kRed, kGreen}, {0, 1});
  GifFrame& b = addIndexedFrame(image, 3, 1, {kBlue}, {0, 0, 0});
  mergeColorTables(image);  // global: blue, red, green
  GifFrame& c = addIndexedFrame(image, 4, 1, {kGreen, kWhite}, {0, 0, 0, 1});
  mergeColorTables(image);
  EXPECT_EQ(tableOf(image.globalTable()), (std::vector<Color>{kGreen, kBlue, kRed, kWhite}));
  EXPECT_EQ(colourOf(a, 0, 0), kRed);
  EXPECT_EQ(colourOf(b, 2, 0), kBlue);
  EXPECT_EQ(colourOf(c, 3, 0), kWhite);
}

TEST(SortByUseTest, ReordersByDecreasingUseAndCutsUnusedColours) {
  GifImage image;
  // red 2, green 0, blue 3, white 1
  GifFrame& a = addIndexedFrame(image, 6, 1, {kRed, kGreen, kBlue, kWhite}, {2, 2, 2, 0, 0, 3});
  addControl(a, 0, Disposal::Unspecified, 0);
  ASSERT_TRUE(a.localColorMap().sortByUse());
  EXPECT_EQ(tableOf(a.localColorMap()), (std::vector<Color>{kBlue, kRed, kWhite}));
  EXPECT_TRUE(a.localColorMap().sorted());
  EXPECT_EQ(std::vector<std::uint8_t>(a.pixels(), a.pixels() + 6), (std::vector<std::uint8_t>{0, 0, 0, 1, 1, 2}));
  EXPECT_EQ(a.graphicControl->transparentIndex(), 1);  // red moved from 0 to 1
}

TEST(SortByUseTest, EqualCountsComeOutInTheMiddlePivotQuicksortOrder) {
  // Counts (1, 0, 3, 1). Traced by hand: the first pass (pivot count 0) swaps entries 1 and
  // 3; the left part (1, 1, 3) with pivot 1 swaps its ends, giving 3, 1 (white), 1 (red).
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 5, 1, {kRed, kGreen, kBlue, kWhite}, {2, 2, 2, 0, 3});
  ASSERT_TRUE(a.localColorMap().sortByUse());
  EXPECT_EQ(tableOf(a.localColorMap()), (std::vector<Color>{kBlue, kWhite, kRed}));
  EXPECT_EQ(std::vector<std::uint8_t>(a.pixels(), a.pixels() + 5), (std::vector<std::uint8_t>{0, 0, 0, 2, 1}));
}

TEST(SortByUseTest, AnOrderedTableStaysAsItIsEvenWithUnusedEntries) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 3, 1, {kRed, kGreen, kBlue}, {0, 0, 1});
  EXPECT_TRUE(a.localColorMap().sortByUse());
  EXPECT_EQ(tableOf(a.localColorMap()), (std::vector<Color>{kRed, kGreen, kBlue}));
}

TEST(SortByUseTest, TooSmallTablesAndFramelessImagesAreLeftAlone) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 2, 1, {kRed}, {0, 0});
  EXPECT_FALSE(a.localColorMap().sortByUse());
  EXPECT_FALSE(a.localColorMap().sorted());
  GifImage empty;
  empty.globalTable().importColors({kRed, kGreen});
  EXPECT_FALSE(empty.globalTable().sortByUse());
}

}  // namespace
}  // namespace zefra::gif
