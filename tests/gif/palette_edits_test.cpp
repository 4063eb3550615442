// The palette panel's edits of a built image: deleting folds an entry into entry 0,
// editing keeps equal entries apart, and the limits of both.

#include <gtest/gtest.h>

#include "gif/gif_image.h"
#include "gif/palette_edits.h"

namespace zefra::gif {
namespace {

// One frame of `n` pixels, pixel i showing colour i of an n-entry global table; colour 0
// is used most (it also fills a second row) so merging keeps it at entry 0.
std::unique_ptr<GifImage> rainbow(int n) {
  auto image = std::make_unique<GifImage>();
  for (int i = 0; i < n; ++i) image->globalTable().append(rgb(static_cast<std::uint8_t>(i * 5), 100, static_cast<std::uint8_t>(255 - i)));
  auto frame = std::make_unique<GifFrame>(image.get());
  frame->setPlacement(0, 0, n, 2);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(2 * n), 0);
  for (int i = 0; i < n; ++i) pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  frame->setPixels(pixels);
  image->addFrame(std::move(frame));
  return image;
}

Color shownAt(const GifImage& image, int x) {
  const GifFrame& f = image.frames()[0];
  return toColor(f.effectiveColorMap()[f.pixelAt(x, 0)]);
}

TEST(PaletteEdits, DeletingColourFiveOfFortyLeavesThirtyNine) {
  auto image = rainbow(40);
  const Color zero = image->globalTable().entryColor(0);
  const Color six = image->globalTable().entryColor(6);
  ASSERT_TRUE(canDeleteGlobalColor(*image));
  deleteGlobalColor(*image, 5);
  EXPECT_EQ(image->globalTable().count(), 39);
  EXPECT_EQ(shownAt(*image, 5), zero);
  EXPECT_EQ(shownAt(*image, 6), six);
  EXPECT_EQ(image->globalTable().find(rgb(25, 100, 250)), -1);
}

TEST(PaletteEdits, OneColourCannotBeDeletedAndBadIndicesChangeNothing) {
  auto image = rainbow(1);
  EXPECT_FALSE(canDeleteGlobalColor(*image));
  deleteGlobalColor(*image, 0);
  EXPECT_EQ(image->globalTable().count(), 1);
  auto two = rainbow(2);
  deleteGlobalColor(*two, 2);
  setGlobalColor(*two, -1, rgb(1, 1, 1));
  EXPECT_EQ(two->globalTable().count(), 2);
  EXPECT_EQ(two->globalTable().find(rgb(1, 1, 1)), -1);
}

TEST(PaletteEdits, EditingToAnotherEntrysColourKeepsBoth) {
  auto image = rainbow(8);
  const Color three = image->globalTable().entryColor(3);
  int changes = 0;
  image->changeHandler = [&] { ++changes; };
  setGlobalColor(*image, 4, three);
  EXPECT_EQ(image->globalTable().count(), 8);
  EXPECT_EQ(image->globalTable().entryColor(4), three);
  EXPECT_EQ(shownAt(*image, 4), three);
  EXPECT_GE(changes, 1);  // a playing preview hears of the edit
}

}  // namespace
}  // namespace zefra::gif
