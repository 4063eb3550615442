// zefra-cli import-gif, end to end: GIFs built here byte by byte (plain frames, each
// disposal, transparency over changing sub-rectangles) imported into a project and
// exported again show the same frames as the source GIF decoded by Pillow (an independent
// decoder); the imported pictures themselves are exact. Errors and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "gif/gif_builder.h"
#include "io/lbl_test_files.h"

namespace {

namespace fs = std::filesystem;
using zefra::testing::readBytes;
using zefra::testing::TempDir;

using zefra::testing::BuiltFrame;
using zefra::testing::BuiltGif;
using zefra::testing::solidFrame;
using zefra::testing::writeGif;
const fs::path kScript = fs::path(ZEFRA_SOURCE_DIR) / "tests" / "cli" / "gif_frames_psnr.py";

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& s) { return "'" + s + "'"; }

Outcome run(const TempDir& dir, const std::string& command) {
  const std::string errFile = (dir / "stderr.txt").string();
  Outcome result;
  FILE* pipe = ::popen((command + " 2>" + quoted(errFile)).c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto err = readBytes(errFile);
  result.err.assign(err.begin(), err.end());
  return result;
}

Outcome cli(const TempDir& dir, const std::string& arguments) { return run(dir, quoted(ZEFRA_CLI_PATH) + " " + arguments); }

// A Python with Pillow: the system one first (a user's own Python may lack it).
std::string pythonWithPillow(const TempDir& dir) {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    if (run(dir, std::string(python) + " -c 'import PIL'").exitCode == 0) return python;
  }
  return {};
}

// Per-frame PSNR lines of the comparison script: the frame counts, then one value each.
struct Comparison {
  int sourceFrames = -1;
  int otherFrames = -1;
  std::vector<double> psnr;
};

Comparison compare(const TempDir& dir, const std::string& python, const std::string& arguments) {
  const Outcome r = run(dir, python + " " + quoted(kScript.string()) + " " + arguments);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  Comparison c;
  std::istringstream lines(r.out);
  std::string word;
  lines >> word >> c.sourceFrames >> c.otherFrames;
  int frame;
  std::string value;
  while (lines >> frame >> value)
    c.psnr.push_back(value == "inf" ? std::numeric_limits<double>::infinity() : std::stod(value));
  return c;
}

#define NEED_PILLOW(dir, python)                  \
  const std::string python = pythonWithPillow(dir); \
  if (python.empty()) GTEST_SKIP() << "no python3 with Pillow (package python3-pil)"

BuiltGif eightColours(int width, int height) {
  BuiltGif gif;
  gif.width = width;
  gif.height = height;
  gif.palette = {{0, 0, 0}, {255, 255, 255}, {220, 20, 20}, {20, 20, 220}, {20, 160, 20}, {250, 200, 0}, {120, 0, 120}, {0, 128, 128}};
  return gif;
}

// Four frames of 64 x 48, red and blue in turn, shown 10, 20, 30 and 40 hundredths.
fs::path redBlue(const fs::path& folder) {
  BuiltGif gif = eightColours(64, 48);
  for (int k = 1; k <= 4; ++k) gif.frames.push_back(solidFrame(0, 0, 64, 48, k % 2 ? 2 : 3, 10 * k));
  return writeGif(folder / "animated-red-blue.gif", gif);
}

// A striped frame of `width` x `height` in the colours from `first`.
BuiltFrame stripes(int left, int top, int width, int height, int first) {
  BuiltFrame f = solidFrame(left, top, width, height, 0);
  for (std::size_t i = 0; i < f.indices.size(); ++i)
    f.indices[i] = static_cast<std::uint8_t>(2 + (first + static_cast<int>(i % static_cast<std::size_t>(width)) / 3) % 6);
  return f;
}

// The kinds of animation an import meets, each in a file of its own.
std::vector<fs::path> animations(const fs::path& folder) {
  std::vector<fs::path> files;
  BuiltGif plain = eightColours(30, 20);
  for (int k = 0; k < 4; ++k) plain.frames.push_back(stripes(0, 0, 30, 20, k));
  files.push_back(writeGif(folder / "animation.gif", plain));
  // Restore-to-background is left out: Pillow fills with the background colour where
  // browsers (and Zefra) clear to transparent; the editor's tests check it by hand.
  for (const int disposal : {1, 3}) {
    BuiltGif gif = eightColours(30, 20);
    gif.frames.push_back(stripes(0, 0, 30, 20, 0));
    for (int k = 1; k < 5; ++k) {
      BuiltFrame f = stripes(3 * k, 2 * k, 10, 8, k + 3);  // unlike what it covers
      f.disposal = disposal;
      gif.frames.push_back(f);
    }
    files.push_back(writeGif(folder / ("dispose-" + std::to_string(disposal) + ".gif"), gif));
  }
  // Transparency over changing sub-rectangles of a kept picture, 24 frames.
  BuiltGif moving = eightColours(64, 48);
  BuiltFrame first = stripes(0, 0, 64, 48, 0);
  first.transparent = 2;
  moving.frames.push_back(first);
  for (int k = 1; k < 24; ++k) {
    BuiltFrame f = stripes((k * 7) % 50, (k * 5) % 36, 14, 12, k);
    f.transparent = 2 + k % 6;
    f.disposal = k % 2 ? 1 : 3;
    moving.frames.push_back(f);
  }
  files.push_back(writeGif(folder / "moving.gif", moving));
  files.push_back(redBlue(folder));
  return files;
}

TEST(CliImportGif, ImportedAndExportedFramesMatchTheSourceAsPillowDecodesIt) {
  TempDir dir;
  NEED_PILLOW(dir, python);
  TempDir sources;
  for (const fs::path& gif : animations(sources.path)) {
    SCOPED_TRACE(gif.filename().string());
    const std::string project = (dir / (gif.stem().string() + ".lbl")).string();
    const Outcome imported = cli(dir, "import-gif " + quoted(gif.string()) + " " + quoted(project));
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const std::string exported = (dir / "out.gif").string();
    const Outcome written = cli(dir, "export " + quoted(project) + " " + quoted(exported));
    ASSERT_EQ(written.exitCode, 0) << written.err;
    // Transparent pixels show the new project's frame colour, in both.
    const Comparison c = compare(dir, python, quoted(gif.string()) + " " + quoted(exported) + " '#888888'");
    EXPECT_EQ(c.sourceFrames, c.otherFrames);
    ASSERT_EQ(c.psnr.size(), static_cast<std::size_t>(c.sourceFrames));
    for (std::size_t i = 0; i < c.psnr.size(); ++i) EXPECT_GT(c.psnr[i], 40.0) << "frame " << i + 1;
  }
}

TEST(CliImportGif, PicturesOfARealAnimationAreExactAndTheProjectTakesItsSize) {
  TempDir dir;
  NEED_PILLOW(dir, python);
  TempDir sources;
  const fs::path gif = redBlue(sources.path);
  const std::string project = (dir / "banner.lbl").string();
  const Outcome imported = cli(dir, "import-gif " + quoted(gif.string()) + " " + quoted(project));
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.out.substr(0, imported.out.find('\n')),
            "Imported 4 frames from " + gif.string() + "; wrote " + project + " with 4 frames of 64 x 48");
  EXPECT_NE(imported.out.find((dir / "animated-red-blue_004.bmp").string()), std::string::npos) << imported.out;
  const Comparison c =
      compare(dir, python, quoted(gif.string()) + " --bmp " + quoted((dir / "animated-red-blue_%03d.bmp").string()) +
                               " '#888888'");
  ASSERT_EQ(c.psnr.size(), 4u);
  for (double value : c.psnr) EXPECT_EQ(value, std::numeric_limits<double>::infinity());

  const Outcome info = cli(dir, "info " + quoted(project));
  EXPECT_NE(info.out.find("Frames: 4\nSize: 64 x 48\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Frame 2: delay 200 ms; texts -; pictures 1; shapes -; textures -\n"), std::string::npos)
      << info.out;

  // Importing again appends (the project is no longer empty) and reuses the pictures.
  const Outcome again = cli(dir, "import-gif " + quoted(gif.string()) + " " + quoted(project));
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_NE(again.out.find("with 8 frames of 64 x 48"), std::string::npos) << again.out;
  EXPECT_FALSE(fs::exists(dir / "animated-red-blue_001-2.bmp"));
}

TEST(CliImportGif, ReportsBadUsageAndFilesItCannotUse) {
  TempDir dir;
  const std::string project = (dir / "p.lbl").string();
  EXPECT_EQ(cli(dir, "import-gif only-one.gif").exitCode, 2);
  EXPECT_EQ(cli(dir, "import-gif a.gif b.lbl --fast").exitCode, 2);

  const std::string missing = (dir / "missing.gif").string();
  const Outcome unreadable = cli(dir, "import-gif " + quoted(missing) + " " + quoted(project));
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_EQ(unreadable.err.rfind("zefra-cli import-gif: Error reading the file " + missing, 0), 0u) << unreadable.err;
  EXPECT_FALSE(fs::exists(project));

  BuiltGif long128 = eightColours(4, 4);
  for (int k = 0; k < 128; ++k) long128.frames.push_back(solidFrame(0, 0, 4, 4, static_cast<std::uint8_t>(k % 8)));
  const fs::path longGif = writeGif(dir / "long.gif", long128);
  const Outcome tooLong = cli(dir, "import-gif " + quoted(longGif.string()) + " " + quoted(project));
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_EQ(tooLong.err, "zefra-cli import-gif: Maximal numbers of frames is 127.\n");
  EXPECT_FALSE(fs::exists(project));
  for (const auto& entry : fs::directory_iterator(dir / "")) EXPECT_NE(entry.path().extension(), ".bmp");
}

}  // namespace
