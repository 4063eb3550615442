// Playback: composed screens against decoders and reference data written elsewhere (the
// shared GIF corpora), disposal and transparency on small hand-made animations, and the
// delay and loop rules driven by a clock the test sets.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "gif/animation_player.h"
#include "gif/application_extension.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path suiteDir() { return fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite"; }

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

using Ini = std::map<std::string, std::map<std::string, std::string>>;

Ini readIni(const fs::path& path) {
  Ini sections;
  std::ifstream in(path);
  std::string line, section;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find(" = ");
    if (eq != std::string::npos) sections[section][line.substr(0, eq)] = line.substr(eq + 3);
    else if (line.size() > 2 && line.substr(line.size() - 2) == " =") sections[section][line.substr(0, line.size() - 2)] = "";
  }
  return sections;
}

std::vector<std::string> splitComma(const std::string& s) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, ','))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool peerDecodes(const Bytes& bytes) {
#ifdef ZEFRA_HAVE_GIFLIB
  return testing::giflibDecode(bytes).ok;
#else
  (void)bytes;
  return true;
#endif
}

// Every pygif test with expected frames whose file the peer decoder accepts: the player's
// screen after each shown image equals the reference, its delays and pass count are the
// file's. The references list one screen per image that has a delay (every image when the
// suite forces animation) and one after the last image.
TEST(PlaybackSuite, PygifScreensDelaysAndLoops) {
  const fs::path dir = suiteDir() / "pygif-test-suite";
  if (!fs::exists(dir)) GTEST_SKIP() << "GIF conformance corpus not found at " << dir;
  std::ifstream list(dir / "TESTS");
  std::string name;
  int compared = 0;
  while (std::getline(list, name)) {
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    const Ini ini = readIni(dir / (name + ".conf"));
    const auto& config = ini.at("config");
    const std::vector<std::string> expected = splitComma(config.at("frames"));
    const Bytes bytes = readFile(dir / config.at("input"));
    if (expected.empty() || !peerDecodes(bytes)) continue;
    GifImage image;
    try {
      image.loadFromBytes(bytes);
    } catch (const GifError&) {
      continue;  // the reader's refusals are checked with the reader
    }
    AnimationPlayer player(image);
    const bool forced = config.at("force-animation") == "yes";
    std::vector<std::int64_t> shownSteps;
    std::vector<int> shownDelays;
    for (int i = 0; i < player.frameCount(); ++i) {
      const GifFrame& f = image.frames()[i];
      const bool delayed = f.graphicControl && f.graphicControl->delayCs() > 0;
      if (forced || delayed || i + 1 == player.frameCount()) {
        shownSteps.push_back(i);
        shownDelays.push_back(f.graphicControl ? f.graphicControl->delayCs() : 0);
      }
    }
    ASSERT_EQ(shownSteps.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      const auto& section = ini.at(expected[k]);
      const RgbaImage& screen = player.pictureOfStep(shownSteps[k]);
      EXPECT_TRUE(screen.pixels == readFile(dir / section.at("pixels"))) << "frame " << k;
      const int cs = section.count("delay") ? std::stoi(section.at("delay")) : 0;
      EXPECT_EQ(cs, shownDelays[k]);
      EXPECT_EQ(player.timeline().scaledDelayMs(static_cast<int>(shownSteps[k])), cs <= 1 ? 100 : cs * 10);
    }
    // (The suite plays a forced animation without loop extension for ever; viewers, and
    // Zefra, play an animation without one once.)
    const bool hasLoop = std::any_of(image.frames()[0].extensions().begin(), image.frames()[0].extensions().end(),
                                     [](const auto& e) { return dynamic_cast<const LoopExtension*>(e.get()) != nullptr; });
    if (player.frameCount() > 1 && (hasLoop || !forced)) {
      const std::string loop = config.at("loop-count");
      if (loop == "infinite") EXPECT_EQ(player.timeline().passCount(), std::nullopt);
      else if (loop == "0") EXPECT_EQ(player.timeline().passCount(), 1);
      else EXPECT_EQ(player.timeline().passCount(), std::stoll(loop) + 1);
    }
    ++compared;
  }
  RecordProperty("compared", compared);
  EXPECT_GE(compared, 60);
}

RgbaImage fromBgra(const Bytes& bgra, int w, int h) {
  RgbaImage out(w, h);
  for (std::size_t p = 0; p < out.pixels.size(); p += 4) {
    out.pixels[p] = bgra[p + 2];
    out.pixels[p + 1] = bgra[p + 1];
    out.pixels[p + 2] = bgra[p];
    out.pixels[p + 3] = bgra[p + 3];
  }
  return out;
}

// The sub-rectangle animation with transparency against its fully composed reference
// frames; the reference animation file gives the display times (cumulative, in 1/705600000
// s) and the total number of plays.
TEST(PlaybackSuite, WuffsRedBlueAnimation) {
  const fs::path dir = suiteDir() / "wuffs-test-data";
  if (!fs::exists(dir)) GTEST_SKIP() << "GIF conformance corpus not found at " << dir;
  GifImage image;
  image.loadFromFile(dir / "animated-red-blue.gif");
  AnimationPlayer player(image);
  ASSERT_EQ(player.frameCount(), 4);
  const Bytes nia = readFile(dir / "animated-red-blue.nia");
  std::size_t pos = 16;
  std::int64_t previousEnd = 0;
  for (int i = 0; i < 4; ++i) {
    char file[64];
    std::snprintf(file, sizeof file, "animated-red-blue.%06d.nie", i);
    const Bytes nie = readFile(dir / file);
    EXPECT_EQ(player.pictureOfStep(i), fromBgra(Bytes(nie.begin() + 16, nie.end()), 64, 48)) << file;
    std::uint64_t flicks = 0;
    for (int b = 7; b >= 0; --b) flicks = (flicks << 8) | nia[pos + static_cast<std::size_t>(b)];
    const auto endMs = static_cast<std::int64_t>(flicks / 705600);
    EXPECT_EQ(player.timeline().startOfStep(i + 1) - player.timeline().startOfStep(i), endMs - previousEnd);
    previousEnd = endMs;
    pos += 8 + nie.size();
  }
  const std::uint32_t plays = nia[pos] | (nia[pos + 1] << 8) | (nia[pos + 2] << 16) | (static_cast<std::uint32_t>(nia[pos + 3]) << 24);
  EXPECT_EQ(player.timeline().passCount(), plays);
  EXPECT_EQ(player.timeline().stepCount(), 4 * plays);
  // After the last play the last frame stays.
  EXPECT_EQ(player.stepAt(1'000'000).frame, 3);
  EXPECT_EQ(player.nextChangeAfter(1'000'000), std::nullopt);
}

TEST(PlaybackSuite, WuffsMuybridgeComposedIndexes) {
  const fs::path dir = suiteDir() / "wuffs-test-data";
  if (!fs::exists(dir)) GTEST_SKIP() << "GIF conformance corpus not found at " << dir;
  GifImage image;
  image.loadFromFile(dir / "muybridge.gif");
  AnimationPlayer player(image);
  ASSERT_EQ(player.frameCount(), 15);
  EXPECT_EQ(player.timeline().passCount(), std::nullopt);
  for (int i = 0; i < 15; ++i) {
    char file[64];
    std::snprintf(file, sizeof file, "muybridge-frame-%03d.indexes", i);
    const Bytes indexes = readFile(dir / file);
    const ColorMap& table = image.frames()[i].effectiveColorMap();
    RgbaImage expected(30, 20);
    for (std::size_t p = 0; p < indexes.size(); ++p) {
      const Rgb c = table[indexes[p]];
      expected.pixels[p * 4] = c.red;
      expected.pixels[p * 4 + 1] = c.green;
      expected.pixels[p * 4 + 2] = c.blue;
      expected.pixels[p * 4 + 3] = 255;
    }
    // Second pass too: the endless loop shows the same pictures again.
    EXPECT_EQ(player.pictureOfStep(i), expected) << file;
    EXPECT_EQ(player.pictureOfStep(15 + i), expected) << file;
  }
}

// --- hand-made animations ------------------------------------------------------------------

struct FramePlan {
  FramePlan(int l, int t, int w, int h, std::vector<std::uint8_t> px, std::optional<int> delay = std::nullopt,
            Disposal d = Disposal::Unspecified, int transparent = -1, std::optional<int> loop = std::nullopt)
      : left(l), top(t), width(w), height(h), pixels(std::move(px)), delayCs(delay), disposal(d),
        transparentIndex(transparent), loopCount(loop) {}
  int left, top, width, height;
  std::vector<std::uint8_t> pixels;  // empty: a frame without image
  std::optional<int> delayCs;        // none: no graphic control extension
  Disposal disposal;
  int transparentIndex;
  std::optional<int> loopCount;
};

// Palette: 0 black, 1 red, 2 green, 3 blue.
std::unique_ptr<GifImage> makeImage(int w, int h, const std::vector<FramePlan>& plans) {
  auto image = std::make_unique<GifImage>();
  for (Color c : {rgb(0, 0, 0), rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)}) image->globalTable().append(c);
  image->header().setWidth(w);
  image->header().setHeight(h);
  for (const FramePlan& s : plans) {
    auto frame = std::make_unique<GifFrame>(image.get());
    if (s.loopCount) {
      auto loop = std::make_unique<LoopExtension>(*frame);
      loop->loopCount = static_cast<std::uint16_t>(*s.loopCount);
      frame->extensions().add(std::move(loop));
    }
    if (s.delayCs || s.transparentIndex >= 0 || s.disposal != Disposal::Unspecified) {
      auto gce = std::make_unique<GraphicControlExtension>(*frame);
      gce->setDelayCs(static_cast<std::uint16_t>(s.delayCs.value_or(0)));
      gce->setDisposal(s.disposal);
      frame->extensions().add(std::move(gce));
    }
    if (!s.pixels.empty()) {
      frame->setPlacement(s.left, s.top, s.width, s.height);
      frame->setPixels(s.pixels);
    }
    if (s.transparentIndex >= 0) {
      frame->graphicControl->setTransparencyOn(true);
      frame->graphicControl->setTransparentIndex(s.transparentIndex);
    }
    image->addFrame(std::move(frame));
  }
  return image;
}

// The screen as one letter per pixel: . transparent, K black, R red, G green, B blue,
// W white, ? anything else.
std::string letters(const RgbaImage& img) {
  std::string out;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const std::uint8_t* p = img.pixel(x, y);
      const Color c = rgb(p[0], p[1], p[2]);
      if (p[3] == 0) out += '.';
      else if (c == rgb(0, 0, 0)) out += 'K';
      else if (c == rgb(255, 0, 0)) out += 'R';
      else if (c == rgb(0, 255, 0)) out += 'G';
      else if (c == rgb(0, 0, 255)) out += 'B';
      else if (c == rgb(255, 255, 255)) out += 'W';
      else out += '?';
    }
    if (y + 1 < img.height) out += '/';
  }
  return out;
}

TEST(PlaybackCompose, DisposalKeepBackgroundPreviousAndTransparency) {
  // 4 x 1 screen. Frame 0 fills red; frame 1 puts green on x 1..2 and is restored to the
  // background; frame 2 puts blue on x 0 and is restored to what was before it; frame 3
  // draws black on x 3 with its transparent index (red) elsewhere.
  auto image = makeImage(4, 1, {{0, 0, 4, 1, {1, 1, 1, 1}, 10, Disposal::Keep},
                                {1, 0, 2, 1, {2, 2}, 10, Disposal::RestoreBackground},
                                {0, 0, 1, 1, {3}, 10, Disposal::RestorePrevious},
                                {0, 0, 4, 1, {1, 1, 1, 0}, 10, Disposal::Keep, 1}});
  AnimationPlayer player(*image);
  EXPECT_EQ(letters(player.pictureOfStep(0)), "RRRR");
  EXPECT_EQ(letters(player.pictureOfStep(1)), "RGGR");
  EXPECT_EQ(letters(player.pictureOfStep(2)), "B..R");
  EXPECT_EQ(letters(player.pictureOfStep(3)), "R..K");  // frame 2 left no trace
  // Random access backwards composes from the start again.
  EXPECT_EQ(letters(player.pictureOfStep(1)), "RGGR");
  EXPECT_EQ(letters(player.pictureAt(350)), "R..K");
}

TEST(PlaybackCompose, OpaqueDrawingFillsRestoredAreasWithTheBackground) {
  auto image = makeImage(3, 1, {{0, 0, 3, 1, {1, 1, 1}, 10, Disposal::RestoreBackground, 1},
                                {0, 0, 1, 1, {3}, 10}});
  image->header().setBackgroundIndex(2);
  PlaybackOptions opaque = PlaybackOptions::fromImage(*image);
  opaque.transparent = false;
  AnimationPlayer a(*image, opaque);
  EXPECT_EQ(letters(a.pictureOfStep(0)), "RRR");  // the transparent index is drawn
  EXPECT_EQ(letters(a.pictureOfStep(1)), "BGG");  // background index 2 is green
  image->backdropColor = rgb(255, 255, 255);
  image->drawFlags = static_cast<std::uint16_t>(image->drawFlags & ~kDrawTransparent);
  AnimationPlayer b(*image);
  EXPECT_EQ(letters(b.pictureOfStep(1)), "BWW");
  // Transparent drawing (the default) leaves the restored area see-through.
  image->drawFlags = 0x060F;
  AnimationPlayer c(*image);
  EXPECT_EQ(letters(c.pictureOfStep(0)), "...");
  EXPECT_EQ(letters(c.pictureOfStep(1)), "B..");
}

TEST(PlaybackCompose, OutOfTableIndicesUndefinedDisposalsAndClipping) {
  // Index 9 is past the 4-entry table: black. Disposal 5 keeps the frame like 1. The
  // second frame hangs over the right edge of the logical screen and is clipped.
  auto image = makeImage(2, 2, {{0, 0, 2, 2, {9, 1, 1, 1}, 10, static_cast<Disposal>(5)},
                                {1, 1, 1, 1, {2}, 10}});
  AnimationPlayer player(*image);
  EXPECT_EQ(letters(player.pictureOfStep(0)), "KR/RR");
  EXPECT_EQ(letters(player.pictureOfStep(1)), "KR/RG");
}

TEST(PlaybackCompose, LaterPassesContinueFromTheScreenTheLastFrameLeft) {
  // The loop extension sits on frame 1, so passes after the first start there. Frame 2
  // restores its area, frame 1 only paints x 0: the second pass starts on "R.", not on
  // the first pass's screen. Pictures of far-away passes must equal a step-by-step replay.
  auto image = makeImage(2, 1, {{0, 0, 2, 1, {3, 3}, 10, Disposal::RestoreBackground},
                                {0, 0, 1, 1, {1}, 10, Disposal::Keep, -1, 0},
                                {1, 0, 1, 1, {2}, 10, Disposal::RestoreBackground}});
  AnimationPlayer player(*image);
  EXPECT_EQ(player.timeline().loopStart(), 1);
  const std::vector<std::string> expected = {"BB", "R.", "RG", "R.", "RG", "R.", "RG"};
  for (std::size_t s = 0; s < expected.size(); ++s) EXPECT_EQ(letters(player.pictureOfStep(static_cast<std::int64_t>(s))), expected[s]) << s;
  EXPECT_EQ(letters(player.pictureOfStep(1'000'001)), "R.");
  EXPECT_EQ(letters(player.pictureOfStep(1'000'002)), "RG");
  EXPECT_EQ(player.stepAt(1000).pass, 4);  // 300 ms, then 200 ms per pass
  // Frame 0's area cleared at every pass start when asked to.
  PlaybackOptions clear = PlaybackOptions::fromImage(*image);
  clear.clearOnLoop = true;
  // Frame 0 is see-through at x 1, so without clearing frame 1's green stays there.
  auto again = makeImage(2, 1, {{0, 0, 2, 1, {1, 0}, 10, Disposal::Keep, 0, 0}, {1, 0, 1, 1, {2}, 10}});
  AnimationPlayer kept(*again);
  EXPECT_EQ(letters(kept.pictureOfStep(2)), "RG");
  AnimationPlayer cleared(*again, clear);
  EXPECT_EQ(letters(cleared.pictureOfStep(1)), "RG");
  EXPECT_EQ(letters(cleared.pictureOfStep(2)), "R.");
  EXPECT_EQ(letters(cleared.pictureOfStep(4)), "R.");
}

// --- timing ----------------------------------------------------------------------------------

class FakeClock : public PlaybackClock {
 public:
  std::int64_t now = 5000;
  std::int64_t nowMs() const override { return now; }
};

std::vector<FramePlan> solidFrames(const std::vector<std::optional<int>>& delays, std::optional<int> loop) {
  std::vector<FramePlan> plans;
  for (std::size_t i = 0; i < delays.size(); ++i) {
    FramePlan s{0, 0, 1, 1, {static_cast<std::uint8_t>(i % 4)}, delays[i]};
    if (i == 0) s.loopCount = loop;
    plans.push_back(s);
  }
  return plans;
}

TEST(PlaybackTiming, DelayRules) {
  auto image = makeImage(1, 1, solidFrames({std::nullopt, 0, 1, 2, 3, 50}, std::nullopt));
  const PlaybackTimeline t(*image, PlaybackOptions::fromImage(*image));
  std::vector<std::int64_t> delays;
  for (int i = 0; i < t.frameCount(); ++i) delays.push_back(t.scaledDelayMs(i));
  EXPECT_EQ(delays, (std::vector<std::int64_t>{100, 100, 100, 20, 30, 500}));
  image->playbackSpeed = 200;
  const PlaybackTimeline fast(*image, PlaybackOptions::fromImage(*image));
  EXPECT_EQ(fast.scaledDelayMs(5), 250);
  EXPECT_EQ(fast.startOfStep(6), 425);
  image->playbackSpeed = 0;
  const PlaybackTimeline held(*image, PlaybackOptions::fromImage(*image));
  EXPECT_EQ(held.stepAt(100'000).frame, 0);
  EXPECT_EQ(held.nextChangeAfter(0), std::nullopt);
}

TEST(PlaybackTiming, FrameAtTimeAndNextChange) {
  auto image = makeImage(1, 1, solidFrames({10, 20, 30}, std::nullopt));
  AnimationPlayer p(*image);
  EXPECT_EQ(p.stepAt(0).frame, 0);
  EXPECT_EQ(p.stepAt(99).frame, 0);
  EXPECT_EQ(p.stepAt(100).frame, 1);
  EXPECT_EQ(p.stepAt(299).frame, 1);
  EXPECT_EQ(p.stepAt(300).frame, 2);
  EXPECT_EQ(p.nextChangeAfter(0), 100);
  EXPECT_EQ(p.nextChangeAfter(100), 300);
  // No loop extension: one pass, then the last frame stays.
  EXPECT_EQ(p.nextChangeAfter(300), std::nullopt);
  EXPECT_EQ(p.stepAt(10'000).frame, 2);
  EXPECT_EQ(p.stepAt(10'000).pass, 0);
}

TEST(PlaybackTiming, LoopRules) {
  // A loop count of 3 repeats three times after the first pass.
  auto three = makeImage(1, 1, solidFrames({10, 10}, 3));
  AnimationPlayer p3(*three);
  EXPECT_EQ(p3.timeline().passCount(), 4);
  EXPECT_EQ(p3.stepAt(799).pass, 3);
  EXPECT_EQ(p3.stepAt(799).frame, 1);
  EXPECT_EQ(p3.nextChangeAfter(700), std::nullopt);
  EXPECT_EQ(p3.stepAt(5000).number, 7);
  // 0 repeats for ever.
  auto forever = makeImage(1, 1, solidFrames({10, 10}, 0));
  AnimationPlayer pf(*forever);
  EXPECT_EQ(pf.stepAt(1'000'000'050).frame, 0);
  EXPECT_EQ(pf.nextChangeAfter(1'000'000'050), 1'000'000'100);
  // "Loop for ever" overrides the count; without "loop" only one pass is played.
  three->drawFlags |= kDrawLoopForever;
  EXPECT_EQ(AnimationPlayer(*three).timeline().passCount(), std::nullopt);
  forever->drawFlags = static_cast<std::uint16_t>(forever->drawFlags & ~kDrawLoop);
  EXPECT_EQ(AnimationPlayer(*forever).timeline().passCount(), 1);
  // Not animating shows the first frame for good.
  forever->drawFlags = static_cast<std::uint16_t>(forever->drawFlags & ~kDrawAnimate);
  AnimationPlayer still(*forever);
  EXPECT_EQ(still.frameCount(), 1);
  EXPECT_FALSE(still.animated());
}

TEST(PlaybackTiming, AnEmptyFrameEndsEveryPass) {
  std::vector<FramePlan> plans = solidFrames({10, 10, 10}, 0);
  plans[1].pixels.clear();
  auto image = makeImage(1, 1, plans);
  AnimationPlayer p(*image);
  EXPECT_EQ(p.frameCount(), 1);
  EXPECT_FALSE(p.animated());
  plans = solidFrames({10, 10, 10, 10}, 0);
  plans[2].pixels.clear();
  auto image2 = makeImage(1, 1, plans);
  AnimationPlayer p2(*image2);
  EXPECT_EQ(p2.frameCount(), 2);
  EXPECT_EQ(p2.stepAt(250).frame, 0);  // third frame never shown
}

TEST(PlaybackRun, EventsFollowTheClock) {
  auto image = makeImage(1, 1, solidFrames({10, 20, 30}, 1));  // two passes
  FakeClock clock;
  PlaybackRun run(std::make_shared<AnimationPlayer>(*image), clock);
  using E = PlaybackEvent;
  PlaybackUpdate u = run.start();
  EXPECT_EQ(u.events, (std::vector<E>{E::PlayStart, E::FrameDraw, E::FrameDrawn}));
  EXPECT_EQ(u.waitMs, 100);
  clock.now += 60;  // woken early: nothing happens, wait for the rest
  u = run.update();
  EXPECT_TRUE(u.events.empty());
  EXPECT_FALSE(u.pictureChanged);
  EXPECT_EQ(u.waitMs, 40);
  clock.now += 40;
  u = run.update();
  EXPECT_EQ(u.events, (std::vector<E>{E::FrameDraw, E::FrameDrawn}));
  EXPECT_EQ(u.frame, 1);
  EXPECT_EQ(u.waitMs, 200);
  clock.now += 450;  // t = 550, a late timer
  u = run.update();
  EXPECT_EQ(u.events, (std::vector<E>{E::FrameDraw, E::FrameDrawn}));
  EXPECT_EQ(u.frame, 2);
  EXPECT_EQ(u.pass, 0);
  EXPECT_EQ(u.waitMs, 50);
  clock.now += 100;  // t = 650: second pass (600 ms per pass)
  u = run.update();
  EXPECT_EQ(u.events, (std::vector<E>{E::PlayLoop, E::FrameDraw, E::FrameDrawn}));
  EXPECT_EQ(u.pass, 1);
  EXPECT_EQ(u.frame, 0);
  clock.now += 1000;
  u = run.update();
  EXPECT_EQ(u.events, (std::vector<E>{E::FrameDraw, E::FrameDrawn, E::PlayEnd}));
  EXPECT_EQ(u.frame, 2);
  EXPECT_EQ(u.waitMs, std::nullopt);
  EXPECT_FALSE(run.running());
  clock.now += 1000;
  EXPECT_TRUE(run.update().events.empty());

  // A timer that sleeps across a pass boundary straight into the last frame.
  PlaybackRun late(std::make_shared<AnimationPlayer>(*image), clock);
  late.start();
  clock.now += 950;
  EXPECT_EQ(late.update().events, (std::vector<E>{E::PlayLoop, E::FrameDraw, E::FrameDrawn, E::PlayEnd}));
}

TEST(PlaybackRun, StillPicturesAndStopping) {
  auto single = makeImage(1, 1, solidFrames({10}, 0));
  FakeClock clock;
  PlaybackRun still(std::make_shared<AnimationPlayer>(*single), clock);
  using E = PlaybackEvent;
  EXPECT_EQ(still.start().events, (std::vector<E>{E::PlayStart, E::FrameDraw, E::FrameDrawn, E::PlayEnd}));
  EXPECT_FALSE(still.running());

  auto image = makeImage(1, 1, solidFrames({1000, 10}, 0));  // a 10 s delay first
  PlaybackRun run(std::make_shared<AnimationPlayer>(*image), clock);
  EXPECT_EQ(run.start().waitMs, 10'000);
  run.stop();
  EXPECT_FALSE(run.running());
  clock.now += 20'000;
  const PlaybackUpdate u = run.update();
  EXPECT_TRUE(u.events.empty());
  EXPECT_EQ(u.frame, 0);
}

// Pausing holds the frame on screen and the playback time: after a pause of any length
// the frame gets the rest of its delay and later frames keep their times relative to it.
// Stepping shows a frame from its start, paused or not, and wraps at both ends.
TEST(PlaybackRun, PauseResumeAndStepKeepTheDelays) {
  auto image = makeImage(1, 1, solidFrames({10, 20, 30}, 1));  // 100, 200, 300 ms; two passes
  FakeClock clock;
  PlaybackRun run(std::make_shared<AnimationPlayer>(*image), clock);
  using E = PlaybackEvent;
  run.start();
  clock.now += 160;
  EXPECT_EQ(run.update().frame, 1);  // frame 1 since t = 100
  run.pause();
  EXPECT_TRUE(run.paused());
  EXPECT_TRUE(run.running());
  clock.now += 5000;
  PlaybackUpdate u = run.update();
  EXPECT_TRUE(u.events.empty());
  EXPECT_EQ(u.frame, 1);
  EXPECT_EQ(u.waitMs, std::nullopt);
  u = run.resume();
  EXPECT_FALSE(run.paused());
  EXPECT_EQ(u.waitMs, 140);  // 200 ms delay, 60 shown before the pause
  clock.now += 140;
  EXPECT_EQ(run.update().frame, 2);

  // A pause asked for after the next frame was due, before its timer came: what is on
  // screen stays, with one millisecond left.
  clock.now += 310;  // frame 0 of pass 1 is due
  run.pause();
  EXPECT_EQ(run.currentStep().frame, 2);
  EXPECT_EQ(run.resume().waitMs, 1);

  // Steps: forward, backward, wrapping, held while paused; resuming goes on from the start
  // of the step shown.
  run.pause();
  u = run.stepForward();
  EXPECT_EQ(u.events, (std::vector<E>{E::FrameDraw, E::FrameDrawn}));
  EXPECT_TRUE(u.pictureChanged);
  EXPECT_EQ(u.frame, 0);
  EXPECT_EQ(u.pass, 1);
  EXPECT_TRUE(run.paused());
  EXPECT_EQ(run.stepBack().frame, 2);
  EXPECT_EQ(run.seekStep(0).frame, 0);
  EXPECT_EQ(run.stepBack().frame, 2);  // from the first step to the first pass's last frame
  EXPECT_EQ(run.currentStep().number, 2);
  clock.now += 777;
  EXPECT_EQ(run.resume().waitMs, 300);
  clock.now += 300;
  EXPECT_EQ(run.update().pass, 1);

  // After the end of the last pass: stepping holds a frame again, Play goes on from there,
  // and Play on the very last step starts over.
  clock.now += 10'000;
  EXPECT_EQ(run.update().events, (std::vector<E>{E::FrameDraw, E::FrameDrawn, E::PlayEnd}));
  EXPECT_FALSE(run.running());
  EXPECT_EQ(run.stepForward().frame, 0);  // wraps to the first step
  EXPECT_TRUE(run.paused());
  u = run.resume();
  EXPECT_EQ(u.waitMs, 100);
  EXPECT_TRUE(run.running());
  run.pause();
  EXPECT_EQ(run.seekStep(1'000).frame, 2);  // clamped to the last step
  u = run.resume();
  EXPECT_EQ(u.frame, 0);
  EXPECT_EQ(u.pass, 0);
  EXPECT_TRUE(u.pictureChanged);
  EXPECT_EQ(u.waitMs, 100);
}

TEST(PlaybackRun, PlayerOutlivesItsImage) {
  auto image = makeImage(2, 1, solidFrames({10, 10}, 0));
  auto player = std::make_shared<AnimationPlayer>(*image);
  image.reset();
  EXPECT_EQ(letters(player->pictureOfStep(1)), "R.");
}

}  // namespace
}  // namespace zefra::gif
