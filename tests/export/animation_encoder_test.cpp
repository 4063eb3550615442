// The standard export: what a viewer plays back is exactly what was rendered (exact colours
// when they fit), transparency means exactly the chosen colour, every setting keeps its
// meaning, and frames are drawn in one streaming pass after the colour survey.
#include "export/animation_encoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "export/export_settings.h"
#include "export/project_renderer.h"
#include "export_gif_walker.h"
#include "export_peer_decoders.h"
#include "gif/gif_image.h"
#include "gif/optimize_playback.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {
namespace {

using gif::testing::kNothing;
using gif::testing::Picture;
using raster::FastBitmap;
using testing::walkGif;

struct Clip {
  std::vector<FastBitmap> frames;
  std::vector<int> delaysMs;
};

gif::GifImage& encode(const Clip& clip, const ExportSettings& settings, gif::GifImage& image,
                      EncodeReport* details = nullptr) {
  encodeAnimation(static_cast<int>(clip.frames.size()), clip.frames[0].width(), clip.frames[0].height(),
                  [&](int i) { return clip.frames[static_cast<std::size_t>(i - 1)]; }, clip.delaysMs, settings, image,
                  {}, details);
  return image;
}

// The picture a viewer must see for a rendered frame: the chosen colour is transparent.
Picture expectedPicture(const FastBitmap& frame, const ExportSettings& s) {
  Picture p;
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) {
      const Color c = frame.pixel(x, y);
      p.push_back(s.transparent && c == (s.transparentColor & 0xFFFFFF) ? kNothing : c);
    }
  return p;
}

// Everything a viewer shows, one picture per hundredth, playing the animation `rounds` times.
std::vector<Picture> playedTimeline(const gif::GifImage& image, int rounds) {
  auto once = gif::testing::playFramesOf(image);
  if (once.size() == 1 && once[0].delayCs == 0) once[0].delayCs = 1;
  std::vector<gif::testing::PlayFrame> frames;
  for (int r = 0; r < rounds; ++r) frames.insert(frames.end(), once.begin(), once.end());
  return gif::testing::playTimeline(image.width(), image.height(), frames);
}

std::vector<Picture> expectedTimeline(const Clip& clip, const ExportSettings& s, int rounds) {
  std::vector<Picture> out;
  for (int r = 0; r < rounds; ++r)
    for (std::size_t i = 0; i < clip.frames.size(); ++i) {
      const Picture p = expectedPicture(clip.frames[i], s);
      const int cs = std::max(delayCentiseconds(clip.delaysMs[i]), clip.frames.size() == 1 ? 1 : 0);
      for (int k = 0; k < cs; ++k) out.push_back(p);
    }
  return out;
}

// Frames that all look alike collapse into one still frame, which has no timing left.
void expectSameShow(const std::vector<Picture>& played, const std::vector<Picture>& expected, int gifFrames) {
  if (gifFrames == 1) {
    ASSERT_FALSE(played.empty());
    for (const Picture& p : expected) ASSERT_EQ(p, played.front());
  } else {
    ASSERT_EQ(played, expected);
  }
}

// A scene of at most 12 colours in which random rectangles change from frame to frame;
// some frames repeat the one before. Colours all fit the palette, so playback must give
// back the frames exactly.
Clip randomClip(std::mt19937& rng, std::vector<Color>& colours) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int w = pick(3, 48), h = pick(2, 20);
  colours.clear();
  for (int i = pick(2, 12); i > 0; --i) colours.push_back(rng() & 0xFFFFFF);
  FastBitmap scene(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) scene.setPixel(x, y, colours[static_cast<std::size_t>(pick(0, int(colours.size()) - 1))]);
  Clip clip;
  for (int f = pick(1, 7); f > 0; --f) {
    for (int c = pick(0, 3); c > 0; --c) {
      const int x0 = pick(0, w - 1), y0 = pick(0, h - 1), x1 = pick(x0, w - 1), y1 = pick(y0, h - 1);
      const Color colour = colours[static_cast<std::size_t>(pick(0, int(colours.size()) - 1))];
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) scene.setPixel(x, y, colour);
    }
    clip.frames.push_back(scene);
    clip.delaysMs.push_back(10 * pick(1, 8));
  }
  return clip;
}

TEST(AnimationEncoderTest, OptimisedFramesPlayBackExactlyToTheRenderedOnes) {
  std::mt19937 rng(1508);
  int partial = 0, masked = 0, merged = 0, cleared = 0;
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<Color> colours;
    const Clip clip = randomClip(rng, colours);
    ExportSettings s;
    s.transparent = round % 2 == 1;
    s.transparentColor = colours[rng() % colours.size()];
    s.loop = true;
    gif::GifImage image;
    encode(clip, s, image);
    // Played twice: the way back to the first frame must show it exactly too.
    expectSameShow(playedTimeline(image, 2), expectedTimeline(clip, s, 2), image.frames().count());

    // The file's bytes, read back, play the same.
    gif::GifImage reread;
    reread.loadFromBytes(image.saveToBytes());
    expectSameShow(playedTimeline(reread, 2), expectedTimeline(clip, s, 2), reread.frames().count());

    for (const auto& frame : image.frames()) {
      partial += frame->width() < image.width() || frame->height() < image.height();
      masked += frame->hasTransparency && !s.transparent;
      cleared += frame->graphicControl && frame->graphicControl->disposal() == gif::Disposal::RestoreBackground;
    }
    merged += image.frames().count() < static_cast<int>(clip.frames.size());
  }
  // The generator must give every part of the packing work to do.
  EXPECT_GT(partial, 20);
  EXPECT_GT(masked, 5);
  EXPECT_GT(merged, 10);
  EXPECT_GT(cleared, 5);
}

TEST(AnimationEncoderTest, FramesWithColoursOfTheirOwnGetTheirOwnTable) {
  // Four frames of 200 random colours each: no shared table holds them, each frame's own
  // does exactly, so playback gives back every frame exactly.
  std::mt19937 rng(77);
  Clip clip;
  for (int f = 0; f < 4; ++f) {
    std::vector<Color> colours;
    for (int k = 0; k < 200; ++k) colours.push_back(rng() & 0xFFFFFF);
    FastBitmap b(40, 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 40; ++x) b.setPixel(x, y, colours[static_cast<std::size_t>((x * 7 + y * 13) % 200)]);
    clip.frames.push_back(b);
    clip.delaysMs.push_back(100);
  }
  for (bool transparent : {false, true}) {
    ExportSettings s;
    s.transparent = transparent;
    s.transparentColor = clip.frames[2].pixel(0, 0);
    gif::GifImage image;
    EncodeReport details;
    encode(clip, s, image, &details);
    EXPECT_GE(details.localTables, 3);
    expectSameShow(playedTimeline(image, 2), expectedTimeline(clip, s, 2), image.frames().count());
    gif::GifImage reread;
    reread.loadFromBytes(image.saveToBytes());
    expectSameShow(playedTimeline(reread, 2), expectedTimeline(clip, s, 2), reread.frames().count());
  }
}

TEST(AnimationEncoderTest, ColoursBeyondThePaletteStayNearAndUnchangedPixelsKeepTheirIndex) {
  // A smooth, slightly noisy picture of thousands of colours; in the second frame a small
  // square changes, the third repeats the second.
  std::mt19937 rng(5);
  FastBitmap first(120, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      auto ch = [&](int v) { return static_cast<std::uint8_t>(std::clamp(v + static_cast<int>(rng() % 9) - 4, 0, 255)); };
      first.setPixel(x, y, rgb(ch(2 * x), ch(6 * y), ch(255 - x - 2 * y)));
    }
  FastBitmap second = first;
  for (int y = 10; y < 20; ++y)
    for (int x = 30; x < 40; ++x) second.setPixel(x, y, rgb(250, 20, 20));
  Clip clip{{first, second, second}, {100, 100, 100}};
  gif::GifImage image;
  encode(clip, ExportSettings{}, image);

  // Only the square is written again: the pixels right of it, though their left neighbours
  // changed, show what they showed before.
  ASSERT_EQ(image.frames().count(), 2);
  const auto& changed = image.frames()[1];
  EXPECT_GE(changed.left(), 30);
  EXPECT_GE(changed.top(), 10);
  EXPECT_LE(changed.left() + changed.width(), 40);
  EXPECT_LE(changed.top() + changed.height(), 20);

  // Every pixel is within twice its nearest entry's error (or a level or so of it), and
  // preferring the left neighbour's entry gives fewer changes of index along the rows than
  // taking each pixel's nearest entry.
  colour::Palette table;
  for (int i = 0; i < image.globalTable().count(); ++i) {
    const auto& e = image.globalTable()[i];
    table.push_back(rgb(e.red, e.green, e.blue));
  }
  const auto shown = playedTimeline(image, 1);
  ASSERT_FALSE(shown.empty());
  const Picture& firstShown = shown.front();
  auto distance = [](Color a, Color b) {
    const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
    return dr * dr + dg * dg + db * db;
  };
  int shownChanges = 0, nearestChanges = 0;
  Color nearestLeft = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const Color c = first.pixel(x, y);
      Color nearest = table[0];
      for (const Color e : table)
        if (distance(e, c) < distance(nearest, c)) nearest = e;
      const Color got = firstShown[static_cast<std::size_t>(y * 120 + x)];
      ASSERT_LE(distance(got, c), distance(nearest, c) + std::max(distance(nearest, c), 3)) << x << "," << y;
      if (x > 0) {
        shownChanges += got != firstShown[static_cast<std::size_t>(y * 120 + x - 1)];
        nearestChanges += nearest != nearestLeft;
      }
      nearestLeft = nearest;
    }
  EXPECT_LT(shownChanges, nearestChanges * 9 / 10) << shownChanges << " vs " << nearestChanges;

  // Played back, the second frame is the first outside the square, and the square is the
  // red it was drawn in (one of the animation's heavy colours, so the palette holds it).
  const Picture& secondShown = shown.back();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const auto at = static_cast<std::size_t>(y * 120 + x);
      const bool inSquare = x >= 30 && x < 40 && y >= 10 && y < 20;
      ASSERT_EQ(secondShown[at], inSquare ? rgb(250, 20, 20) : firstShown[at]) << x << "," << y;
    }
}

TEST(AnimationEncoderTest, FramesWithinTheBudgetAreDrawnOnceAndLargerOnesTwiceInOrder) {
  Clip clip;
  for (int i = 0; i < 4; ++i) {
    clip.frames.emplace_back(10, 4);
    clip.frames.back().fill(rgb(static_cast<std::uint8_t>(40 * i), 0, 0));
    clip.delaysMs.push_back(100);
  }
  const auto encodeWith = [&](std::size_t budget, std::vector<int>& calls) {
    EncodeOptions options;
    options.frameMemoryBudget = budget;
    gif::GifImage image;
    encodeAnimation(4, 10, 4, [&](int i) { calls.push_back(i); return clip.frames[static_cast<std::size_t>(i - 1)]; },
                    clip.delaysMs, ExportSettings{}, image, {}, nullptr, options);
    return image.saveToBytes();
  };
  std::vector<int> once, twice;
  const std::vector<std::uint8_t> kept = encodeWith(4 * 10 * 4 * 3, once);  // exactly the four frames
  const std::vector<std::uint8_t> redrawn = encodeWith(4 * 10 * 4 * 3 - 1, twice);
  EXPECT_EQ(once, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(twice, (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4}));
  EXPECT_EQ(kept, redrawn);
  for (std::size_t budget : {std::size_t{0}, std::size_t{1} << 20}) {
    EncodeOptions options;
    options.frameMemoryBudget = budget;
    gif::GifImage image;
    EXPECT_THROW(encodeAnimation(2, 10, 5, [&](int) { return FastBitmap(10, 4); }, {100, 100}, ExportSettings{}, image,
                                 {}, nullptr, options),
                 std::runtime_error)
        << budget;
  }
}

TEST(AnimationEncoderTest, DrawingThreadsShareTheFramesAndStopOnAnError) {
  Clip clip;
  for (int i = 0; i < 24; ++i) {
    clip.frames.emplace_back(16, 8);
    clip.frames.back().fill(rgb(static_cast<std::uint8_t>(10 * i), static_cast<std::uint8_t>(255 - 10 * i), 7));
    clip.frames.back().setPixel(i % 16, i % 8, rgb(1, 2, 3));
    clip.delaysMs.push_back(50);
  }
  std::mutex lock;
  std::vector<int> drawn;
  int sourcesMade = 0;
  const auto draw = [&](int i) {
    std::lock_guard<std::mutex> guard(lock);
    drawn.push_back(i);
    return clip.frames[static_cast<std::size_t>(i - 1)];
  };
  EncodeOptions options;
  options.threads = 3;
  options.threadSource = [&]() -> FrameSource {
    ++sourcesMade;
    return draw;
  };
  gif::GifImage threaded;
  encodeAnimation(24, 16, 8, draw, clip.delaysMs, ExportSettings{}, threaded, {}, nullptr, options);
  std::sort(drawn.begin(), drawn.end());
  std::vector<int> each(24);
  std::iota(each.begin(), each.end(), 1);
  EXPECT_EQ(drawn, each);  // every frame once, whichever thread drew it
  EXPECT_LE(sourcesMade, 2);
  EncodeOptions single;
  single.threads = 1;
  gif::GifImage alone;
  encodeAnimation(24, 16, 8, draw, clip.delaysMs, ExportSettings{}, alone, {}, nullptr, single);
  EXPECT_EQ(threaded.saveToBytes(), alone.saveToBytes());

  // A failing frame, or a progress callback that cancels while frames are being mapped,
  // ends the export with that error; no thread is left behind.
  gif::GifImage failed;
  const FrameSource broken = [&](int i) { return i == 17 ? FastBitmap(3, 3) : draw(i); };
  EncodeOptions brokenEverywhere = options;
  brokenEverywhere.threadSource = [&] { return broken; };
  EXPECT_THROW(
      encodeAnimation(24, 16, 8, broken, clip.delaysMs, ExportSettings{}, failed, {}, nullptr, brokenEverywhere),
      std::runtime_error);
  struct Cancelled {};
  const ExportProgress cancel = [](ExportStage stage, int frame, int) {
    if (stage == ExportStage::Assembling && frame == 3) throw Cancelled{};
  };
  for (std::size_t budget : {std::size_t{0}, std::size_t{1} << 20}) {
    options.frameMemoryBudget = budget;
    EXPECT_THROW(encodeAnimation(24, 16, 8, draw, clip.delaysMs, ExportSettings{}, failed, cancel, nullptr, options),
                 Cancelled)
        << budget;
  }
}

TEST(AnimationEncoderTest, SettingsKeepTheirMeaning) {
  // A ramp of far more colours than any table holds, moving.
  Clip clip;
  for (int f = 0; f < 3; ++f) {
    FastBitmap b(120, 20);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 120; ++x)
        b.setPixel(x, y, rgb(static_cast<std::uint8_t>(2 * x + f), static_cast<std::uint8_t>(12 * y), static_cast<std::uint8_t>(255 - 2 * x)));
    clip.frames.push_back(b);
    clip.delaysMs.push_back(100);
  }
  for (std::uint8_t index = 0; index <= 5; ++index) {
    ExportSettings s;
    s.colorCountIndex = index;
    gif::GifImage image;
    encode(clip, s, image);
    EXPECT_LE(image.globalTable().count(), 1 << reductionBitsFor(index)) << int(index);
    EXPECT_GE(image.globalTable().count(), (1 << reductionBitsFor(index)) / 2) << int(index);
  }
  ExportSettings cube;
  cube.paletteKind = model::PaletteKind::Netscape;
  gif::GifImage cubeImage;
  encode(clip, cube, cubeImage);
  for (int i = 0; i < cubeImage.globalTable().count(); ++i) {
    const gif::Rgb c = cubeImage.globalTable()[i];
    EXPECT_TRUE(c.red % 51 == 0 && c.green % 51 == 0 && c.blue % 51 == 0) << i;
  }
  ExportSettings grey;
  grey.paletteKind = model::PaletteKind::Grayscale;
  gif::GifImage greyImage;
  encode(clip, grey, greyImage);
  for (int i = 0; i < greyImage.globalTable().count(); ++i) {
    const gif::Rgb c = greyImage.globalTable()[i];
    EXPECT_TRUE(c.red == c.green && c.green == c.blue) << i;
  }
  EXPECT_EQ(targetColorFor(model::PaletteKind::Grayscale, rgb(255, 255, 255)), rgb(255, 255, 255));
  EXPECT_EQ(targetColorFor(model::PaletteKind::Netscape, rgb(25, 26, 255)), rgb(0, 51, 255));
}

TEST(AnimationEncoderTest, LoopsAndLoneFramesAndRepeatsAreWrittenAsViewersExpect) {
  Clip clip;
  FastBitmap a(8, 8), b(8, 8);
  a.fill(rgb(200, 0, 0));
  b.fill(rgb(0, 200, 0));
  clip.frames = {a, a, b, b, b};
  clip.delaysMs = {100, 200, 300, 40, 60};
  for (bool loop : {true, false}) {
    ExportSettings s;
    s.loop = loop;
    gif::GifImage image;
    EncodeReport details;
    encode(clip, s, image, &details);
    const auto walked = walkGif(image.saveToBytes());
    ASSERT_EQ(walked.images.size(), 2u);
    EXPECT_EQ(details.framesWritten, 2);
    EXPECT_EQ(walked.images[0].gce()->delayCs, 30);  // 10 + 20
    EXPECT_EQ(walked.images[1].gce()->delayCs, 40);  // 30 + 4 + 6
    EXPECT_EQ(walked.images[0].loopCount().has_value(), loop);
  }
  // One frame: no loop, no control extension, the colours exact.
  Clip single;
  single.frames = {a};
  single.delaysMs = {100};
  gif::GifImage image;
  encode(single, ExportSettings{}, image);
  const auto walked = walkGif(image.saveToBytes());
  ASSERT_EQ(walked.images.size(), 1u);
  EXPECT_TRUE(walked.images[0].extensions.empty());
  EXPECT_EQ(walked.globalColor(0), rgb(200, 0, 0));
}

// Random banners built from every layer kind, exported transparent: in every frame, as
// giflib and Zefra's own reader compose it, exactly the pixels rendered in the chosen
// colour are transparent.
std::unique_ptr<model::LabelProject> randomBanner(std::mt19937& rng, ExportSettings& s) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto colour = [&]() { return static_cast<Color>(rng() & 0xFFFFFF); };
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->screenDpi = 96;
  p->settings.designDpi = 96;
  model::FrameRecord& f = p->frame(1);
  f.width = static_cast<std::int16_t>(pick(30, 200));
  f.height = static_cast<std::int16_t>(pick(12, 60));
  f.frameColor = colour();
  f.gradientOn = static_cast<std::uint8_t>(pick(0, 3) == 0);
  f.gradientColor1 = colour();
  f.gradientColor2 = colour();
  f.bordersOn = static_cast<std::uint8_t>(pick(0, 1));
  f.borderWidth = static_cast<std::uint8_t>(pick(0, 2));
  f.borderColor = colour();
  for (int k = 0; k < 3; ++k) {
    f.shapeStyle[k] = static_cast<std::uint8_t>(pick(0, 2));
    f.shapeY[k] = static_cast<std::int16_t>(pick(-5, f.height));
    f.shapeWidth[k] = static_cast<std::int16_t>(pick(4, 60));
    f.shapeHeight[k] = static_cast<std::int16_t>(pick(4, 30));
    f.shapeFillColor[k] = pick(0, 4) == 0 ? f.frameColor : colour();
    f.shapeBorderColor[k] = colour();
    f.shapeBorderWidth[k] = static_cast<std::uint8_t>(pick(0, 3));
  }
  if (pick(0, 1) == 1) {
    f.text[0].assign("Zefra");
    f.fontName[0].assign("DejaVu Sans");
    f.fontSize[0] = static_cast<std::uint8_t>(pick(8, 18));
    f.textY[0] = static_cast<std::int16_t>(pick(0, f.height / 3));
    f.textGradientColor1[0] = colour();
    f.textGradientColor2[0] = colour();
  }
  p->frameCount = static_cast<std::uint8_t>(pick(1, 6));
  for (int i = 1; i <= p->frameCount; ++i) {
    model::FrameRecord& r = p->frame(i);
    if (i > 1) r = f;
    r.delayMs = static_cast<std::int16_t>(10 * pick(3, 20));
    if (i > 1 && pick(0, 3) != 0) {
      for (int k = 0; k < 3; ++k) r.shapeX[k] = static_cast<std::int16_t>(pick(-10, f.width));
      r.textX[0] = static_cast<std::int16_t>(pick(0, f.width / 2));
      // A shape that goes away gives its pixels back to the transparent background.
      if (pick(0, 2) == 0) r.shapeStyle[pick(0, 2)] = 0;
    }
  }
  s.paletteKind = static_cast<model::PaletteKind>(pick(0, 2));
  s.colorCountIndex = static_cast<std::uint8_t>(pick(0, 5));
  s.transparent = true;
  s.transparentColor = f.frameColor;
  s.loop = pick(0, 3) != 0;
  return p;
}

// Clear are the pixels drawn in the transparent colour and those the same export without
// transparency shows in it (the palette entry equal to the colour).
TEST(AnimationEncoderTest, TransparentExportsClearExactlyThePixelsOfTheChosenColour) {
  std::mt19937 rng(20261208);
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("zefra_encoder_alpha_" + std::to_string(::getpid()) + ".gif");
  long transparentSeen = 0;
  for (int n = 0; n < 25; ++n) {
    SCOPED_TRACE("project " + std::to_string(n));
    ExportSettings s;
    auto project = randomBanner(rng, s);
    std::vector<FastBitmap> renders;
    {
      render::TextLayerRenderer texts(96);
      ProjectRenderer renderer(*project, &texts);
      for (int i = 1; i <= project->frameCount; ++i) renders.push_back(renderer.render(i));
    }
    gif::GifImage image;
    encodeProject(*project, s, [&](int i) { return renders[static_cast<std::size_t>(i - 1)]; }, image);
    const auto bytes = image.saveToBytes();
    ExportSettings opaqueSettings = s;
    opaqueSettings.transparent = false;
    gif::GifImage opaqueImage;
    encodeProject(*project, opaqueSettings, [&](int i) { return renders[static_cast<std::size_t>(i - 1)]; }, opaqueImage);
    const auto opaqueTimeline = playedTimeline(opaqueImage, 1);
    std::vector<std::vector<bool>> clearOf;  // per project frame, per pixel

    // Zefra's reader and player: each project frame at the moment it starts.
    gif::GifImage reread;
    reread.loadFromBytes(bytes);
    const auto timeline = playedTimeline(reread, 1);
    int start = 0;
    for (int i = 1; i <= project->frameCount; ++i) {
      ASSERT_LT(static_cast<std::size_t>(start), timeline.size());
      const Picture& shown = timeline[static_cast<std::size_t>(start)];
      // A lone opaque frame carries no delay: its one picture stands for the whole time.
      const Picture& opaqueShown = opaqueTimeline.at(std::min(static_cast<std::size_t>(start), opaqueTimeline.size() - 1));
      const FastBitmap& r = renders[static_cast<std::size_t>(i - 1)];
      clearOf.emplace_back();
      for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
          const std::size_t at = static_cast<std::size_t>(y * r.width() + x);
          const bool clear = r.pixel(x, y) == s.transparentColor || opaqueShown[at] == (s.transparentColor & 0xFFFFFF);
          clearOf.back().push_back(clear);
          transparentSeen += clear;
          ASSERT_EQ(shown[static_cast<std::size_t>(y * r.width() + x)] == kNothing, clear)
              << "frame " << i << " at " << x << "," << y;
        }
      start += std::max(delayCentiseconds(project->frame(i).delayMs), project->frameCount == 1 ? 1 : 0);
    }
#ifdef ZEFRA_HAVE_GIFLIB
    std::ofstream(scratch, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const testing::PeerDecode d = testing::decodeWithGiflib(scratch.string());
    ASSERT_TRUE(d.error.empty()) << d.error;
    int t = 0, gifFrame = 0, elapsed = 0;
    for (int i = 1; i <= project->frameCount; ++i) {
      while (gifFrame + 1 < d.frameCount && elapsed + d.delaysCs[static_cast<std::size_t>(gifFrame)] <= t)
        elapsed += d.delaysCs[static_cast<std::size_t>(gifFrame++)];
      const auto& shown = d.frames[static_cast<std::size_t>(gifFrame)];
      const FastBitmap& r = renders[static_cast<std::size_t>(i - 1)];
      for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
          const bool clear = clearOf[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(y * r.width() + x)];
          ASSERT_EQ(shown.rgba[4 * static_cast<std::size_t>(y * r.width() + x) + 3] == 0, clear)
              << "giflib, frame " << i << " at " << x << "," << y;
        }
      t += delayCentiseconds(project->frame(i).delayMs);
    }
#endif
  }
  std::filesystem::remove(scratch);
  EXPECT_GT(transparentSeen, 1000);
}

}  // namespace
}  // namespace zefra::exporter
