// The assembly of an animation from rendered frames, checked on the written bytes with an
// independent block walker.
#include "export/animation_export.h"
#include "export/export_settings.h"
#include "export/palette_sharing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>

#include "export_gif_walker.h"
#include "gif/color_table_merge.h"
#include "gif/gif_image.h"
#include "model/field_options.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

using raster::FastBitmap;
using testing::walkGif;
using testing::WalkedGif;

constexpr int kW = 40;
constexpr int kH = 12;

FastBitmap solid(Color c) {
  FastBitmap b(kW, kH);
  b.fill(c);
  return b;
}

// Left part one colour, the rest another.
FastBitmap split(Color left, Color right, int leftWidth) {
  FastBitmap b = solid(right);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < leftWidth; ++x) b.setPixel(x, y, left);
  return b;
}

// A smooth ramp with far more than 256 colours.
FastBitmap ramp() {
  FastBitmap b(200, 30);
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      b.setPixel(x, y, rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 8), static_cast<std::uint8_t>(255 - x)));
  return b;
}

ExportSettings windows256() {
  ExportSettings s;
  s.paletteKind = model::PaletteKind::Windows;
  s.colorCountIndex = 0;
  s.loop = true;
  return s;
}

struct Exported {
  ExportReport report;
  WalkedGif gif;
  std::vector<std::uint8_t> bytes;
  int colors = 0;
};

Exported exportFrames(const std::vector<FastBitmap>& frames, const std::vector<int>& delays,
                      const ExportSettings& settings) {
  gif::GifImage image;
  Exported e;
  e.report = assembleGif(frames, delays, false, settings, image);
  e.bytes = image.saveToBytes();
  e.gif = walkGif(e.bytes);
  e.colors = image.globalTable().count();
  return e;
}

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kWhite = rgb(255, 255, 255);

TEST(CreateGif, OneFrameProjectHasNoExtensionAtAllAndIsStill89a) {
  const auto e = exportFrames({split(kRed, kBlue, 10)}, {100}, windows256());
  EXPECT_EQ(e.gif.version, "89a");
  ASSERT_EQ(e.gif.images.size(), 1u);
  EXPECT_EQ(e.gif.extensionCount(), 0);  // no loop extension, graphic control removed
  EXPECT_EQ(e.gif.width, kW);
  EXPECT_EQ(e.gif.height, kH);
}

TEST(CreateGif, LoopExtensionOnlyOnFrameOneAndOnlyWhenChecked) {
  const std::vector<FastBitmap> frames{split(kRed, kBlue, 10), split(kRed, kBlue, 30), solid(kGreen)};
  const auto looped = exportFrames(frames, {100, 100, 100}, windows256());
  ASSERT_EQ(looped.gif.images.size(), 3u);
  ASSERT_TRUE(looped.gif.images[0].loopCount().has_value());
  EXPECT_EQ(*looped.gif.images[0].loopCount(), 0);  // for ever
  // The loop extension comes before the graphic control extension of frame 1.
  ASSERT_GE(looped.gif.images[0].extensions.size(), 2u);
  EXPECT_EQ(looped.gif.images[0].extensions[0].label, 0xFF);
  EXPECT_EQ(looped.gif.images[0].extensions[1].label, 0xF9);
  for (std::size_t i = 1; i < looped.gif.images.size(); ++i)
    EXPECT_FALSE(looped.gif.images[i].loopCount().has_value()) << "frame " << i + 1;

  ExportSettings noLoop = windows256();
  noLoop.loop = false;
  const auto once = exportFrames(frames, {100, 100, 100}, noLoop);
  ASSERT_EQ(once.gif.images.size(), 3u);
  for (const auto& image : once.gif.images)
    for (const auto& ext : image.extensions) EXPECT_NE(ext.label, 0xFF);
  for (const auto& ext : once.gif.trailingExtensions) EXPECT_NE(ext.label, 0xFF);
}

TEST(CreateGif, DelaysAreHundredthsRoundedHalfToEven) {
  const std::vector<int> delays{25, 30, 35, 45, 100};
  const std::vector<int> expected{2, 3, 4, 4, 10};
  const std::vector<FastBitmap> frames{solid(kRed), solid(kGreen), solid(kBlue), solid(kWhite), solid(rgb(9, 9, 9))};
  // Opaque: every frame differs everywhere, so all five frames and their delays survive
  // the optimisation. Transparent: nothing is optimised at all.
  ExportSettings transparent = windows256();
  transparent.transparent = true;
  transparent.transparentColor = kRed;
  for (const ExportSettings& s : {windows256(), transparent}) {
    const auto e = exportFrames(frames, delays, s);
    ASSERT_EQ(e.gif.images.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
      ASSERT_TRUE(e.gif.images[i].gce().has_value()) << "frame " << i + 1;
      EXPECT_EQ(e.gif.images[i].gce()->delayCs, expected[i]) << "frame " << i + 1;
    }
  }
  EXPECT_EQ(delayCentiseconds(15), 2);
  EXPECT_EQ(delayCentiseconds(5), 0);
  EXPECT_EQ(delayCentiseconds(0), 0);
  EXPECT_EQ(delayCentiseconds(-40), 0);
  EXPECT_EQ(delayCentiseconds(32767), 3277);
}

TEST(CreateGif, NetscapeIgnoresTheColourCountWhileWindowsHonoursIt) {
  ExportSettings few = windows256();
  few.colorCountIndex = 1;  // 8 colours
  const auto windows8 = exportFrames({ramp()}, {100}, few);
  const auto windowsAll = exportFrames({ramp()}, {100}, windows256());
  EXPECT_LE(windows8.colors, 8);
  EXPECT_GT(windowsAll.colors, 8);

  ExportSettings netscape = windows256();
  netscape.paletteKind = model::PaletteKind::Netscape;
  ExportSettings netscape8 = netscape;
  netscape8.colorCountIndex = 1;
  const auto a = exportFrames({ramp()}, {100}, netscape);
  const auto b = exportFrames({ramp()}, {100}, netscape8);
  EXPECT_EQ(a.bytes, b.bytes);
  EXPECT_GT(a.colors, 8);
}

TEST(CreateGif, TransparentExportKeepsEveryFrameWholeWithRestoreBackground) {
  ExportSettings s = windows256();
  s.transparent = true;
  s.transparentColor = kBlue;
  // Frames 1 and 2 are identical: an optimised export would drop frame 2.
  const auto e = exportFrames({split(kRed, kBlue, 10), split(kRed, kBlue, 10), solid(kGreen)}, {100, 200, 300}, s);
  ASSERT_EQ(e.gif.images.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& image = e.gif.images[i];
    EXPECT_EQ(image.left, 0);
    EXPECT_EQ(image.top, 0);
    EXPECT_EQ(image.width, kW);
    EXPECT_EQ(image.height, kH);
    ASSERT_TRUE(image.gce().has_value());
    EXPECT_EQ(image.gce()->disposal, 2);
    EXPECT_TRUE(image.gce()->transparent);
    EXPECT_EQ(e.gif.globalColor(image.gce()->transparentIndex), kBlue);
  }
  ASSERT_TRUE(e.report.transparentColor.has_value());
  EXPECT_EQ(*e.report.transparentColor, kBlue);
}

TEST(CreateGif, MissingTransparentColourMakesIndexZeroTransparentAndSaysWhichColourThatIs) {
  ExportSettings s = windows256();
  s.transparent = true;
  s.transparentColor = kBlue;  // not in any frame
  // Green covers most pixels, so after the merge it is the first (most used) entry.
  const auto e = exportFrames({split(kRed, kGreen, 5), split(kWhite, kGreen, 8)}, {100, 100}, s);
  ASSERT_EQ(e.gif.images.size(), 2u);
  for (const auto& image : e.gif.images) {
    ASSERT_TRUE(image.gce().has_value());
    EXPECT_TRUE(image.gce()->transparent);
    EXPECT_EQ(image.gce()->transparentIndex, 0);
  }
  EXPECT_EQ(e.gif.globalColor(0), kGreen);
  ASSERT_TRUE(e.report.transparentColor.has_value());
  EXPECT_EQ(*e.report.transparentColor, kGreen);
}

TEST(CreateGif, RepeatedFrameIsDroppedAndItsDelayHandedToThePreviousFrame) {
  const auto e = exportFrames({split(kRed, kBlue, 10), split(kRed, kBlue, 10), solid(kGreen)}, {100, 200, 300},
                              windows256());
  ASSERT_EQ(e.gif.images.size(), 2u);
  ASSERT_TRUE(e.gif.images[0].gce().has_value());
  EXPECT_EQ(e.gif.images[0].gce()->delayCs, 30);
  ASSERT_TRUE(e.gif.images[1].gce().has_value());
  EXPECT_EQ(e.gif.images[1].gce()->delayCs, 30);
}

TEST(PaletteSharing, SourceIsTheMostColourfulFrameTiesKeepTheEarlier) {
  const FastBitmap two = split(kRed, kBlue, 10);
  FastBitmap three = two;
  three.setPixel(0, 0, kGreen);
  EXPECT_EQ(paletteSourceFrame(std::vector<FastBitmap>{two, three, two}), 1);
  EXPECT_EQ(paletteSourceFrame(std::vector<FastBitmap>{two, split(kGreen, kWhite, 3)}), 0);
  DistinctColorCounter counter;
  EXPECT_EQ(counter.count(three), 3);
  EXPECT_EQ(counter.count(two), 2);  // nothing left over from the previous count
  EXPECT_EQ(counter.count(ramp()), 200 * 30);
}

TEST(PaletteSharing, FramesShareWhenNinetyPercentOfTheirCubeColoursAreInTheSource) {
  // Source with 10 cube colours (reds 0, 51, ... in two rows); a frame using 9 of them plus
  // one foreign colour shares exactly 90 %: allowed. With 8 of 10: refused.
  FastBitmap source(10, 2);
  FastBitmap nine(10, 2);
  FastBitmap eight(10, 2);
  for (int x = 0; x < 10; ++x) {
    const Color c = rgb(static_cast<std::uint8_t>(51 * (x % 6)), static_cast<std::uint8_t>(x < 6 ? 0 : 51), 0);
    for (int y = 0; y < 2; ++y) {
      source.setPixel(x, y, c);
      nine.setPixel(x, y, x == 9 ? kBlue : c);
      eight.setPixel(x, y, x >= 8 ? (x == 8 ? kBlue : kWhite) : c);
    }
  }
  EXPECT_TRUE(isUsePalette(std::vector<FastBitmap>{source, nine}, 0));
  EXPECT_FALSE(isUsePalette(std::vector<FastBitmap>{source, eight}, 0));
  // Colours that fall into the same cube cell count as one: 205 snaps to 204.
  FastBitmap near = source;
  near.setPixel(4, 0, rgb(205, 0, 0));
  near.setPixel(4, 1, rgb(205, 0, 0));
  EXPECT_TRUE(isUsePalette(std::vector<FastBitmap>{source, near}, 0));
  EXPECT_FALSE(isUsePalette(std::vector<FastBitmap>{source, FastBitmap()}, 0));
}

// The decision as the scratch-image procedure takes it: each frame assigned to a fresh
// image (web-cube reduction, nearest colour), its colour tables merged, and the merged
// colours compared with the source frame's.
bool isUsePaletteByScratchImage(const std::vector<FastBitmap>& frames, int source) {
  auto mergedColors = [](const FastBitmap& bitmap) {
    gif::GifImage scratch;
    scratch.assign(bitmap);
    gif::mergeColorTables(scratch);
    std::vector<Color> colors;
    for (int i = 0; i < scratch.globalTable().count(); ++i) colors.push_back(scratch.globalTable().entryColor(i));
    return colors;
  };
  const std::vector<Color> sourceList = mergedColors(frames[static_cast<std::size_t>(source)]);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (static_cast<int>(i) == source) continue;
    const std::vector<Color> colors = mergedColors(frames[i]);
    const auto found = std::count_if(colors.begin(), colors.end(), [&](Color c) {
      return std::find(sourceList.begin(), sourceList.end(), c) != sourceList.end();
    });
    if (static_cast<double>(found) / static_cast<double>(colors.size()) < 0.9) return false;
  }
  return true;
}

TEST(PaletteSharing, AgreesWithTheScratchImageProcedureOnRandomFrames) {
  std::mt19937 rng(7);
  int shared = 0;
  for (int round = 0; round < 60; ++round) {
    // Frames drawn from a small pool of colours, so that sharing is sometimes allowed and
    // sometimes refused; the pool includes near-duplicates that fall into one cube cell.
    std::vector<Color> pool;
    for (int k = 0; k < 12; ++k)
      pool.push_back(rgb(static_cast<std::uint8_t>(rng() % 256), static_cast<std::uint8_t>(rng() % 256),
                         static_cast<std::uint8_t>(rng() % 256)));
    std::vector<FastBitmap> frames;
    for (int f = 0; f < 3; ++f) {
      FastBitmap b(16, 4);
      const int used = 3 + static_cast<int>(rng() % 10);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) b.setPixel(x, y, pool[rng() % static_cast<unsigned>(used)]);
      frames.push_back(b);
    }
    const int source = paletteSourceFrame(frames);
    const bool expected = isUsePaletteByScratchImage(frames, source);
    EXPECT_EQ(isUsePalette(frames, source), expected) << "round " << round;
    shared += expected ? 1 : 0;
  }
  // Both answers occurred, so the comparison covered both sides of the 90 % line.
  EXPECT_GT(shared, 0);
  EXPECT_LT(shared, 60);
}

TEST(CreateGif, SharedPaletteDecisionIsReported) {
  ExportSettings s = windows256();
  const auto alike = exportFrames({split(kRed, kBlue, 10), split(kRed, kBlue, 20)}, {100, 100}, s);
  EXPECT_TRUE(alike.report.sharedPalette);
  const auto apart = exportFrames({split(kRed, kBlue, 10), split(kGreen, kWhite, 20)}, {100, 100}, s);
  EXPECT_FALSE(apart.report.sharedPalette);
}

TEST(CreateGif, GrayscaleGivesTheSameGreyToTheSameColourInEveryFrame) {
  // Frame 1 is the palette source; frame 2 uses a subset of its colours, so the frames
  // share. Red must become grey (77 * 255) >> 8 = 76 in both frames, never black.
  ExportSettings s = windows256();
  s.paletteKind = model::PaletteKind::Grayscale;
  s.transparent = true;  // keeps the optimiser (and its appended black entry) out
  s.transparentColor = kWhite;
  FastBitmap source = split(kRed, kWhite, 10);
  source.setPixel(kW - 1, 0, kGreen);
  gif::GifImage image;
  const ExportReport report = assembleGif({source, split(kRed, kWhite, 20)}, {100, 100}, false, s, image);
  EXPECT_TRUE(report.sharedPalette);
  std::vector<Color> table;
  for (int i = 0; i < image.globalTable().count(); ++i) table.push_back(image.globalTable().entryColor(i));
  std::sort(table.begin(), table.end());
  EXPECT_EQ(table, (std::vector<Color>{rgb(76, 76, 76), rgb(149, 149, 149), rgb(255, 255, 255)}));
}

TEST(CreateGif, RendersEveryFrameOnceInOrderAndReportsProgress) {
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  project->frameCount = 3;
  for (int i = 1; i <= 3; ++i) {
    project->frame(i) = project->frame(1);
    project->frame(i).width = kW;
    project->frame(i).height = kH;
    project->frame(i).delayMs = static_cast<std::int16_t>(100 * i);
  }
  std::vector<int> rendered;
  std::vector<std::pair<ExportStage, int>> steps;
  gif::GifImage image;
  createGif(
      *project, windows256(),
      [&](int frame) {
        rendered.push_back(frame);
        return split(kRed, kBlue, 10 * frame);
      },
      image, [&](ExportStage stage, int frame, int count) {
        EXPECT_EQ(count, 3);
        steps.emplace_back(stage, frame);
      });
  EXPECT_EQ(rendered, (std::vector<int>{1, 2, 3}));
  const std::vector<std::pair<ExportStage, int>> expectedSteps{
      {ExportStage::Rendering, 1},  {ExportStage::Rendering, 2},  {ExportStage::Rendering, 3},
      {ExportStage::Assembling, 1}, {ExportStage::Assembling, 2}, {ExportStage::Assembling, 3}};
  EXPECT_EQ(steps, expectedSteps);
  EXPECT_EQ(image.width(), kW);

  // A renderer that hands back the wrong size is an error, not a garbled GIF.
  EXPECT_THROW(createGif(*project, windows256(), [](int) { return FastBitmap(3, 3); }, image), std::runtime_error);
}

TEST(ExportSettings, MappingOfPaletteKindColourCountAndDither) {
  EXPECT_EQ(reductionModeFor(model::PaletteKind::Windows), gif::ReductionMode::Octree);
  EXPECT_EQ(reductionModeFor(model::PaletteKind::Netscape), gif::ReductionMode::NetscapeCube);
  EXPECT_EQ(reductionModeFor(model::PaletteKind::Grayscale), gif::ReductionMode::Gray256);
  EXPECT_EQ(reductionModeFor(static_cast<model::PaletteKind>(7)), gif::ReductionMode::Octree);
  const int bits[] = {8, 3, 4, 5, 6, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(reductionBitsFor(static_cast<std::uint8_t>(i)), bits[i]);
  EXPECT_EQ(reductionBitsFor(9), 8);
  EXPECT_EQ(model::colorCountIndexOf(64), 4);
  EXPECT_EQ(model::colorCountIndexOf(100), -1);

  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  project->frameCount = 2;
  project->frame(2) = project->frame(1);
  EXPECT_EQ(ditherKindFor(*project), gif::DitherKind::Nearest);
  project->frame(2).gradientOn = 1;
  EXPECT_EQ(ditherKindFor(*project), gif::DitherKind::FloydSteinberg);
  project->frameCount = 1;  // frames past the count do not count
  EXPECT_EQ(ditherKindFor(*project), gif::DitherKind::Nearest);
}

}  // namespace
}  // namespace zefra::exporter
