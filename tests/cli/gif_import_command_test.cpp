// zefra-cli import-gif, end to end: a GIF of the conformance suites imported into a project
// and exported again shows the same frames as the source GIF decoded by Pillow (an
// independent decoder); the imported pictures themselves are exact. Errors and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "io/lbl_test_files.h"

namespace {

namespace fs = std::filesystem;
using zefra::testing::readBytes;
using zefra::testing::TempDir;

const fs::path kSuite = fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite" / "pygif-test-suite";
const fs::path kWuffs = fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite" / "wuffs-test-data";
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

#define NEED_TESTDATA_AND_PILLOW(dir, python)                                                  \
  if (!fs::exists(kSuite)) GTEST_SKIP() << "test data not found at " << kSuite.string();      \
  const std::string python = pythonWithPillow(dir);                                           \
  if (python.empty()) GTEST_SKIP() << "no python3 with Pillow (package python3-pil)"

TEST(CliImportGif, ImportedAndExportedFramesMatchTheSourceAsPillowDecodesIt) {
  TempDir dir;
  NEED_TESTDATA_AND_PILLOW(dir, python);
  // Plain frames, restore-to-previous disposal, a transparent GIF, and two real
  // animations (one with transparency over changing sub-rectangles).
  for (const fs::path& gif : {kSuite / "animation.gif", kSuite / "dispose-restore-previous.gif",
                              kSuite / "dispose-keep.gif", kSuite / "transparent.gif",
                              kWuffs / "animated-red-blue.gif", kWuffs / "muybridge.gif"}) {
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
  NEED_TESTDATA_AND_PILLOW(dir, python);
  const fs::path gif = kWuffs / "animated-red-blue.gif";
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
  if (!fs::exists(kSuite)) GTEST_SKIP() << "test data not found at " << kSuite.string();
  const std::string project = (dir / "p.lbl").string();
  EXPECT_EQ(cli(dir, "import-gif only-one.gif").exitCode, 2);
  EXPECT_EQ(cli(dir, "import-gif a.gif b.lbl --fast").exitCode, 2);

  const std::string missing = (dir / "missing.gif").string();
  const Outcome unreadable = cli(dir, "import-gif " + quoted(missing) + " " + quoted(project));
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_EQ(unreadable.err.rfind("zefra-cli import-gif: Error reading the file " + missing, 0), 0u) << unreadable.err;
  EXPECT_FALSE(fs::exists(project));

  const Outcome tooLong = cli(dir, "import-gif " + quoted((kWuffs / "gifplayer-muybridge.gif").string()) + " " + quoted(project));
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_EQ(tooLong.err, "zefra-cli import-gif: Maximal numbers of frames is 127.\n");
  EXPECT_FALSE(fs::exists(project));
  for (const auto& entry : fs::directory_iterator(dir / "")) EXPECT_NE(entry.path().extension(), ".bmp");
}

}  // namespace
