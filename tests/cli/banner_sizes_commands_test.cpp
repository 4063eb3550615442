// zefra-cli new --size, resize and export --sizes / --plays / --check, run as a script
// would run them: the sizes written, content that stays centred and scales, the resampled
// picture beside the result, the loop count in the GIF and the ad check's exit code.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/cli_run.h"
#include "editor/editor.h"
#include "io/bmp_writer.h"
#include "io/lbl_reader.h"
#include "io/lbl_test_files.h"
#include "io/png_reader.h"
#include "model/label_project.h"

namespace {

using zefra::testing::TempDir;
namespace editor = zefra::editor;
namespace model = zefra::model;
namespace fs = std::filesystem;
using zefra::rgb;

using CliRun = zefra::testing::CliResult;
std::string quoted(const std::string& s) { return zefra::testing::shellQuoted(s); }
CliRun runCli(const TempDir& dir, const std::string& arguments) { return zefra::testing::runZefraCli(dir, arguments); }
bool has(const std::string& text, const std::string& part) { return zefra::testing::contains(text, part); }

std::unique_ptr<model::LabelProject> read(const fs::path& path) {
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  zefra::io::readLblFile(path.string(), *project);
  return project;
}

// Where the drawn content stands: the box of pixels that are not the white background.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  double centreX() const { return (left + right + 1) / 2.0; }
  double centreY() const { return (top + bottom + 1) / 2.0; }
  int width() const { return right - left + 1; }
};

Box contentBox(const TempDir& dir, const fs::path& project) {
  const std::string png = (dir / "frame.png").string();
  const CliRun run = runCli(dir, "render " + quoted(project.string()) + " " + quoted(png));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const zefra::raster::FastBitmap frame = zefra::io::readPngFile(png);
  Box box;
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x)
      if (frame.pixel(x, y) != rgb(255, 255, 255)) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

// A 468 x 60 banner on white with one dark text, then moved so its drawn box is centred.
fs::path writeCentredText(const TempDir& dir) {
  const fs::path path = dir / "bakery.lbl";
  editor::Editor e("/nowhere/", 96);
  e.editFrames(editor::EditScope::CurrentFrame, "Text", [](model::FrameRecord& f) {
    f.frameColor = rgb(255, 255, 255);
    f.bordersOn = 0;
    f.text[0].assign("Fresh Bread");
    f.fontName[0].assign("DejaVu Sans");
    f.fontSize[0] = 24;
    f.textGradientOn[0] = 0;
    f.fontColor[0] = rgb(20, 20, 120);
    f.textX[0] = 10;
    f.textY[0] = 5;
  });
  EXPECT_TRUE(e.saveAs(path).ok);
  const Box first = contentBox(dir, path);
  e.editFrames(editor::EditScope::CurrentFrame, "Centre", [&](model::FrameRecord& f) {
    f.textX[0] = static_cast<std::int16_t>(f.textX[0] + std::lround(234 - first.centreX()));
    f.textY[0] = static_cast<std::int16_t>(f.textY[0] + std::lround(30 - first.centreY()));
  });
  EXPECT_TRUE(e.save().ok);
  return path;
}

TEST(CliNewSize, WritesTheSizeAskedFor) {
  TempDir dir;
  const CliRun run = runCli(dir, "new sky.lbl --size 160x600");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote sky.lbl: a new project of 1 frame, 160 x 600\n");
  const auto project = read(dir / "sky.lbl");
  EXPECT_EQ(project->frame(1).width, 160);
  EXPECT_EQ(project->frame(1).height, 600);
  ASSERT_EQ(runCli(dir, "new plain.lbl").exitCode, 0);
  EXPECT_EQ(read(dir / "plain.lbl")->frame(1).width, 468);
  for (const std::string bad : {"--size 0x60", "--size 728", "--size 9000x90", "--size=big"}) {
    const CliRun refused = runCli(dir, "new bad.lbl " + bad);
    EXPECT_EQ(refused.exitCode, 2) << bad;
    EXPECT_TRUE(has(refused.err, "--size")) << refused.err;
    EXPECT_FALSE(fs::exists(dir / "bad.lbl"));
  }
}

TEST(CliResize, CentredTextStaysCentredAndScales) {
  TempDir dir;
  const fs::path source = writeCentredText(dir);
  const Box original = contentBox(dir, source);
  ASSERT_GT(original.width(), 60);
  EXPECT_NEAR(original.centreX(), 234, 1.0);
  EXPECT_NEAR(original.centreY(), 30, 1.0);
  struct Slot {
    int width, height;
    double s;
  };
  for (const Slot slot : {Slot{728, 90, 1.5}, Slot{300, 250, 300.0 / 468}}) {
    const std::string name = "bakery-" + std::to_string(slot.width) + ".lbl";
    const CliRun run = runCli(dir, "resize bakery.lbl --size " + std::to_string(slot.width) + "x" +
                                       std::to_string(slot.height) + " -o " + name);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(has(run.out, "content scaled by")) << run.out;
    const auto project = read(dir / name);
    EXPECT_EQ(project->frame(1).width, slot.width);
    EXPECT_EQ(project->frame(1).height, slot.height);
    EXPECT_EQ(project->frame(1).fontSize[0], std::lround(24 * slot.s));
    const Box box = contentBox(dir, dir / name);
    EXPECT_NEAR(box.centreX(), slot.width / 2.0, 2.0) << slot.width << ": drawn from " << box.left << " to " << box.right;
    EXPECT_NEAR(box.centreY(), slot.height / 2.0, 2.0) << slot.width;
    // The text's width follows s, within what rounding the font size allows.
    EXPECT_NEAR(box.width(), original.width() * slot.s, 0.08 * original.width() * slot.s) << slot.width;
  }
  // The input is untouched; without -o the project is resized in place.
  EXPECT_EQ(read(source)->frame(1).width, 468);
  ASSERT_EQ(runCli(dir, "resize bakery.lbl --size 320x50 --anchor bottom-right").exitCode, 0);
  const auto anchored = read(source);
  EXPECT_EQ(anchored->frame(1).width, 320);
  EXPECT_EQ(anchored->frame(1).fontSize[0], 24);
}

TEST(CliResize, ThePictureIsResampledBesideTheResultAndUsed) {
  TempDir dir;
  zefra::raster::FastBitmap logo(40, 20);
  logo.fill(rgb(200, 30, 30));
  zefra::io::writeBmpFile(logo, (dir / "logo.bmp").string());
  {
    editor::Editor e("/nowhere/", 96);
    e.editFrames(editor::EditScope::CurrentFrame, "Picture", [](model::FrameRecord& f) {
      f.frameColor = rgb(255, 255, 255);
      f.bordersOn = 0;
      f.pictureFile[0].assign("logo.bmp");
      f.pictureX[0] = 214;
      f.pictureY[0] = 20;
    });
    ASSERT_TRUE(e.saveAs(dir / "ad.lbl").ok);
  }
  fs::create_directory(dir / "wide");
  const CliRun run = runCli(dir, "resize ad.lbl --size 728x90 -o wide/ad.lbl");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const fs::path written = dir / "wide" / "logo-728x90.bmp";
  EXPECT_TRUE(has(run.out, "Wrote picture " + written.string())) << run.out;
  ASSERT_TRUE(fs::exists(written));
  EXPECT_FALSE(fs::exists(dir / "logo-728x90.bmp"));
  const auto project = read(dir / "wide" / "ad.lbl");
  EXPECT_EQ(project->frame(1).pictureFile[0].str(), "logo-728x90.bmp");
  // The 60 x 30 picture stands centred where the 40 x 20 one stood: at 334, 30.
  const Box box = contentBox(dir, dir / "wide" / "ad.lbl");
  EXPECT_EQ(box.left, 334);
  EXPECT_EQ(box.top, 30);
  EXPECT_EQ(box.width(), 60);
  EXPECT_EQ(box.bottom - box.top + 1, 30);

  for (const std::string bad : {"--size 728x90 --anchor middle", "", "--size 0x0"}) {
    const CliRun refused = runCli(dir, "resize ad.lbl " + bad);
    EXPECT_EQ(refused.exitCode, 2) << bad << ": " << refused.err;
  }
}

// Three frames of `delayMs` each that differ, so the GIF keeps three frames.
fs::path writeAnimation(const TempDir& dir, int delayMs) {
  const fs::path path = dir / "anim.lbl";
  editor::Editor e("/nowhere/", 96);
  for (int k = 1; k <= 3; ++k) {
    if (k > 1) e.insertFrame();
    e.editFrames(editor::EditScope::CurrentFrame, "Frame", [&](model::FrameRecord& f) {
      f.delayMs = static_cast<std::int16_t>(delayMs);
      f.frameColor = rgb(static_cast<std::uint8_t>(70 * k), 90, 160);
      f.shapeStyle[0] = 1;
      f.shapeX[0] = static_cast<std::int16_t>(100 * k);
      f.shapeY[0] = 10;
    });
  }
  EXPECT_TRUE(e.saveAs(path).ok);
  return path;
}

TEST(CliExportSizes, EachSizeIsWrittenWithItsContentScaled) {
  TempDir dir;
  const fs::path project = writeAnimation(dir, 500);
  const auto before = zefra::testing::readBytes(project.string());
  const CliRun run = runCli(dir, "export anim.lbl --sizes 728x90,300x250,120x600 --out-dir out -j 2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(has(run.out, "3 of 3 exported")) << run.out;
  for (const auto& [name, w, h] : {std::tuple{"anim-728x90.gif", 728, 90}, {"anim-300x250.gif", 300, 250},
                                   {"anim-120x600.gif", 120, 600}}) {
    const CliRun info = runCli(dir, std::string("gif-info --json out/") + name);
    ASSERT_EQ(info.exitCode, 0) << name << ": " << info.err;
    EXPECT_TRUE(has(info.out, "\"width\": " + std::to_string(w) + ", \"height\": " + std::to_string(h))) << info.out;
  }
  // The project and its folder stay as they were.
  EXPECT_EQ(zefra::testing::readBytes(project.string()), before);
  EXPECT_FALSE(fs::exists(dir / "anim-728x90.gif"));

  EXPECT_EQ(runCli(dir, "export anim.lbl --sizes 728x90").exitCode, 2);  // needs --out-dir
  EXPECT_EQ(runCli(dir, "export anim.lbl --sizes 728x90,728x90 --out-dir out").exitCode, 2);
  EXPECT_EQ(runCli(dir, "export anim.lbl --sizes 728x90,big --out-dir out").exitCode, 2);
}

TEST(CliExportPlays, ThePlayCountIsTheLoopCountPlusOne) {
  TempDir dir;
  writeAnimation(dir, 500);
  for (const auto& [plays, loop] : {std::pair{"0", "loop 0\n"}, {"3", "loop 2\n"}, {"100", "loop 99\n"}}) {
    ASSERT_EQ(runCli(dir, std::string("export anim.lbl p.gif --plays ") + plays).exitCode, 0) << plays;
    const CliRun info = runCli(dir, "gif-info p.gif");
    EXPECT_TRUE(has(info.out, loop)) << plays << ": " << info.out;
  }
  ASSERT_EQ(runCli(dir, "export anim.lbl once.gif --plays 1").exitCode, 0);
  EXPECT_FALSE(has(runCli(dir, "gif-info once.gif").out, "loop"));
  for (const std::string bad : {"--plays 101", "--plays -1", "--plays x", "--plays 3 --no-loop"})
    EXPECT_EQ(runCli(dir, "export anim.lbl bad.gif " + bad).exitCode, 2) << bad;
  EXPECT_FALSE(fs::exists(dir / "bad.gif"));
}

TEST(CliExportCheck, BrokenRulesAreNamedAfterTheFileIsWritten) {
  TempDir dir;
  writeAnimation(dir, 500);  // 1.5 s a play
  // Looping for ever breaks IAB's time and play rules; the GIF is written all the same.
  const CliRun forEver = runCli(dir, "export anim.lbl ever.gif --check iab");
  EXPECT_EQ(forEver.exitCode, 1);
  EXPECT_TRUE(fs::exists(dir / "ever.gif"));
  EXPECT_TRUE(has(forEver.err, "fails IAB: Plays for ever, at most 3")) << forEver.err;
  EXPECT_TRUE(has(forEver.err, "fails IAB: Animation time without end")) << forEver.err;

  const CliRun three = runCli(dir, "export anim.lbl three.gif --check iab --plays 3");
  EXPECT_EQ(three.exitCode, 0) << three.err;
  EXPECT_TRUE(has(three.out, "Passes IAB")) << three.out;

  // 12 plays of 1.5 s are 18 s: past IAB's 15 s, within Google's 30 s.
  EXPECT_EQ(runCli(dir, "export anim.lbl x.gif --check iab --plays 12").exitCode, 1);
  EXPECT_EQ(runCli(dir, "export anim.lbl x.gif --check google --plays 12").exitCode, 0);

  // Frames of 0.15 s play at 6.7 frames a second: too fast for Google Ads.
  writeAnimation(dir, 150);
  const CliRun fast = runCli(dir, "export anim.lbl fast.gif --check google --plays 2 --json");
  EXPECT_EQ(fast.exitCode, 1);
  EXPECT_TRUE(has(fast.err, "fails Google Ads: Frame rate 6.7 fps on average, at most 5 fps")) << fast.err;
  EXPECT_TRUE(has(fast.out, "\"checkFailures\": [\"Frame rate 6.7 fps")) << fast.out;
  // In a batch the failing check counts against the exit code too.
  const CliRun batch = runCli(dir, "export anim.lbl --sizes 300x250 --out-dir out --check google");
  EXPECT_EQ(batch.exitCode, 1);
  EXPECT_TRUE(has(batch.out, "1 of 1 exported, 1 failed the Google Ads check")) << batch.out;
  EXPECT_EQ(runCli(dir, "export anim.lbl y.gif --check yahoo").exitCode, 2);
}

}  // namespace
