// Real clients agree with Zefra: every sample project and a set of randomised projects are
// exported, decoded by giflib, ImageMagick and Pillow, and compared with Zefra's own
// rendering of each frame.
//
// PSNR floors (dB, over the red, green and blue of every opaque pixel):
// - Windows palette with 256 or 128 colours: 24. The octree keeps the banner's flat
//   colours exactly; a dithered gradient under anti-aliased 3D text costs the most
//   (the main sample measured 27 dB, flat banners 39 dB and more).
// - Windows palette with 8 to 64 colours: 14, as few colours cannot hold a gradient.
// - Netscape cube: 22; the cube steps are 51 levels apart, so the error per channel is
//   at most 25 levels without dithering (20.2 dB in the worst case of every pixel at the
//   largest error, about 30 dB for uniformly spread colours).
// - Grayscale: compared with the weighted grey of the render, 30 (greys are exact); 20
//   when the frames are dithered, because the error diffusion spreads the whole colour
//   error (not only the brightness error) into the neighbouring pixels.
// A fault that shifts a frame, swaps its palette or composes frames wrongly changes whole
// regions of the banner and falls far below these floors.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "export/export_settings.h"
#include "export/project_export.h"
#include "editor/project_file.h"
#include "export/project_renderer.h"
#include "export_gif_walker.h"
#include "export_peer_decoders.h"
#include "gif/gif_image.h"
#include "io/lbl_reader.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {
namespace {

namespace fs = std::filesystem;
using namespace testing;

struct Expectation {
  std::string name;
  std::vector<raster::FastBitmap> renders;  // Zefra's own frames, before reduction
  std::vector<int> projectDelaysCs;
  ExportSettings settings;
  int gifFrames = 0;
  std::vector<int> gifDelaysCs;
  int width = 0;
  int height = 0;
  bool dithered = false;
};

double psnrFloor(const ExportSettings& s, bool dithered) {
  switch (s.paletteKind) {
    case model::PaletteKind::Netscape: return 22;
    case model::PaletteKind::Grayscale: return dithered ? 20 : 30;
    default: return (s.colorCountIndex == 0 || s.colorCountIndex == 5) ? 24 : 14;
  }
}

// PSNR of the opaque pixels of `frame` against `render`; sets `opaque` to their number.
double psnr(const RgbaFrame& frame, const raster::FastBitmap& render, bool gray, long& opaque) {
  double sum = 0;
  opaque = 0;
  for (int y = 0; y < render.height(); ++y) {
    for (int x = 0; x < render.width(); ++x) {
      const std::uint8_t* p = &frame.rgba[4 * (static_cast<std::size_t>(y) * frame.width + x)];
      if (p[3] != 255) continue;
      ++opaque;
      const Color c = render.pixel(x, y);
      int want[3] = {redOf(c), greenOf(c), blueOf(c)};
      if (gray) {
        const int g = (77 * want[0] + 150 * want[1] + 29 * want[2]) >> 8;
        want[0] = want[1] = want[2] = g;
      }
      for (int k = 0; k < 3; ++k) sum += (p[k] - want[k]) * (p[k] - want[k]);
    }
  }
  if (opaque == 0) return 0;
  const double mse = sum / (3.0 * static_cast<double>(opaque));
  return mse == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mse);
}

void checkPeer(const PeerDecode& d, const Expectation& e) {
  SCOPED_TRACE(e.name + " decoded by " + d.peer + ": palette " + std::to_string(int(e.settings.paletteKind)) +
               ", colour index " + std::to_string(e.settings.colorCountIndex) +
               (e.settings.transparent ? ", transparent" : "") + (e.settings.loop ? ", loop" : ""));
  ASSERT_TRUE(d.error.empty()) << d.error;
  EXPECT_EQ(d.frameCount, e.gifFrames);
  EXPECT_EQ(d.delaysCs, e.gifDelaysCs);
  // A loop extension is written for a multi-frame project; frames that all look alike
  // collapse into one frame, which then needs neither loop nor delay.
  const bool loops = e.settings.loop && e.renders.size() > 1 && e.gifFrames > 1;
  EXPECT_EQ(d.loopCount, loops ? 0 : -1);
  ASSERT_EQ(static_cast<int>(d.frames.size()), d.frameCount);
  if (d.frames.empty()) return;

  // The GIF must show project frame i at the moment the project starts it.
  const bool gray = e.settings.paletteKind == model::PaletteKind::Grayscale;
  int start = 0;
  double worst = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < e.renders.size(); ++i) {
    std::size_t j = 0;
    if (d.frameCount > 1) {
      int t = 0;
      while (j + 1 < d.delaysCs.size() && t + d.delaysCs[j] <= start) t += d.delaysCs[j++];
    }
    const RgbaFrame& shown = d.frames[j];
    ASSERT_EQ(shown.width, e.width);
    ASSERT_EQ(shown.height, e.height);
    long opaque = 0;
    const double db = psnr(shown, e.renders[i], gray, opaque);
    if (!e.settings.transparent) {
      EXPECT_EQ(opaque, static_cast<long>(e.width) * e.height) << "frame " << i + 1 << " has holes";
    }
    // A transparent banner of one flat colour may vanish entirely: nothing to compare.
    if (opaque > 0) {
      EXPECT_GE(db, psnrFloor(e.settings, e.dithered)) << "project frame " << i + 1 << " (GIF frame " << j + 1 << ")";
      worst = std::min(worst, db);
    }
    start += e.projectDelaysCs[i];
  }
  std::printf("[ psnr     ] %-24s %-12s lowest %.1f dB (floor %.0f)\n", e.name.c_str(), d.peer.c_str(), worst,
              psnrFloor(e.settings, e.dithered));
  if (d.frameCount > 1) {
    int total = 0;
    for (int cs : d.delaysCs) total += cs;
    EXPECT_EQ(total, start) << "the animation's length differs from the project's";
  }
}

class PeerAgreement : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps test runs of several checkouts on one machine apart.
    scratch = fs::temp_directory_path() /
              ("zefra_peer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
  }
  void TearDown() override { fs::remove_all(scratch); }

  // Exports `project`, writes the GIF and records what the peers must find in it.
  Expectation exportAndExpect(const std::string& name, model::LabelProject& project, const ExportSettings& settings) {
    Expectation e;
    e.name = name;
    e.settings = settings;
    e.dithered = ditherKindFor(project) == gif::DitherKind::FloydSteinberg;
    {
      auto copy = std::make_unique<model::LabelProject>(project);
      render::TextLayerRenderer texts(copy->screenDpi);
      ProjectRenderer renderer(*copy, &texts);
      for (int i = 1; i <= project.frameCount; ++i) {
        e.renders.push_back(renderer.render(i));
        e.projectDelaysCs.push_back(delayCentiseconds(project.frame(i).delayMs));
      }
    }
    gif::GifImage image;
    exportProject(project, settings, image);
    const auto bytes = image.saveToBytes();
    const WalkedGif walked = walkGif(bytes);
    e.gifFrames = static_cast<int>(walked.images.size());
    for (const auto& im : walked.images) e.gifDelaysCs.push_back(im.gce() ? im.gce()->delayCs : 0);
    e.width = walked.width;
    e.height = walked.height;
    gifPath = (scratch / (name + ".gif")).string();
    std::ofstream(gifPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    return e;
  }

  void checkAllPeers(const Expectation& e) {
    int peers = 0;
#ifdef ZEFRA_HAVE_GIFLIB
    checkPeer(decodeWithGiflib(gifPath), e);
    ++peers;
#endif
    if (haveProgram("identify-im6.q16") && haveProgram("convert-im6.q16")) {
      checkPeer(decodeWithImageMagick(gifPath, scratch.string()), e);
      ++peers;
    }
    if (!pillowPython().empty()) {
      const std::string script = std::string(ZEFRA_SOURCE_DIR) + "/tests/export/pillow_frames.py";
      checkPeer(decodeWithPillow(gifPath, scratch.string(), script, e.width, e.height), e);
      ++peers;
    }
    if (peers == 0) GTEST_SKIP() << "no GIF peer (giflib, ImageMagick, Pillow) is installed";
  }

  fs::path scratch;
  std::string gifPath;
};

// A random banner: every layer kind, random GIF settings.
std::unique_ptr<model::LabelProject> randomProject(std::mt19937& rng, ExportSettings& settings) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto color = [&]() {
    return rgb(static_cast<std::uint8_t>(pick(0, 255)), static_cast<std::uint8_t>(pick(0, 255)),
               static_cast<std::uint8_t>(pick(0, 255)));
  };
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->screenDpi = 96;
  p->settings.designDpi = 96;
  model::FrameRecord& first = p->frame(1);
  first.width = static_cast<std::int16_t>(pick(60, 300));
  first.height = static_cast<std::int16_t>(pick(20, 80));
  first.frameColor = color();
  first.gradientOn = static_cast<std::uint8_t>(pick(0, 1));
  first.gradientStyle = static_cast<std::uint8_t>(pick(0, 8));
  first.gradientColor1 = color();
  first.gradientColor2 = color();
  first.bordersOn = static_cast<std::uint8_t>(pick(0, 1));
  first.bevelWidth = static_cast<std::uint8_t>(pick(1, 4));
  first.borderWidth = static_cast<std::uint8_t>(pick(0, 3));
  first.borderColor = color();
  const int shapes = pick(0, 3);
  for (int k = 0; k < shapes; ++k) {
    first.shapeStyle[k] = static_cast<std::uint8_t>(pick(1, 2));
    first.shapeX[k] = static_cast<std::int16_t>(pick(-10, first.width));
    first.shapeY[k] = static_cast<std::int16_t>(pick(-10, first.height));
    first.shapeWidth[k] = static_cast<std::int16_t>(pick(5, 80));
    first.shapeHeight[k] = static_cast<std::int16_t>(pick(5, 40));
    first.shapeFillColor[k] = color();
    first.shapeBorderColor[k] = color();
    first.shapeBorderWidth[k] = static_cast<std::uint8_t>(pick(1, 4));
  }
  if (pick(0, 1) == 1) {
    first.text[0].assign("Zefra");
    first.fontName[0].assign("DejaVu Sans");
    first.fontSize[0] = static_cast<std::uint8_t>(pick(8, 20));
    first.textX[0] = static_cast<std::int16_t>(pick(0, first.width / 2));
    first.textY[0] = static_cast<std::int16_t>(pick(0, first.height / 3));
    first.textGradientColor1[0] = color();
    first.textGradientColor2[0] = color();
  }
  const int frames = pick(1, 5);
  p->frameCount = static_cast<std::uint8_t>(frames);
  for (int i = 1; i <= frames; ++i) {
    model::FrameRecord& r = p->frame(i);
    if (i > 1) r = first;
    r.delayMs = static_cast<std::int16_t>(10 * pick(5, 30));
    // Something moves, something repeats: some frames equal their predecessor.
    if (i > 1 && pick(0, 3) != 0) {
      r.shapeX[0] = static_cast<std::int16_t>(r.shapeX[0] + 7 * i);
      r.textX[0] = static_cast<std::int16_t>(r.textX[0] + 5 * i);
      if (pick(0, 2) == 0) r.frameColor = color();
    }
  }
  settings.paletteKind = static_cast<model::PaletteKind>(pick(0, 2));
  settings.colorCountIndex = static_cast<std::uint8_t>(pick(0, 5));
  settings.transparent = pick(0, 3) == 0;
  settings.transparentColor = first.frameColor;
  settings.loop = pick(0, 3) != 0;
  return p;
}

TEST_F(PeerAgreement, RandomisedProjectsDecodeAlikeEverywhere) {
  std::mt19937 rng(20261208);
  for (int n = 0; n < 12; ++n) {
    ExportSettings settings;
    auto project = randomProject(rng, settings);
    const Expectation e = exportAndExpect("random" + std::to_string(n), *project, settings);
    checkAllPeers(e);
    if (HasFatalFailure() || IsSkipped()) return;
  }
}

TEST_F(PeerAgreement, SampleProjectsDecodeAlikeEverywhere) {
  const fs::path demoDir = fs::path(ZEFRA_SOURCE_DIR) / "demo";
  std::vector<fs::path> demos;
  if (fs::is_directory(demoDir))
    for (const auto& entry : fs::directory_iterator(demoDir))
      if (entry.path().extension() == ".lbl") demos.push_back(entry.path());
  if (demos.empty()) GTEST_SKIP() << "no sample projects in " << demoDir;
  std::sort(demos.begin(), demos.end());
  for (const auto& path : demos) {
    auto project = std::make_unique<model::LabelProject>();
    editor::openProjectFile(path, *project);
    project->screenDpi = project->settings.designDpi > 0 ? project->settings.designDpi : 96;
    project->appDir = std::string(ZEFRA_SOURCE_DIR) + "/";
    for (bool loop : {true, false}) {
      ExportSettings settings = exportSettingsOf(*project);
      settings.loop = loop;
      const Expectation e =
          exportAndExpect(path.stem().string() + (loop ? "" : "-once"), *project, settings);
      checkAllPeers(e);
      if (HasFatalFailure() || IsSkipped()) return;
    }
  }
}

}  // namespace
}  // namespace zefra::exporter
