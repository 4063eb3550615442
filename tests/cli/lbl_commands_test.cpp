// zefra-cli new, info and convert, run as a user would run them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/cli_run.h"
#include "io/lbl_test_files.h"

namespace {

using zefra::testing::readBytes;
using zefra::testing::TempDir;
using zefra::testing::V102Frame;
using zefra::testing::v102File;
using zefra::testing::writeBytes;

// The shared runner of tests/cli; short local names keep the tests readable.
using CliRun = zefra::testing::CliResult;
std::string quoted(const std::string& s) { return zefra::testing::shellQuoted(s); }
CliRun runCli(const TempDir& dir, const std::string& arguments) { return zefra::testing::runZefraCli(dir, arguments); }
bool has(const std::string& text, const std::string& part) { return zefra::testing::contains(text, part); }

TEST(CliLbl, NewWritesTheDefaultProjectThatInfoDescribes) {
  TempDir dir;
  const std::string file = (dir / "new.lbl").string();
  const CliRun created = runCli(dir, "new " + quoted(file));
  ASSERT_EQ(created.exitCode, 0) << created.err;
  EXPECT_EQ(readBytes(file).size(), 10852u);

  const CliRun info = runCli(dir, "info " + quoted(file));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_TRUE(has(info.out, "Format: LB1\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Frames: 1\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Size: 468 x 60\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Design DPI: 96\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Transparent: no\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Transparent colour: #888888\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Palette: Windows\nColours: 256\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Frame 1: delay 100 ms; texts -; pictures -; shapes -; textures -\n")) << info.out;
}

TEST(CliLbl, ConvertUpgradesA102FileAndInfoShowsTheConvertedValues) {
  TempDir dir;
  const std::string oldFile = (dir / "old.lbl").string();
  const std::string newFile = (dir / "converted.lbl").string();
  writeBytes(oldFile, v102File({
                          V102Frame()
                              .delay(120)
                              .size(300, 40)
                              .backgroundMode(2)
                              .frameColor(0x00332211)  // red 0x11, green 0x22, blue 0x33
                              .palette(1, 2)
                              .text(1, "One")
                              .text(3, "Three")
                              .picture(2, "logo.bmp"),
                          V102Frame().delay(450).size(300, 40).text(5, "Five"),
                      }));

  const CliRun info102 = runCli(dir, "info " + quoted(oldFile));
  ASSERT_EQ(info102.exitCode, 0) << info102.err;
  EXPECT_TRUE(has(info102.out, "Format: 1.02\n")) << info102.out;

  const CliRun converted = runCli(dir, "convert " + quoted(oldFile) + " " + quoted(newFile));
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  EXPECT_TRUE(has(converted.err, "has been created with Zefra 1.02")) << converted.err;
  EXPECT_EQ(readBytes(newFile).size(), 2 * 10852u);

  const CliRun info = runCli(dir, "info " + quoted(newFile));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_TRUE(has(info.out, "Format: LB1\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Frames: 2\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Size: 300 x 40\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Design DPI: 96\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Transparent: yes\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Transparent colour: #112233\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Palette: Netscape\nColours: 16\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Frame 1: delay 120 ms; texts 1,3; pictures 2; shapes -; textures -\n")) << info.out;
  EXPECT_TRUE(has(info.out, "Frame 2: delay 450 ms; texts 5; pictures -; shapes -; textures -\n")) << info.out;
}

// Every refusal keeps the editor's message first, then says why.
TEST(CliLbl, ReadErrorsSayWhy) {
  TempDir dir;
  const std::string file = (dir / "p.lbl").string();
  ASSERT_EQ(runCli(dir, "new " + quoted(file)).exitCode, 0);
  const std::vector<std::uint8_t> good = readBytes(file);
  ASSERT_EQ(good.size(), 10852u);
  const auto refusal = [&](std::vector<std::uint8_t> bytes) {
    writeBytes(file, bytes);
    const CliRun run = runCli(dir, "info " + quoted(file));
    EXPECT_EQ(run.exitCode, 1);
    const std::string prefix = "zefra-cli info: Error reading the file " + file + ": ";
    EXPECT_EQ(run.err.rfind(prefix, 0), 0u) << run.err;
    return run.err.substr(std::min(prefix.size(), run.err.size()));
  };
  EXPECT_EQ(refusal({'G', 'I', 'F', '8', '9', 'a', 0, 0}), "not a Zefra project\n");
  EXPECT_EQ(refusal({0x05, 0x4C}), "too short for a project\n");
  auto zeroFrames = good;
  zeroFrames[4] = 0;
  EXPECT_EQ(refusal(zeroFrames), "frame count 0 is outside 1 to 127\n");
  auto twoFrames = good;
  twoFrames[4] = 2;
  EXPECT_EQ(refusal(twoFrames), "too short for its 2 frames (10852 of 21704 bytes)\n");
  auto wide = good;
  wide[20] = 0x01;  // width 8193 = 0x2001
  wide[21] = 0x20;
  EXPECT_EQ(refusal(wide),
            "frame 1 is 8193 x 60 pixels, over the limit of 8192 per side and 16777216 pixels in all, or empty\n");
  EXPECT_EQ(refusal({}), "too short for a project\n");
  std::filesystem::remove(file);
  const CliRun missing = runCli(dir, "info " + quoted(file));
  EXPECT_EQ(missing.err, "zefra-cli info: Error reading the file " + file + ": No such file or directory\n");
}

TEST(CliLbl, ErrorsGoToStderrWithANonZeroExit) {
  TempDir dir;
  const std::string junk = (dir / "junk.lbl").string();
  writeBytes(junk, {0x05, 0x4C, 0x42, 0x31, 9});
  const CliRun bad = runCli(dir, "info " + quoted(junk));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_TRUE(bad.out.empty()) << bad.out;
  EXPECT_EQ(bad.err, "zefra-cli info: Error reading the file " + junk + ": too short for a project\n");

  const CliRun convertBad = runCli(dir, "convert " + quoted(junk) + " " + quoted((dir / "out.lbl").string()));
  EXPECT_EQ(convertBad.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.lbl"));

  const CliRun noFolder = runCli(dir, "new " + quoted((dir / "missing" / "x.lbl").string()));
  EXPECT_EQ(noFolder.exitCode, 1);
  EXPECT_TRUE(has(noFolder.err, "No such file or directory")) << noFolder.err;

  EXPECT_EQ(runCli(dir, "convert only-one.lbl").exitCode, 2);
  EXPECT_EQ(runCli(dir, "new").exitCode, 2);
}

}  // namespace
