// zefra-cli tween with --ease, --keep-delays and --to: the frames written, the report, and
// the requests it refuses without touching the file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "editor/editor.h"
#include "io/lbl_reader.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"

namespace {

using zefra::testing::readBytes;
using zefra::testing::TempDir;
namespace editor = zefra::editor;
namespace model = zefra::model;

zefra::testing::CliResult runCli(const TempDir& dir, const std::string& arguments) {
  return zefra::testing::runZefraCli(dir, arguments);
}
std::string quoted(const std::string& s) { return zefra::testing::shellQuoted(s); }

// Two frames: shape 1 at x = 0 (delay 100), then at x = 40 (delay 300).
std::string writeTwoFrames(const TempDir& dir, const std::string& name) {
  editor::Editor e("/nowhere/", 96);
  e.editFrames(editor::EditScope::CurrentFrame, "Shape", [](model::FrameRecord& f) {
    f.shapeStyle[0] = 1;
    f.shapeX[0] = 0;
    f.delayMs = 100;
  });
  e.insertFrame();
  e.editFrames(editor::EditScope::CurrentFrame, "Move", [](model::FrameRecord& f) {
    f.shapeX[0] = 40;
    f.delayMs = 300;
  });
  const std::string path = (dir / name).string();
  EXPECT_TRUE(e.saveAs(path).ok);
  return path;
}

struct Frames {
  std::vector<int> xs;
  std::vector<int> delays;
};

Frames read(const std::string& path) {
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  zefra::io::readLblFile(path, *project);
  Frames frames;
  for (int k = 1; k <= project->frameCount; ++k) {
    frames.xs.push_back(project->frame(k).shapeX[0]);
    frames.delays.push_back(project->frame(k).delayMs);
  }
  return frames;
}

TEST(CliTweenOptions, EasingAndKeptDelaysShapeTheNewFrames) {
  TempDir dir;
  const std::string file = writeTwoFrames(dir, "ease.lbl");
  const std::string out = (dir / "out.lbl").string();
  const auto run = runCli(dir, "tween " + quoted(file) + " --from 1 --count 3 --ease in-out --keep-delays -o " + quoted(out));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Inserted 3 frames between frame 1 and frame 2; wrote " + out + " with 5 frames\n");
  EXPECT_EQ(read(out).xs, (std::vector<int>{0, 6, 20, 34, 40}));
  EXPECT_EQ(read(out).delays, (std::vector<int>{100, 100, 100, 100, 300}));

  // Without --keep-delays the delays follow the curve as well.
  struct Curve {
    std::string name;
    std::vector<int> xs, delays;
  };
  const Curve curves[] = {{"in", {0, 2, 10, 22, 40}, {100, 112, 150, 212, 300}},
                          {"out", {0, 18, 30, 38, 40}, {100, 188, 250, 288, 300}},
                          {"linear", {0, 10, 20, 30, 40}, {100, 150, 200, 250, 300}}};
  for (const auto& [name, xs, delays] : curves) {
    const auto eased = runCli(dir, "tween " + quoted(file) + " --from 1 --count=3 --ease=" + name + " -o " + quoted(out));
    ASSERT_EQ(eased.exitCode, 0) << name << "\n" << eased.err;
    EXPECT_EQ(read(out).xs, xs) << name;
    EXPECT_EQ(read(out).delays, delays) << name;
  }
  // Without the new options the command writes what --ease linear writes, byte for byte.
  const std::string plain = (dir / "plain.lbl").string();
  ASSERT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 3 -o " + quoted(plain)).exitCode, 0);
  EXPECT_EQ(readBytes(plain), readBytes(out));
}

TEST(CliTweenOptions, ToReplacesTheFramesBetween) {
  TempDir dir;
  const std::string file = writeTwoFrames(dir, "redo.lbl");
  ASSERT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 4").exitCode, 0);
  ASSERT_EQ(read(file).xs, (std::vector<int>{0, 8, 16, 24, 32, 40}));
  const auto run = runCli(dir, "tween " + quoted(file) + " --from 1 --to 6 --count 3 --ease in-out --keep-delays");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Replaced 4 frames with 3 frames between frame 1 and frame 6; wrote " + file + " with 5 frames\n");
  EXPECT_EQ(read(file).xs, (std::vector<int>{0, 6, 20, 34, 40}));
  EXPECT_EQ(read(file).delays, (std::vector<int>{100, 100, 100, 100, 300}));
  // --to the next frame inserts, as without it.
  const auto next = runCli(dir, "tween " + quoted(file) + " --from 4 --to 5 --count 1");
  ASSERT_EQ(next.exitCode, 0) << next.err;
  EXPECT_EQ(next.out, "Inserted 1 frame between frame 4 and frame 5; wrote " + file + " with 6 frames\n");
  EXPECT_EQ(read(file).xs, (std::vector<int>{0, 6, 20, 34, 37, 40}));
}

TEST(CliTweenOptions, RefusesBadValuesAndTargetsWithoutWriting) {
  TempDir dir;
  const std::string file = writeTwoFrames(dir, "p.lbl");
  const auto before = readBytes(file);
  const auto badEase = runCli(dir, "tween " + quoted(file) + " --from 1 --count 1 --ease In-Out");
  EXPECT_EQ(badEase.exitCode, 2);
  EXPECT_TRUE(zefra::testing::contains(badEase.err, "--ease must be linear, in, out or in-out, not 'In-Out'"))
      << badEase.err;
  EXPECT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 1 --keep-delays=yes").exitCode, 2);
  EXPECT_EQ(runCli(dir, "tween " + quoted(file) + " --from 1 --count 1 --to 0").exitCode, 2);
  for (const std::string to : {"1", "3"}) {
    const auto bad = runCli(dir, "tween " + quoted(file) + " --from 1 --count 1 --to " + to);
    EXPECT_EQ(bad.exitCode, 1) << to;
    EXPECT_EQ(bad.err, "zefra-cli tween: --to " + to + " must name a frame after frame 1 and at most 2\n");
  }
  EXPECT_EQ(readBytes(file), before);
}

}  // namespace
