// Frames that share the palette of the most colourful frame: what they are reduced to,
// and that identical frames come out identical whatever palette and colour count is chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "export/animation_export.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "gif/optimize_playback.h"
#include "colour/palettes.h"
#include "colour/octree.h"

namespace zefra::exporter {
namespace {

using gif::testing::PlayFrame;
using gif::testing::Picture;
using raster::FastBitmap;

struct Played {
  ExportReport report;
  std::vector<Picture> shown;  // the screen after each image of the file is drawn
  std::vector<int> delaysCs;
  // 256 colours and no transparent frame: no table slot was free to mask repeated pixels.
  bool fullTable = false;
};

// Exports the frames, reads the written bytes back and plays them image by image.
Played exportAndPlay(const std::vector<FastBitmap>& frames, const std::vector<int>& delaysMs, bool anyGradient,
                     const ExportSettings& settings) {
  Played p;
  gif::GifImage image;
  p.report = assembleGif(frames, delaysMs, anyGradient, settings, image);
  gif::GifImage back;
  back.loadFromBytes(image.saveToBytes());
  p.fullTable = back.globalTable().count() == 256;
  for (const auto& f : back.frames()) p.fullTable = p.fullTable && !f->hasTransparency;
  const int w = back.width();
  const int h = back.height();
  Picture canvas(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), gif::testing::kNothing);
  for (const PlayFrame& f : gif::testing::playFramesOf(back)) {
    const Picture before = canvas;
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        const Color c = f.pixels[static_cast<std::size_t>(y * f.width + x)];
        if (c != gif::testing::kNothing) canvas[static_cast<std::size_t>((f.top + y) * w + f.left + x)] = c;
      }
    p.shown.push_back(canvas);
    p.delaysCs.push_back(f.delayCs);
    if (f.disposal == gif::Disposal::RestoreBackground) {
      for (int y = f.top; y < f.top + f.height; ++y)
        for (int x = f.left; x < f.left + f.width; ++x) canvas[static_cast<std::size_t>(y * w + x)] = gif::testing::kNothing;
    } else if (f.disposal == gif::Disposal::RestorePrevious) {
      canvas = before;
    }
  }
  return p;
}

// The entry with the smallest sum of channel differences, the first on a tie.
Color nearest(const colour::Palette& palette, Color c) {
  Color best = palette.front();
  int bestScore = 1 << 30;
  for (Color e : palette) {
    const int score = std::abs(redOf(e) - redOf(c)) + std::abs(greenOf(e) - greenOf(c)) + std::abs(blueOf(e) - blueOf(c));
    if (score < bestScore) {
      bestScore = score;
      best = e;
    }
  }
  return best;
}

void fillRect(FastBitmap& b, int x0, int y0, int x1, int y1, Color c) {
  for (int y = std::max(0, y0); y < std::min(b.height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(b.width(), x1); ++x) b.setPixel(x, y, c);
}

// Frames 2..n are reduced with the source frame's palette: every pixel takes the nearest of
// the colours the octree found for the source, never a colour outside them. The source
// has a few dark pixels that the octree folds into a brighter colour at 8 colours; black
// is therefore nearer to them than any palette colour, but black is not a colour the
// source was reduced to.
TEST(SharedPalette, LaterFramesTakeTheNearestSourceColourAndNothingElse) {
  // Eight blocks in the eight corners of the colour cube's upper and lower halves; in the
  // first block a few dark pixels. At 8 colours the octree folds the dark colour into the
  // block's colour (they part only at the third bit), so black, which the palette lacks,
  // is nearer to them than any palette colour. Every colour lies on a multiple of 8, so
  // each 5-bit lookup cell holds one colour and the cell cache answers exactly the nearest.
  const Color dark = rgb(24, 24, 24);
  FastBitmap source(64, 16);
  for (int block = 0; block < 8; ++block) {
    const Color c = rgb(block & 1 ? 200 : 56, block & 2 ? 200 : 56, block & 4 ? 200 : 56);
    fillRect(source, block * 8, 0, block * 8 + 8, 16, c);
  }
  fillRect(source, 0, 0, 2, 1, dark);
  FastBitmap later = source;  // the same colours, mirrored, with more of the dark one
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) later.setPixel(x, y, source.pixel(63 - x, 15 - y));
  fillRect(later, 20, 4, 30, 12, dark);

  ExportSettings s;
  s.paletteKind = model::PaletteKind::Windows;
  s.colorCountIndex = 1;  // 8 colours
  const colour::Palette palette = colour::octreePaletteOf(source, 8, 8, false);
  ASSERT_EQ(std::count(palette.begin(), palette.end(), rgb(0, 0, 0)), 0);
  const auto distance = [](Color x, Color y) {
    return std::abs(redOf(x) - redOf(y)) + std::abs(greenOf(x) - greenOf(y)) + std::abs(blueOf(x) - blueOf(y));
  };
  ASSERT_LT(distance(dark, rgb(0, 0, 0)), distance(dark, nearest(palette, dark)));

  const Played p = exportAndPlay({source, later}, {100, 100}, false, s);
  ASSERT_TRUE(p.report.sharedPalette);
  ASSERT_EQ(p.report.paletteSourceFrame, 1);
  ASSERT_EQ(p.shown.size(), 2u);
  int wrong = 0;
  for (int i = 0; i < 2; ++i) {
    const FastBitmap& frame = i == 0 ? source : later;
    for (int y = 0; y < frame.height(); ++y)
      for (int x = 0; x < frame.width(); ++x) {
        const Color got = p.shown[static_cast<std::size_t>(i)][static_cast<std::size_t>(y * frame.width() + x)];
        wrong += got != nearest(palette, frame.pixel(x, y));
      }
  }
  EXPECT_EQ(wrong, 0);
}

// Frames of one made-up project: a rich background (ramps running through dark and bright
// colours) with a few shapes, and "looks" that move one shape, so that the looks share
// their colours and the palette is shared.
struct RandomProject {
  std::vector<FastBitmap> looks;
  std::vector<int> sequence;  // look of each frame
  std::vector<int> delaysMs;
};

RandomProject randomProject(std::mt19937& rng) {
  const int w = 48 + static_cast<int>(rng() % 24);
  const int h = 16 + static_cast<int>(rng() % 12);
  auto channel = [&] { return static_cast<std::uint8_t>(rng() % 256); };
  FastBitmap base(w, h);
  const Color a = rgb(channel(), channel(), channel());
  const Color b = rgb(channel(), channel(), channel());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int t = (x * 255) / (w - 1);
      const int u = (y * 255) / (h - 1);
      base.setPixel(x, y, rgb(static_cast<std::uint8_t>((redOf(a) * (255 - t) + redOf(b) * t) / 255),
                              static_cast<std::uint8_t>((greenOf(a) * (255 - u) + greenOf(b) * u) / 255),
                              static_cast<std::uint8_t>((blueOf(a) + x * 3 + y * 5) % 256)));
    }
  std::vector<Color> shapes;
  for (int k = 0; k < 4; ++k) {
    const Color c = rgb(channel(), channel(), channel());
    shapes.push_back(c);
    const int x = static_cast<int>(rng() % static_cast<unsigned>(w));
    const int y = static_cast<int>(rng() % static_cast<unsigned>(h));
    fillRect(base, x, y, x + 3 + static_cast<int>(rng() % 12), y + 2 + static_cast<int>(rng() % 8), c);
  }
  RandomProject p;
  const int lookCount = 2 + static_cast<int>(rng() % 2);
  for (int k = 0; k < lookCount; ++k) {
    FastBitmap look = base;
    const int x = static_cast<int>(rng() % static_cast<unsigned>(w - 8));
    const int y = static_cast<int>(rng() % static_cast<unsigned>(h - 6));
    fillRect(look, x, y, x + 8, y + 6, shapes[static_cast<std::size_t>(k) % shapes.size()]);
    fillRect(look, k * 3, 0, k * 3 + 3, 2, rgb(0, 0, 0));  // every look differs from every other
    p.looks.push_back(look);
  }
  // Every look appears at least twice, and some frame repeats the one before it.
  const int frames = lookCount + static_cast<int>(rng() % 5);
  for (int i = 0; i < frames; ++i) p.sequence.push_back(static_cast<int>(rng() % static_cast<unsigned>(lookCount)));
  for (int look = 0; look < lookCount; ++look)
    while (std::count(p.sequence.begin(), p.sequence.end(), look) < 2)
      p.sequence.insert(p.sequence.begin() + static_cast<std::ptrdiff_t>(rng() % (p.sequence.size() + 1)), look);
  bool backToBack = false;
  for (std::size_t i = 1; i < p.sequence.size(); ++i) backToBack = backToBack || p.sequence[i] == p.sequence[i - 1];
  if (!backToBack) p.sequence.push_back(p.sequence.back());
  for (std::size_t i = 0; i < p.sequence.size(); ++i) p.delaysMs.push_back(50 + 10 * static_cast<int>(rng() % 30));
  return p;
}

std::string settingName(const ExportSettings& s, bool gradient) {
  static const char* const kinds[] = {"Windows", "Netscape", "Grayscale"};
  static const char* const counts[] = {"256", "8", "16", "32", "64", "128"};
  return std::string(kinds[static_cast<int>(s.paletteKind)]) + " " + counts[s.colorCountIndex] +
         (gradient ? " dithered" : " nearest");
}

TEST(SharedPalette, IdenticalFramesExportIdenticallyAndCollapseInEveryPaletteAndColourCount) {
  std::vector<ExportSettings> settings;
  for (model::PaletteKind kind : {model::PaletteKind::Windows, model::PaletteKind::Netscape, model::PaletteKind::Grayscale})
    for (std::uint8_t count = 0; count < 6; ++count) {
      ExportSettings s;
      s.paletteKind = kind;
      s.colorCountIndex = count;
      settings.push_back(s);
    }
  std::mt19937 rng(1704);
  int sharedRuns = 0;
  int runs = 0;
  int collapsing = 0;
  for (int project = 0; project < 10; ++project) {
    const RandomProject p = randomProject(rng);
    std::vector<FastBitmap> frames;
    for (int look : p.sequence) frames.push_back(p.looks[static_cast<std::size_t>(look)]);
    // Back-to-back repeats collapse into one image that shows for their summed time.
    std::vector<int> runLook;
    std::vector<int> runDelay;
    for (std::size_t i = 0; i < p.sequence.size(); ++i) {
      const int cs = delayCentiseconds(p.delaysMs[i]);
      if (i > 0 && p.sequence[i] == p.sequence[i - 1]) {
        runDelay.back() += cs;
      } else {
        runLook.push_back(p.sequence[i]);
        runDelay.push_back(cs);
      }
    }
    for (const ExportSettings& s : settings)
      for (bool gradient : {false, true}) {
        const std::string name = "project " + std::to_string(project) + ", " + settingName(s, gradient);
        const Played played = exportAndPlay(frames, p.delaysMs, gradient, s);
        ++runs;
        sharedRuns += played.report.sharedPalette ? 1 : 0;
        // Repeats collapse only when the colour table has a slot for the transparent
        // index; a full table keeps every frame.
        const std::vector<int>& looks = played.fullTable ? p.sequence : runLook;
        std::vector<int> delays = runDelay;
        if (played.fullTable) {
          delays.clear();
          for (int ms : p.delaysMs) delays.push_back(delayCentiseconds(ms));
        } else {
          ++collapsing;
        }
        if (played.shown.size() != looks.size()) {
          ADD_FAILURE() << name << ": " << played.shown.size() << " images instead of " << looks.size();
          continue;
        }
        EXPECT_EQ(played.delaysCs, delays) << name;
        // Wherever a look comes back, it shows exactly as it did the first time.
        for (std::size_t k = 0; k < looks.size(); ++k) {
          for (std::size_t j = 0; j < k; ++j) {
            if (looks[j] == looks[k]) {
              EXPECT_TRUE(played.shown[j] == played.shown[k]) << name << ": image " << k << " differs from image " << j;
            }
          }
        }
      }
  }
  // The shared palette was taken often enough for the property to speak about it.
  EXPECT_GT(sharedRuns, runs / 4);
  EXPECT_GT(collapsing, runs / 2);
}

}  // namespace
}  // namespace zefra::exporter
