// How zefra-cli puts its output files in place, seen from a shell: a link planted where a
// temporary file might be expected is never followed, two runs writing the same output
// leave one whole file, names that use up the file system's 255 bytes can be written, and
// an export too large to read back is refused before anything is drawn.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "gif/gif_image.h"
#include "io/bmp_writer.h"
#include "io/lbl_writer.h"
#include "io/png_reader.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"

namespace zefra::testing {
namespace {

namespace fs = std::filesystem;

std::string q(const std::string& s) { return shellQuoted(s); }
std::string q(const fs::path& p) { return shellQuoted(p.string()); }
const std::string kCli = shellQuoted(ZEFRA_CLI_PATH);

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// Anything the writer could have left behind: the hidden temporary of the atomic writer or
// a name derived from the output's.
std::vector<std::string> leftoversIn(const fs::path& folder) {
  std::vector<std::string> found;
  for (const std::string& name : namesIn(folder)) {
    if (fs::is_symlink(folder / name)) continue;  // planted by the test
    if (name.rfind(".zefra-", 0) == 0 || name.find("tmp") != std::string::npos) found.push_back(name);
  }
  return found;
}

// A picture that compresses badly, so its GIF is large enough (tens of kilobytes) for two
// writers to overlap. `seed` makes the pictures of two runs differ.
raster::FastBitmap noisePicture(int w, int h, std::uint32_t seed) {
  raster::FastBitmap bitmap(w, h);
  std::uint32_t state = seed;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      state = state * 1103515245u + 12345u;
      bitmap.setPixel(x, y, state >> 8 & 0xFFFFFF);
    }
  return bitmap;
}

// A project of `frames` frames of w x h with one filled shape that moves, so each frame
// has something to draw, and `picture` (if any) in picture slot 1.
void writeProject(const fs::path& path, int frames, int w, int h, Color background, const fs::path& picture = {}) {
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  model::FrameRecord& f = p->frame(1);
  f.width = static_cast<std::int16_t>(w);
  f.height = static_cast<std::int16_t>(h);
  f.frameColor = background;
  f.shapeStyle[0] = 1;
  f.shapeY[0] = 5;
  f.shapeFillColor[0] = rgb(240, 200, 10);
  if (!picture.empty()) {
    f.pictureFile[0] = picture.string();
    f.pictureX[0] = 100;  // clear of the shape
  }
  for (int k = 2; k <= frames; ++k) p->frame(k) = f;
  for (int k = 1; k <= frames; ++k) p->frame(k).shapeX[0] = static_cast<std::int16_t>(10 * k);
  p->frameCount = static_cast<std::uint8_t>(frames);
  io::writeLblFile(path, *p);
}

// The number of frames the GIF reader finds in `path`; fails the test when it cannot read it.
int gifFramesIn(const fs::path& path) {
  gif::GifImage image;
  try {
    image.loadFromFile(path);
  } catch (const std::exception& e) {
    ADD_FAILURE() << path << " does not read back: " << e.what();
    return -1;
  }
  return image.frames().count();
}

// A shell command line whose standard output is collected; the exit status as the shell
// reports it.
int runShell(const std::string& command, std::string& out) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CliOutputWrites : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir / "work");
    fs::create_directory(dir / "elsewhere");
    work = dir / "work";
    project = work / "p.lbl";
    writeProject(project, 3, 120, 40, rgb(10, 20, 200));
    picture = work / "pic.bmp";
    io::writeBmpFile(noisePicture(64, 48, 7), picture.string());
  }
  CliResult run(const std::string& arguments) { return runZefraCli(dir, arguments, "cd " + q(work) + " && timeout 120"); }

  TempDir dir;
  fs::path work;     // inputs and outputs; the runner's own stderr file lives in `dir`
  fs::path project;  // 3 frames of 120 x 40
  fs::path picture;  // 64 x 48 BMP
};

// A link planted at the names a careless writer would use for its temporary file, pointing
// at a file of someone else's: the writer must create its own file instead of following
// the link, so the victim keeps its bytes and the link stays a link.
TEST_F(CliOutputWrites, LinksPlantedAtTemporaryNamesAreNeverFollowed) {
  const fs::path victim = dir / "elsewhere" / "victim.txt";
  const std::vector<std::uint8_t> victimBytes = {'k', 'e', 'e', 'p', ' ', 'm', 'e', '\n'};
  writeBytes(victim, victimBytes);

  struct Case {
    std::string output;
    std::string arguments;
  };
  const std::vector<Case> cases = {
      {"q.gif", "quantize " + q(picture) + " q.gif"},
      {"e.gif", "export " + q(project) + " e.gif"},
      {"r.png", "render " + q(project) + " r.png --frame 2"},
  };
  for (const Case& c : cases) {
    for (const char* suffix : {".zefra-tmp", ".tmp"}) fs::create_symlink(victim, work / (c.output + suffix));
    const std::set<std::string> before = namesIn(work);

    const CliResult r = run(c.arguments);
    EXPECT_EQ(r.exitCode, 0) << c.arguments << "\n" << r.err;
    EXPECT_EQ(readBytes(victim), victimBytes) << c.arguments << " wrote through a planted link";
    for (const char* suffix : {".zefra-tmp", ".tmp"}) {
      const fs::path link = work / (c.output + suffix);
      EXPECT_TRUE(fs::is_symlink(link)) << link;
      if (fs::is_symlink(link)) {
        EXPECT_EQ(fs::read_symlink(link), victim) << link;
      }
    }
    const fs::path output = work / c.output;
    EXPECT_FALSE(fs::is_symlink(output)) << c.output << " must be a file of its own, not the planted link";
    EXPECT_TRUE(fs::is_regular_file(output)) << c.output;

    std::set<std::string> expected = before;
    expected.insert(c.output);
    EXPECT_EQ(namesIn(work), expected) << c.arguments << ": only the output is new";
  }
  EXPECT_EQ(gifFramesIn(work / "q.gif"), 1);
  EXPECT_EQ(gifFramesIn(work / "e.gif"), 3);
  const raster::FastBitmap rendered = io::readPngFile(work / "r.png");
  EXPECT_EQ(rendered.width(), 120);
  EXPECT_EQ(rendered.height(), 40);
  EXPECT_TRUE(leftoversIn(work).empty());
}

// Two runs racing to write the same output: whichever rename comes last wins, and what is
// left is exactly one of the two complete files, never a mixture, and both runs succeed.
// A writer sharing one temporary name failed in a few per cent of the rounds, so there
// are twenty rounds per command.
TEST_F(CliOutputWrites, ConcurrentRunsOnOneOutputLeaveOneWholeFile) {
  struct Writer {
    std::string firstArgs;   // ... OUT appended
    std::string secondArgs;
    int frames;
  };
  const fs::path pictureB = work / "other.bmp";
  io::writeBmpFile(noisePicture(300, 200, 11), pictureB.string());
  io::writeBmpFile(noisePicture(300, 200, 12), picture.string());
  // The noise pictures make each frame of the exports large too.
  const fs::path projectB = work / "b.lbl";
  writeProject(projectB, 4, 400, 120, rgb(200, 30, 40), pictureB);
  writeProject(project, 4, 400, 120, rgb(20, 120, 40), picture);

  const std::vector<Writer> writers = {
      {"quantize " + q(picture), "quantize " + q(pictureB) + " --dither floyd", 1},
      // A fixed palette keeps the exports quick; the files still differ in every frame.
      {"export --palette netscape " + q(project), "export --palette netscape " + q(projectB), 4},
  };
  for (const Writer& w : writers) {
    // What each run writes on its own.
    ASSERT_EQ(run(w.firstArgs + " alone-1.gif").exitCode, 0);
    ASSERT_EQ(run(w.secondArgs + " alone-2.gif").exitCode, 0);
    const auto first = readBytes(work / "alone-1.gif");
    const auto second = readBytes(work / "alone-2.gif");
    ASSERT_NE(first, second) << "the two runs must write different files for the check to mean anything";
    ASSERT_GT(first.size(), 10000u) << w.firstArgs;

    for (int round = 0; round < 20; ++round) {
      fs::remove(work / "same.gif");
      const std::string both = "cd " + q(work) + " && { " + kCli + " " + w.firstArgs + " same.gif >/dev/null 2>&1 & a=$!; " +
                               kCli + " " + w.secondArgs + " same.gif >/dev/null 2>&1 & b=$!; " +
                               "wait $a; ra=$?; wait $b; rb=$?; echo $ra $rb; }";
      std::string codes;
      ASSERT_EQ(runShell(both, codes), 0);
      EXPECT_EQ(codes, "0 0\n") << w.firstArgs << ", round " << round;
      const auto result = readBytes(work / "same.gif");
      EXPECT_TRUE(result == first || result == second)
          << w.firstArgs << ", round " << round << ": " << result.size() << " bytes, neither run's file (" << first.size()
          << " or " << second.size() << " bytes)";
      EXPECT_EQ(gifFramesIn(work / "same.gif"), w.frames);
      EXPECT_TRUE(leftoversIn(work).empty()) << "round " << round;
    }
  }
}

// The temporary file's name must not grow with the output's: an output name of 250 to 255
// bytes (the file system's limit) is written by every command that writes one.
TEST_F(CliOutputWrites, OutputNamesUpTo255BytesAreWritten) {
  for (std::size_t length : {250u, 253u, 255u}) {
    const std::string gifName = std::string(length - 4, 'g') + ".gif";
    const std::string pngName = std::string(length - 4, 'r') + ".png";
    const std::string quantized = std::string(length - 5, 'q') + "q.gif";
    ASSERT_EQ(gifName.size(), length);
    ASSERT_EQ(quantized.size(), length);

    const CliResult exported = run("export " + q(project) + " " + q(gifName));
    EXPECT_EQ(exported.exitCode, 0) << length << ": " << exported.err;
    EXPECT_EQ(gifFramesIn(work / gifName), 3) << length;

    const CliResult rendered = run("render " + q(project) + " " + q(pngName));
    EXPECT_EQ(rendered.exitCode, 0) << length << ": " << rendered.err;
    EXPECT_EQ(io::readPngFile(work / pngName).width(), 120) << length;

    const CliResult reduced = run("quantize " + q(picture) + " " + q(quantized));
    EXPECT_EQ(reduced.exitCode, 0) << length << ": " << reduced.err;
    EXPECT_EQ(gifFramesIn(work / quantized), 1) << length;
  }
  EXPECT_TRUE(leftoversIn(work).empty());
  // Inputs plus three outputs per length.
  EXPECT_EQ(namesIn(work).size(), 2u + 3u * 3u);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers reserve far more address space than the limit below.
const std::string kSmallAddressSpace;
#else
// Far less than drawing one 4096 x 4096 frame takes with its canvas and indices: an export
// that started rendering would fail with another message.
const std::string kSmallAddressSpace = "ulimit -v 400000; ";
#endif

// An export whose frames hold more pixels than a GIF the reader takes back is refused
// before any frame is drawn, and the message names the size.
TEST_F(CliOutputWrites, AnExportTooLargeToReadBackIsRefusedUpFront) {
  struct Huge {
    int frames;
    std::string pixels;
    std::string megabytes;
  };
  // 4096 x 4096 = 16777216 pixels a frame; the limit is 2^27 = 134217728, 8 such frames.
  for (const Huge& h : {Huge{127, "2130706432", "8128"}, Huge{9, "150994944", "576"}}) {
    const fs::path big = work / ("big" + std::to_string(h.frames) + ".lbl");
    writeProject(big, h.frames, 4096, 4096, rgb(0, 0, 0));
    const CliResult r = runZefraCli(dir, "export " + q(big) + " " + q(work / "big.gif"),
                                    "cd " + q(work) + " && " + kSmallAddressSpace + "timeout 120");
    EXPECT_EQ(r.exitCode, 1) << h.frames;
    EXPECT_EQ(r.err, "zefra-cli export: the export needs " + h.pixels + " pixels (about " +
                         h.megabytes + " MB of memory) for " + std::to_string(h.frames) +
                         " frames; the limit is 134217728 pixels, the most a GIF Zefra reads back may hold\n")
        << h.frames;
    EXPECT_FALSE(fs::exists(work / "big.gif"));
  }
  EXPECT_TRUE(leftoversIn(work).empty());
}

}  // namespace
}  // namespace zefra::testing
