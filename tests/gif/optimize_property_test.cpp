// Property: optimising an animation never changes what a viewer sees. Random animations
// are built the way the export builds them (24-bit frames, merged tables, one graphic
// control extension per frame), optimised with the export's two passes, and played back
// with their disposal methods; the optimised file must also decode with giflib to the
// same pictures.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "gif/color_table_merge.h"
#include "gif/frame_optimizer.h"
#include "merge_test_support.h"
#include "optimize_playback.h"
#include "raster/fast_bitmap.h"

#ifdef ZEFRA_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace zefra::gif {
namespace {

using testing::kNothing;
using testing::Picture;
using testing::PlayFrame;
using testing::playTimeline;

const OptimizeOptions kExportFirstPass{OptimizeOption::TrimBorders, OptimizeOption::DiffFrames, OptimizeOption::Tidy,
                                       OptimizeOption::SortColorTables, OptimizeOption::Reduce};
const OptimizeOptions kExportSecondPass{OptimizeOption::TrimBorders, OptimizeOption::Tidy, OptimizeOption::SortColorTables,
                                        OptimizeOption::Reduce};

struct Animation {
  std::unique_ptr<GifImage> image;
  std::vector<Picture> timeline;
};

// A scene that changes a few random rectangles per frame; each frame shows the scene, either
// whole or cut to a random rectangle. `exportLike` keeps every frame whole with plain disposal
// (what the export produces); otherwise disposal methods and placements are random too.
Animation randomAnimation(std::mt19937& rng, bool exportLike) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int w = pick(4, 40);
  const int h = pick(3, 24);
  std::vector<Color> colours;
  const int colourCount = pick(2, 12);
  for (int i = 0; i < colourCount; ++i) colours.push_back(rng() & 0xFFFFFF);
  raster::FastBitmap scene(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) scene.setPixel(x, y, colours[static_cast<std::size_t>(pick(0, colourCount - 1))]);

  Animation a;
  a.image = std::make_unique<GifImage>();
  GifImage& image = *a.image;
  image.reductionMode = ReductionMode::None;
  const int frames = pick(2, 7);
  for (int f = 0; f < frames; ++f) {
    if (f > 0) {
      const int changes = pick(0, 3);
      for (int c = 0; c < changes; ++c) {
        const int x0 = pick(0, w - 1), y0 = pick(0, h - 1);
        const int x1 = pick(x0, w - 1), y1 = pick(y0, h - 1);
        const Color colour = colours[static_cast<std::size_t>(pick(0, colourCount - 1))];
        for (int y = y0; y <= y1; ++y)
          for (int x = x0; x <= x1; ++x) scene.setPixel(x, y, colour);
      }
    }
    int left = 0, top = 0, fw = w, fh = h;
    if (!exportLike && f > 0 && pick(0, 2) == 0) {
      left = pick(0, w - 1);
      top = pick(0, h - 1);
      fw = pick(1, w - left);
      fh = pick(1, h - top);
    }
    raster::FastBitmap part(fw, fh);
    for (int y = 0; y < fh; ++y)
      for (int x = 0; x < fw; ++x) part.setPixel(x, y, scene.pixel(left + x, top + y));
    const int index = image.addFrame(part);
    image.frames()[index].setPlacement(left, top, fw, fh);
    mergeColorTables(image);
  }
  for (int f = 0; f < frames; ++f) {
    Disposal d = Disposal::Unspecified;
    if (!exportLike) d = static_cast<Disposal>(pick(0, 5) > 3 ? pick(1, 3) : pick(0, 1));
    testing::addControl(image.frames()[f], pick(1, 4), d);
  }
  image.releaseCaches();
  a.timeline = playTimeline(image);
  return a;
}

// One frame has no timing left to compare: it must show the one picture of the reference.
void expectSameShow(const std::vector<Picture>& reference, const std::vector<Picture>& actual, int frameCount) {
  if (frameCount == 1) {
    ASSERT_FALSE(actual.empty());
    for (const Picture& p : reference) ASSERT_EQ(p, actual.front());
  } else {
    ASSERT_EQ(actual.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(actual[i], reference[i]) << "at " << i << " cs";
  }
}

// A one-frame image may lose its control extension (and so its delay); play it for 1 cs.
std::vector<Picture> timelineForComparison(const GifImage& image) {
  auto frames = testing::playFramesOf(image);
  if (frames.size() == 1 && frames[0].delayCs == 0) frames[0].delayCs = 1;
  return playTimeline(image.width(), image.height(), frames);
}

#ifdef ZEFRA_HAVE_GIFLIB
struct ByteReader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t pos = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int n) {
  auto* r = static_cast<ByteReader*>(gif->UserData);
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(n), r->bytes->size() - r->pos);
  std::memcpy(out, r->bytes->data() + r->pos, count);
  r->pos += count;
  return static_cast<int>(count);
}

std::vector<Picture> giflibTimeline(const std::vector<std::uint8_t>& bytes, int& frameCount) {
  ByteReader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, readBytes, &error);
  EXPECT_NE(gif, nullptr) << GifErrorString(error);
  if (!gif) return {};
  EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
  std::vector<PlayFrame> frames;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& img = gif->SavedImages[i];
    GraphicsControlBlock gcb;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
    PlayFrame p;
    p.left = img.ImageDesc.Left;
    p.top = img.ImageDesc.Top;
    p.width = img.ImageDesc.Width;
    p.height = img.ImageDesc.Height;
    p.delayCs = gcb.DelayTime;
    p.disposal = static_cast<Disposal>(gcb.DisposalMode);
    for (int k = 0; k < p.width * p.height; ++k) {
      const int index = img.RasterBits[k];
      if (index == gcb.TransparentColor) {
        p.pixels.push_back(kNothing);
      } else {
        const GifColorType c = map->Colors[index];
        p.pixels.push_back(rgb(c.Red, c.Green, c.Blue));
      }
    }
    frames.push_back(std::move(p));
  }
  frameCount = gif->ImageCount;
  if (frames.size() == 1 && frames[0].delayCs == 0) frames[0].delayCs = 1;
  auto timeline = playTimeline(gif->SWidth, gif->SHeight, frames);
  DGifCloseFile(gif, &error);
  return timeline;
}
#endif

void checkRandomAnimations(bool exportLike, unsigned seed) {
  std::mt19937 rng(seed);
  int shrunk = 0;
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Animation a = randomAnimation(rng, exportLike);
    GifImage& image = *a.image;
    const int before = image.frames().count();
    optimizeFrames(image, kExportFirstPass);
    optimizeFrames(image, kExportSecondPass);
    if (image.frames().count() < before) ++shrunk;
    expectSameShow(a.timeline, timelineForComparison(image), image.frames().count());
#ifdef ZEFRA_HAVE_GIFLIB
    int decodedFrames = 0;
    const auto decoded = giflibTimeline(image.saveToBytes(), decodedFrames);
    EXPECT_EQ(decodedFrames, image.frames().count());
    expectSameShow(a.timeline, decoded, decodedFrames);
#endif
  }
  // The generator must actually produce work for the optimiser, or this test proves little.
  EXPECT_GT(shrunk, 10);
}

TEST(OptimizePropertyTest, ExportLikeAnimationsLookTheSameAfterOptimising) { checkRandomAnimations(true, 2024); }

TEST(OptimizePropertyTest, AnimationsWithAnyDisposalAndPlacementLookTheSame) { checkRandomAnimations(false, 77); }

}  // namespace
}  // namespace zefra::gif
