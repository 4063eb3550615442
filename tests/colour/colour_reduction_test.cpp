// mapToPalette over the ten reduction modes.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <stdexcept>

#include "colour/color_reduction.h"

namespace zefra::colour {
namespace {

raster::FastBitmap picture(int w, int h, const std::vector<Color>& colours) {
  raster::FastBitmap bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.setPixel(x, y, colours[static_cast<std::size_t>(y * w + x) % colours.size()]);
  return bmp;
}

Color colourAt(const IndexedBitmap& out, int x, int y) { return toColor(out.palette()[out.index(x, y)]); }

TEST(ColourReductionTest, OctreeKeepsTheColoursOfAThreeColourPictureExactly) {
  const std::vector<Color> colours = {rgb(200, 30, 40), rgb(10, 220, 90), rgb(90, 90, 250)};
  const raster::FastBitmap src = picture(17, 11, colours);
  for (DitherKind dither : {DitherKind::Nearest, DitherKind::FloydSteinberg, DitherKind::Stucki}) {
    const IndexedBitmap out = mapToPalette(src, ReductionMode::Octree, dither, 8);
    ASSERT_EQ(out.bitsPerPixel(), 8);
    ASSERT_EQ(out.palette().size(), 256u);
    std::set<int> used;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 17; ++x) {
        EXPECT_EQ(colourAt(out, x, y), src.pixel(x, y));
        used.insert(out.index(x, y));
      }
    EXPECT_EQ(used.size(), 3u);
  }
}

TEST(ColourReductionTest, FixedModesUseTheirPalettesAndLookups) {
  const raster::FastBitmap src = picture(4, 1, {rgb(128, 128, 128), rgb(255, 255, 255), rgb(25, 25, 25), rgb(26, 26, 26)});
  const IndexedBitmap grey = mapToPalette(src, ReductionMode::Gray256);
  EXPECT_EQ(grey.index(0, 0), 128);
  EXPECT_EQ(grey.index(1, 0), 255);
  const IndexedBitmap cube = mapToPalette(src, ReductionMode::NetscapeCube);
  EXPECT_EQ(colourAt(cube, 2, 0), rgb(0, 0, 0));
  EXPECT_EQ(colourAt(cube, 3, 0), rgb(51, 51, 51));
  EXPECT_EQ(cube.index(1, 0), 215);
  const IndexedBitmap four = mapToPalette(src, ReductionMode::Gray4);
  EXPECT_EQ(colourAt(four, 0, 0), rgb(128, 128, 128));
  EXPECT_EQ(colourAt(four, 3, 0), rgb(0, 0, 0));
  const IndexedBitmap bw = mapToPalette(src, ReductionMode::BlackWhite);
  EXPECT_EQ(bw.index(0, 0), 1);
  EXPECT_EQ(bw.index(2, 0), 0);
  const IndexedBitmap sys = mapToPalette(src, ReductionMode::System20);
  EXPECT_EQ(colourAt(sys, 0, 0), rgb(128, 128, 128));
  EXPECT_EQ(colourAt(sys, 1, 0), rgb(255, 255, 255));
  const IndexedBitmap half = mapToPalette(src, ReductionMode::Halftone256);
  EXPECT_EQ(colourAt(half, 1, 0), rgb(255, 255, 255));
}

TEST(ColourReductionTest, ColourTableIsTheTargetPalettePaddedWithBlack) {
  const raster::FastBitmap src = picture(2, 2, {rgb(1, 2, 3)});
  const IndexedBitmap bw = mapToPalette(src, ReductionMode::BlackWhite);
  ASSERT_EQ(bw.palette().size(), 256u);
  EXPECT_EQ(toColor(bw.palette()[1]), rgb(255, 255, 255));
  for (std::size_t i = 2; i < 256; ++i) EXPECT_EQ(toColor(bw.palette()[i]), rgb(0, 0, 0));

  // (1, 2, 3) shares its 5-bit cell with the system black at index 0, which claims it.
  const IndexedBitmap sys = mapToPalette(src, ReductionMode::OctreeSystem);
  EXPECT_EQ(toColor(sys.palette()[10]), rgb(1, 2, 3));
  EXPECT_EQ(toColor(sys.palette()[246]), systemPalette20()[10]);
  EXPECT_EQ(sys.index(0, 0), 0);
  const IndexedBitmap own = mapToPalette(picture(2, 2, {rgb(100, 2, 3)}), ReductionMode::OctreeSystem);
  EXPECT_EQ(own.index(1, 1), 10);
}

TEST(ColourReductionTest, OctreeHonoursTheBitCount) {
  std::mt19937 rng(5);
  raster::FastBitmap src(50, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) src.setPixel(x, y, rng() & 0xFFFFFF);
  for (int bits = 1; bits <= 8; ++bits) {
    const IndexedBitmap out = mapToPalette(src, ReductionMode::Octree, DitherKind::FloydSteinberg, bits);
    int highest = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 50; ++x) highest = std::max<int>(highest, out.index(x, y));
    EXPECT_LT(highest, 1 << bits) << bits << " bits";
  }
}

TEST(ColourReductionTest, CustomPaletteIsUsedAsGiven) {
  const raster::FastBitmap src = picture(3, 1, {rgb(250, 0, 0), rgb(0, 0, 240), rgb(10, 10, 10)});
  const Palette custom = {rgb(0, 0, 255), rgb(255, 0, 0), rgb(0, 0, 0)};
  const IndexedBitmap out = mapToPalette(src, ReductionMode::CustomPalette, DitherKind::Nearest, 8, custom);
  EXPECT_EQ(out.index(0, 0), 1);
  EXPECT_EQ(out.index(1, 0), 0);
  EXPECT_EQ(out.index(2, 0), 2);
  EXPECT_TRUE(mapToPalette(src, ReductionMode::CustomPalette, DitherKind::Nearest, 8, {}).empty());
}

TEST(ColourReductionTest, UnusableRequestsGiveTheEmptyBitmapAndNoAreaStops) {
  const raster::FastBitmap src = picture(3, 3, {rgb(1, 1, 1)});
  EXPECT_TRUE(mapToPalette(src, ReductionMode::None).empty());
  EXPECT_TRUE(mapToPalette(src, static_cast<ReductionMode>(10)).empty());
  EXPECT_TRUE(mapToPalette(src, ReductionMode::Gray256, static_cast<DitherKind>(7)).empty());
  try {
    mapToPalette(raster::FastBitmap(), ReductionMode::Gray256);
    FAIL() << "no error for an empty picture";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid image dimensions");
  }
}

}  // namespace
}  // namespace zefra::colour
