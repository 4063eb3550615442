// zefra-cli tween, run as a script would run it: the frames it writes, and its errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/editor.h"
#include "io/lbl_reader.h"
#include "cli/cli_run.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"

namespace {

using zefra::testing::readBytes;
using zefra::testing::TempDir;
namespace editor = zefra::editor;
namespace model = zefra::model;

// The shared runner of tests/cli; short local names keep the tests readable.
using CliRun = zefra::testing::CliResult;
std::string quoted(const std::string& s) { return zefra::testing::shellQuoted(s); }
CliRun runCli(const TempDir& dir, const std::string& arguments) { return zefra::testing::runZefraCli(dir, arguments); }
bool has(const std::string& text, const std::string& part) { return zefra::testing::contains(text, part); }

// Frames: shape 1 at x = 0 with delay 100, then at x = 30 with delay 400, then a third.
std::string writeThreeFrames(const TempDir& dir, const std::string& name) {
  editor::Editor e("/nowhere/", 96);
  e.editFrames(editor::EditScope::CurrentFrame, "Shape", [](model::FrameRecord& f) {
    f.shapeStyle[0] = 1;
    f.shapeX[0] = 0;
    f.frameColor = zefra::rgb(0, 0, 0);
  });
  e.insertFrame();
  e.editFrames(editor::EditScope::CurrentFrame, "Move", [](model::FrameRecord& f) {
    f.shapeX[0] = 30;
    f.delayMs = 400;
    f.frameColor = zefra::rgb(30, 60, 90);
  });
  e.insertFrame();
  const std::string path = (dir / name).string();
  EXPECT_TRUE(e.saveAs(path).ok);
  return path;
}

std::unique_ptr<model::LabelProject> read(const std::string& path) {
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  zefra::io::readLblFile(path, *project);
  return project;
}

TEST(CliTween, InsertsInterpolatedFramesAndSavesInPlace) {
  TempDir dir;
  const std::string file = writeThreeFrames(dir, "walk.lbl");
  const CliRun run = runCli(dir, "tween " + quoted(file) + " --from 1 --count 2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Inserted 2 frames between frame 1 and frame 2; wrote " + file + " with 5 frames\n");
  auto project = read(file);
  ASSERT_EQ(project->frameCount, 5);
  EXPECT_EQ(project->frame(2).shapeX[0], 10);
  EXPECT_EQ(project->frame(3).shapeX[0], 20);
  EXPECT_EQ(project->frame(2).delayMs, 200);
  EXPECT_EQ(project->frame(3).delayMs, 300);
  EXPECT_EQ(project->frame(2).frameColor, zefra::rgb(10, 20, 30));
  EXPECT_EQ(project->frame(4).shapeX[0], 30);
  // info shows where the objects of each frame stand.
  const CliRun info = runCli(dir, "info " + quoted(file));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_TRUE(has(info.out, "Frame 2: delay 200 ms; texts -; pictures -; shapes 1; textures -\n  Shape 1 at 10, 0, 40 x 20\n"))
      << info.out;
}

TEST(CliTween, WritesToAnotherFileAndLeavesTheInputAlone) {
  TempDir dir;
  const std::string file = writeThreeFrames(dir, "in.lbl");
  const auto before = readBytes(file);
  const std::string out = (dir / "out.lbl").string();
  const CliRun run = runCli(dir, "tween " + quoted(file) + " --from=3 --count=1 -o " + quoted(out));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readBytes(file), before);
  auto project = read(out);
  ASSERT_EQ(project->frameCount, 4);
  // From the last frame the tween runs back towards frame 1.
  EXPECT_EQ(project->frame(4).shapeX[0], 15);
  EXPECT_EQ(project->frame(4).delayMs, 250);
}

TEST(CliTween, TakesOptionsInEitherFormAndInAnyOrder) {
  TempDir dir;
  const std::string file = writeThreeFrames(dir, "p.lbl");
  const CliRun run = runCli(dir, "tween " + quoted(file) + " --from=2 --count=3");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Inserted 3 frames between frame 2 and frame 3; wrote " + file + " with 6 frames\n");
  auto project = read(file);
  ASSERT_EQ(project->frameCount, 6);
  // From frame 2 (x = 30) towards frame 3 (a copy of it): frames 1 and 2 stay as they were,
  // which a tween from frame 1 would not leave.
  EXPECT_EQ(project->frame(1).shapeX[0], 0);
  EXPECT_EQ(project->frame(2).shapeX[0], 30);
  EXPECT_EQ(project->frame(2).delayMs, 400);
  for (int k = 3; k <= 6; ++k) EXPECT_EQ(project->frame(k).shapeX[0], 30) << k;

  // Options before the file, the short -o with its value attached, --quiet, and "--"
  // ending the options before a file name that starts with a dash.
  const std::string dashed = writeThreeFrames(dir, "-dash.lbl");
  const std::string out = (dir / "out.lbl").string();
  const CliRun quiet = zefra::testing::runZefraCli(
      dir, "tween --quiet --count 1 --from 1 -o" + quoted(out) + " -- -dash.lbl", "cd " + quoted(dir.path.string()) + " &&");
  EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  ASSERT_TRUE(std::filesystem::exists(out));
  EXPECT_EQ(read(out)->frameCount, 4);
  EXPECT_EQ(read(out)->frame(2).shapeX[0], 15);
  EXPECT_EQ(read(dashed)->frameCount, 3) << "the input stays as it was";
}

TEST(CliTween, ReportsBadUsageAndImpossibleRequests) {
  TempDir dir;
  const std::string file = writeThreeFrames(dir, "p.lbl");
  const auto before = readBytes(file);

  const CliRun noCount = runCli(dir, "tween " + quoted(file) + " --from 1");
  EXPECT_EQ(noCount.exitCode, 2);
  EXPECT_TRUE(has(noCount.err, "needs --count K")) << noCount.err;
  EXPECT_TRUE(has(noCount.err, "Usage: zefra-cli tween FILE.lbl --from N --count K [--to M] [--ease linear|in|out|in-out] [--keep-delays] [-o OUT.lbl]")) << noCount.err;
  EXPECT_EQ(runCli(dir, "tween " + quoted(file) + " --from x --count 1").exitCode, 2);
  EXPECT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 0").exitCode, 2);
  EXPECT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 2 --fast").exitCode, 2);

  // Options are read as by every other command: unknown ones, missing values and options
  // given twice are usage errors, and none of them becomes a file name.
  for (const std::string& args : {std::string("--bogus"), quoted(file) + " --bogus --from 1 --count 1",
                                  quoted(file) + " --count 1 --from", quoted(file) + " --from 1 --count 1 --count 2",
                                  quoted(file) + " --from 1 --count=", quoted(file) + " --from 1 --count 1 -o"}) {
    const CliRun bad = runCli(dir, "tween " + args);
    EXPECT_EQ(bad.exitCode, 2) << args << "\n" << bad.err;
    EXPECT_TRUE(has(bad.err, "Usage: zefra-cli tween FILE.lbl --from N --count K [--to M]")) << args << "\n" << bad.err;
  }
  EXPECT_TRUE(has(runCli(dir, "tween --bogus").err, "zefra-cli tween: unknown option --bogus\n"));
  EXPECT_TRUE(has(runCli(dir, "tween " + quoted(file) + " --count 1 --from").err, "--from needs a value"));
  EXPECT_TRUE(has(runCli(dir, "tween " + quoted(file) + " --from x --count 1").err,
                  "--from must be a whole number of at least 1, not 'x'"));
  EXPECT_FALSE(std::filesystem::exists(dir / "--bogus"));

  const CliRun past = runCli(dir, "tween " + quoted(file) + " --from 4 --count 1");
  EXPECT_EQ(past.exitCode, 1);
  EXPECT_EQ(past.err, "zefra-cli tween: --from 4 is past the last frame: the project has 3 frames\n");

  const CliRun tooMany = runCli(dir, "tween " + quoted(file) + " --from 1 --count 125");
  EXPECT_EQ(tooMany.exitCode, 1);
  EXPECT_EQ(tooMany.err, "zefra-cli tween: Maximal numbers of frames is 127.\n");
  EXPECT_EQ(readBytes(file), before) << "a refused tween writes nothing";

  const std::string missing = (dir / "missing.lbl").string();
  const CliRun unreadable = runCli(dir, "tween " + quoted(missing) + " --from 1 --count 1");
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_EQ(unreadable.err, "zefra-cli tween: Error reading the file " + missing + ": No such file or directory\n");
}

}  // namespace
