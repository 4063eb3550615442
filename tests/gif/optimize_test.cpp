// OptimizeFrames, MaskUnchangedPixels and TrimTransparentBorders on hand-made animations.

#include <gtest/gtest.h>

#include <string>

#include "gif/application_extension.h"
#include "gif/color_table_merge.h"
#include "gif/frame_optimizer.h"
#include "gif/gif_error.h"
#include "gif/text_extensions.h"
#include "merge_test_support.h"
#include "optimize_playback.h"

namespace zefra::gif {
namespace {

using testing::addControl;
using testing::addIndexedFrame;
using testing::playTimeline;

const OptimizeOptions kExportFirstPass{OptimizeOption::TrimBorders, OptimizeOption::DiffFrames, OptimizeOption::Tidy,
                                       OptimizeOption::SortColorTables, OptimizeOption::Reduce};
const OptimizeOptions kExportSecondPass{OptimizeOption::TrimBorders, OptimizeOption::Tidy, OptimizeOption::SortColorTables,
                                        OptimizeOption::Reduce};

std::vector<std::uint8_t> pattern(int w, int h, int colours) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w * h));
  for (int i = 0; i < w * h; ++i) p[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7 + i / w) % colours);
  return p;
}

const std::vector<Color> kFour = {rgb(200, 0, 0), rgb(0, 200, 0), rgb(0, 0, 200), rgb(90, 90, 90)};

TEST(OptimizeTest, IdenticalFramesCollapseIntoOneWithTheSummedDelay) {
  GifImage image;
  const auto pixels = pattern(20, 10, 4);
  addIndexedFrame(image, 20, 10, kFour, pixels);
  addIndexedFrame(image, 20, 10, kFour, pixels);
  addIndexedFrame(image, 20, 10, kFour, pattern(20, 10, 3));
  mergeColorTables(image);
  addControl(image.frames()[0], 10);
  addControl(image.frames()[1], 20);
  addControl(image.frames()[2], 7);
  const auto reference = playTimeline(image);

  optimizeFrames(image, kExportFirstPass);
  optimizeFrames(image, kExportSecondPass);
  ASSERT_EQ(image.frames().count(), 2);
  EXPECT_EQ(image.frames()[0].graphicControl->delayCs(), 30);
  EXPECT_EQ(playTimeline(image), reference);
}

TEST(OptimizeTest, ATenByTenChangeIsTrimmedToThatSquare) {
  GifImage image;
  const int w = 48, h = 30;
  auto first = pattern(w, h, 3);
  auto second = first;
  for (int y = 7; y < 17; ++y)
    for (int x = 12; x < 22; ++x) second[static_cast<std::size_t>(y * w + x)] = 3;  // grey never used before
  addIndexedFrame(image, w, h, kFour, first);
  addIndexedFrame(image, w, h, kFour, second);
  mergeColorTables(image);
  addControl(image.frames()[0], 5);
  addControl(image.frames()[1], 5);
  const auto reference = playTimeline(image);

  optimizeFrames(image, kExportFirstPass);
  ASSERT_EQ(image.frames().count(), 2);
  const GifFrame& changed = image.frames()[1];
  EXPECT_EQ(changed.left(), 12);
  EXPECT_EQ(changed.top(), 7);
  EXPECT_EQ(changed.width(), 10);
  EXPECT_EQ(changed.height(), 10);
  EXPECT_EQ(playTimeline(image), reference);
}

TEST(OptimizeTest, NoMaskingWithAFullGlobalTableAndNoTransparentFrame) {
  GifImage image;
  std::vector<Color> palette;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7));
    pixels.push_back(static_cast<std::uint8_t>(i));
  }
  addIndexedFrame(image, 16, 16, palette, pixels);
  addIndexedFrame(image, 16, 16, palette, pixels);
  mergeColorTables(image);
  ASSERT_EQ(image.globalTable().count(), 256);
  addControl(image.frames()[0], 5);
  addControl(image.frames()[1], 5);
  optimizeFrames(image, kExportFirstPass);
  ASSERT_EQ(image.frames().count(), 2);
  EXPECT_FALSE(image.frames()[1].hasTransparency);
  EXPECT_EQ(image.frames()[1].width(), 16);
  EXPECT_EQ(image.globalTable().count(), 256);
}

TEST(OptimizeTest, FramesOfTheGlobalTableShareOneAppendedTransparentEntry) {
  GifImage image;
  const auto a = pattern(10, 6, 2);
  auto b = a;
  b[0] = 2;
  auto c = b;
  c[59] = 3;
  addIndexedFrame(image, 10, 6, kFour, a);
  addIndexedFrame(image, 10, 6, kFour, b);
  addIndexedFrame(image, 10, 6, kFour, c);
  mergeColorTables(image);
  const int before = image.globalTable().count();
  for (int i = 0; i < 3; ++i) addControl(image.frames()[i], 4);
  maskUnchangedPixels(image.frames()[2], &image.frames()[1]);
  maskUnchangedPixels(image.frames()[1], &image.frames()[0]);
  EXPECT_EQ(image.globalTable().count(), before + 1);
  ASSERT_TRUE(image.frames()[1].hasTransparency);
  ASSERT_TRUE(image.frames()[2].hasTransparency);
  EXPECT_EQ(image.frames()[1].graphicControl->transparentIndex(), before);
  EXPECT_EQ(image.frames()[2].graphicControl->transparentIndex(), before);
  // Only the changed pixels keep a colour.
  EXPECT_EQ(testing::colourOf(image.frames()[2], 9, 5), kFour[3]);
  EXPECT_EQ(image.frames()[2].pixelAt(0, 0), before);
  EXPECT_EQ(testing::colourOf(image.frames()[1], 0, 0), kFour[2]);
  EXPECT_EQ(image.frames()[1].pixelAt(1, 0), before);
}

TEST(OptimizeTest, AnotherFramesTransparentIndexIsNotSharedWhenItIsARealColourHere) {
  // Frame a uses red (index 0) as its transparent colour; b shows real red. Masking b must
  // not reuse index 0, or b's red pixel would vanish with the masked ones.
  GifImage image;
  image.globalTable().importColors({rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)});
  GifFrame& a = addIndexedFrame(image, 3, 1, {}, {0, 1, 0});
  addControl(a, 2, Disposal::Unspecified, 0);
  GifFrame& p = addIndexedFrame(image, 3, 1, {}, {1, 1, 2});
  GifFrame& b = addIndexedFrame(image, 3, 1, {}, {0, 1, 2});
  maskUnchangedPixels(b, &p);
  ASSERT_TRUE(b.hasTransparency);
  EXPECT_EQ(image.globalTable().count(), 4);
  EXPECT_EQ(b.graphicControl->transparentIndex(), 3);
  EXPECT_EQ(std::vector<std::uint8_t>(b.pixels(), b.pixels() + 3), (std::vector<std::uint8_t>{0, 3, 3}));

  // Where the shared index is free in the frame, it is reused and nothing is appended.
  GifFrame& c = addIndexedFrame(image, 3, 1, {}, {1, 2, 2});
  maskUnchangedPixels(c, &p);
  EXPECT_EQ(image.globalTable().count(), 4);
  EXPECT_EQ(c.graphicControl->transparentIndex(), 0);
  EXPECT_EQ(std::vector<std::uint8_t>(c.pixels(), c.pixels() + 3), (std::vector<std::uint8_t>{0, 2, 0}));
}

TEST(OptimizeTest, MaskingUsesALocalTableSlotAndSkipsRestoringPreviousFrames) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 3, 1, {rgb(1, 1, 1), rgb(2, 2, 2)}, {0, 1, 0});
  GifFrame& b = addIndexedFrame(image, 3, 1, {rgb(2, 2, 2), rgb(1, 1, 1)}, {1, 1, 1});
  maskUnchangedPixels(b, &a);  // different tables, compared by colour
  ASSERT_TRUE(b.hasTransparency);
  EXPECT_EQ(b.localColorMap().count(), 3);
  EXPECT_EQ(b.graphicControl->transparentIndex(), 2);
  EXPECT_EQ(b.pixelAt(0, 0), 2);
  EXPECT_EQ(b.pixelAt(1, 0), 1);
  EXPECT_EQ(b.pixelAt(2, 0), 2);

  GifFrame& c = addIndexedFrame(image, 3, 1, {rgb(2, 2, 2), rgb(1, 1, 1)}, {0, 1, 0});
  b.graphicControl->setDisposal(Disposal::RestorePrevious);
  maskUnchangedPixels(c, &b);
  EXPECT_FALSE(c.hasTransparency);
}

TEST(OptimizeTest, TrimCutsTransparentEdgesAndClearsAWhollyTransparentFrame) {
  GifImage image;
  // 5 x 4, transparent index 0, opaque pixels at (1,1) and (3,2).
  std::vector<std::uint8_t> px(20, 0);
  px[1 * 5 + 1] = 1;
  px[2 * 5 + 3] = 1;
  GifFrame& f = addIndexedFrame(image, 5, 4, {rgb(0, 0, 0), rgb(9, 9, 9)}, px);
  f.setPlacement(10, 20, 5, 4);
  addControl(f, 3, Disposal::Unspecified, 0);
  trimTransparentBorders(f);
  EXPECT_EQ(f.left(), 11);
  EXPECT_EQ(f.top(), 21);
  EXPECT_EQ(f.width(), 3);
  EXPECT_EQ(f.height(), 2);
  EXPECT_EQ(std::vector<std::uint8_t>(f.pixels(), f.pixels() + 6), (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 1}));

  GifFrame& g = addIndexedFrame(image, 2, 2, {rgb(0, 0, 0), rgb(9, 9, 9)}, {0, 0, 0, 0});
  addControl(g, 3, Disposal::Unspecified, 0);
  trimTransparentBorders(g);
  EXPECT_TRUE(g.empty());
  EXPECT_TRUE(g.extensions().empty());
}

TEST(OptimizeTest, TidyRemovesExtensionsThatChangeNothing) {
  GifImage image;
  GifFrame& f = addIndexedFrame(image, 2, 1, {rgb(1, 2, 3), rgb(4, 5, 6)}, {0, 1});
  f.extensions().add(std::make_unique<LoopExtension>(f));
  f.extensions().add(std::make_unique<CommentExtension>(f));
  addControl(f, 50);
  optimizeFrames(image, OptimizeOptions{OptimizeOption::Tidy});
  EXPECT_TRUE(f.extensions().empty());  // one frame: no loop, no needless control

  GifImage two;
  GifFrame& a = addIndexedFrame(two, 2, 1, {rgb(1, 2, 3), rgb(4, 5, 6)}, {0, 1});
  GifFrame& b = addIndexedFrame(two, 2, 1, {rgb(1, 2, 3), rgb(4, 5, 6)}, {1, 0});
  a.extensions().add(std::make_unique<LoopExtension>(a));
  addControl(a, 50);
  b.extensions().add(std::make_unique<LoopExtension>(b));
  b.extensions().add(std::make_unique<CommentExtension>(b));
  addControl(b, 0, Disposal::Keep);
  optimizeFrames(two, OptimizeOptions{OptimizeOption::Tidy});
  ASSERT_EQ(a.extensions().count(), 2);  // the loop stays on the first frame, the delay matters
  EXPECT_NE(dynamic_cast<LoopExtension*>(&a.extensions()[0]), nullptr);
  EXPECT_TRUE(b.extensions().empty());   // delay 0 and plain disposal: nothing to say
}

TEST(OptimizeTest, TidyDropsUnusedTransparencyAndPointlessDisposal) {
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 4, 4, kFour, pattern(4, 4, 2));
  GifFrame& b = addIndexedFrame(image, 6, 6, kFour, pattern(6, 6, 3));
  addControl(a, 5, Disposal::RestoreBackground, 3);  // index 3 is not in the pixels
  addControl(b, 5);
  optimizeFrames(image, OptimizeOptions{OptimizeOption::Tidy});
  EXPECT_FALSE(a.hasTransparency);
  EXPECT_EQ(a.graphicControl->transparentIndex(), 3);
  // b is opaque and covers all of a, so clearing a's area first shows nothing.
  EXPECT_EQ(a.graphicControl->disposal(), Disposal::Unspecified);

  GifImage inside;
  GifFrame& big = addIndexedFrame(inside, 6, 6, kFour, pattern(6, 6, 3));
  GifFrame& small = addIndexedFrame(inside, 4, 4, kFour, pattern(4, 4, 2));
  addControl(big, 5, Disposal::RestoreBackground);
  addControl(small, 5);
  const auto reference = playTimeline(inside);
  optimizeFrames(inside, OptimizeOptions{OptimizeOption::Tidy});
  // The smaller frame leaves part of the cleared area visible: the disposal must stay.
  EXPECT_EQ(big.graphicControl->disposal(), Disposal::RestoreBackground);
  EXPECT_EQ(playTimeline(inside), reference);
}

TEST(OptimizeTest, TidyDropsUnusedTransparencyOfEveryFrameBeforeJudgingDisposals) {
  // Frame b claims transparency but holds no pixel of its index, so it really is opaque
  // and covers a: a's clearing of its area is pointless. That is only seen once b's unused
  // transparency is gone, so the first pass has to finish over all frames first.
  GifImage image;
  GifFrame& a = addIndexedFrame(image, 6, 6, kFour, pattern(6, 6, 3));
  GifFrame& b = addIndexedFrame(image, 6, 6, kFour, pattern(6, 6, 2));  // indices 0 and 1 only
  GifFrame& c = addIndexedFrame(image, 6, 6, kFour, pattern(6, 6, 3));
  addControl(a, 5, Disposal::RestoreBackground);
  addControl(b, 5, Disposal::RestoreBackground, 3);
  addControl(c, 5);
  const auto reference = playTimeline(image);
  optimizeFrames(image, OptimizeOptions{OptimizeOption::Tidy});
  EXPECT_FALSE(b.hasTransparency);
  EXPECT_EQ(a.graphicControl->disposal(), Disposal::Unspecified);
  // c is opaque over all of b: clearing b's area is pointless as well.
  EXPECT_EQ(b.graphicControl->disposal(), Disposal::Unspecified);
  EXPECT_EQ(playTimeline(image), reference);
}

TEST(OptimizeTest, ReportsProgressAndStopsOnACustomPaletteReduction) {
  GifImage image;
  addIndexedFrame(image, 2, 1, kFour, {0, 1});
  addIndexedFrame(image, 2, 1, kFour, {0, 2});
  std::vector<std::pair<ProgressStage, int>> events;
  image.progressHandler = [&](ProgressStage s, int percent, const std::string& m) {
    EXPECT_EQ(m, "Optimizing...");
    events.emplace_back(s, percent);
  };
  optimizeFrames(image, kExportFirstPass);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front(), std::make_pair(ProgressStage::Starting, 0));
  EXPECT_EQ(events.back(), std::make_pair(ProgressStage::Ending, 100));

  events.clear();
  try {
    optimizeFrames(image, OptimizeOptions{OptimizeOption::Reduce, OptimizeOption::SortColorTables}, ReductionMode::CustomPalette);
    FAIL() << "no stop";
  } catch (const GifError& e) {
    EXPECT_STREQ(e.what(), "Invalid reduction method");
  }
  EXPECT_EQ(events.back(), std::make_pair(ProgressStage::Ending, 0));
  EXPECT_TRUE(image.frames()[0].localColorMap().sorted()) << "the other work is done before the stop";
  // With Tidy set, or any other mode, Reduce changes nothing.
  EXPECT_NO_THROW(optimizeFrames(image, OptimizeOptions{OptimizeOption::Reduce, OptimizeOption::Tidy}, ReductionMode::CustomPalette));
  EXPECT_NO_THROW(optimizeFrames(image, OptimizeOptions{OptimizeOption::Reduce}, ReductionMode::Octree));
}

}  // namespace
}  // namespace zefra::gif
