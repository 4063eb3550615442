// zefra-cli against hostile inputs and outputs, end to end: import-gif with names taken by
// FIFOs and devices, screens no picture can have, outputs that are system files or the
// files a project reads, texts that are not UTF-8 or carry terminal controls, PNG chunks
// that claim gigabytes, GIF blocks viewers skip, pipes as inputs, signals during a write
// and the smaller messages.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "gif/gif_builder.h"
#include "io/bmp_writer.h"
#include "io/lbl_writer.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"

namespace zefra::testing {
namespace {

namespace fs = std::filesystem;

std::string q(const fs::path& p) { return shellQuoted(p.string()); }

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const std::string kMemoryLimit;  // the sanitizers reserve more address space than any limit
#else
const std::string kMemoryLimit = "ulimit -v 400000; ";
#endif

BuiltGif smallAnimation() {
  BuiltGif gif;
  gif.width = 6;
  gif.height = 4;
  gif.palette = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
  gif.frames = {solidFrame(0, 0, 6, 4, 2), solidFrame(0, 0, 6, 4, 3)};
  return gif;
}

// A project of one 60 x 20 frame; `edit` fills in what a test needs.
template <typename Edit>
fs::path writeProject(const fs::path& path, Edit edit, int frames = 1) {
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->frame(1).width = 60;
  p->frame(1).height = 20;
  for (int k = 2; k <= frames; ++k) p->frame(k) = p->frame(1);
  p->frameCount = static_cast<std::uint8_t>(frames);
  edit(*p);
  io::writeLblFile(path, *p);
  return path;
}

fs::path plainProject(const fs::path& path, int frames = 1) {
  return writeProject(path, [](model::LabelProject&) {}, frames);
}

std::vector<fs::path> bitmapsIn(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".bmp") found.push_back(entry.path());
  return found;
}

bool hasControlBytes(const std::string& text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) return true;
  }
  return false;
}

TEST(CliHostileInputs, ImportGifPassesOverFifosDevicesAndFoldersAtPictureNames) {
  TempDir dir;
  const fs::path gif = writeGif(dir / "anim.gif", smallAnimation());
  ASSERT_EQ(::mkfifo((dir / "anim_001.bmp").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "anim_002.bmp");
  fs::create_directory(dir / "anim_001-2.bmp");
  // timeout: the run before the fix waited for ever on the FIFO.
  const CliResult r = runZefraCli(dir, "import-gif " + q(gif) + " " + q(dir / "p.lbl"), "timeout 20");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(contains(r.out, (dir / "anim_001-3.bmp").string())) << r.out;
  EXPECT_TRUE(contains(r.out, (dir / "anim_002-2.bmp").string())) << r.out;
  EXPECT_TRUE(fs::is_fifo(dir / "anim_001.bmp"));
  EXPECT_TRUE(fs::is_symlink(dir / "anim_002.bmp"));
}

TEST(CliHostileInputs, ImportGifRefusesScreensNoPictureCanHaveBeforeWritingAnything) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl", 2);
  const std::vector<std::uint8_t> before = readBytes(project);
  for (const int side : {16384, 5792}) {
    BuiltGif gif = smallAnimation();
    gif.width = gif.height = side;
    gif.frames.clear();
    for (int k = 0; k < 20; ++k) gif.frames.push_back(solidFrame(k, 0, 1, 1, 2));
    const fs::path file = writeGif(dir / ("screen" + std::to_string(side) + ".gif"), gif);
    // Within a 400 MB address space: the screen is refused from the header.
    const CliResult r = runZefraCli(dir, "import-gif " + q(file) + " " + q(project), kMemoryLimit + "timeout 20");
    EXPECT_EQ(r.exitCode, 1) << side;
    const std::string size = std::to_string(side) + " x " + std::to_string(side);
    EXPECT_TRUE(contains(r.err, "is " + size + " pixels; a picture can have at most 8192 pixels a side")) << r.err;
    EXPECT_FALSE(contains(r.err, "bad_alloc")) << r.err;
  }
  EXPECT_EQ(readBytes(project), before);
  EXPECT_TRUE(bitmapsIn(dir.path).empty());
}

TEST(CliHostileInputs, CommandsThatWriteProjectsRefuseSystemFiles) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl", 2);
  const fs::path gif = writeGif(dir / "anim.gif", smallAnimation());
  // A name in /dev no device has: a command that still wrote there (as root) would leave a
  // file, removed again below, rather than replacing /dev/null.
  const fs::path device = "/dev/zefra-test-" + std::to_string(::getpid()) + ".lbl";
  for (const std::string& args : {"tween " + q(project) + " --from 1 --count 1 -o " + q(device),
                                  "import-gif " + q(gif) + " " + q(device), "convert " + q(project) + " " + q(device)}) {
    const CliResult r = runZefraCli(dir, args);
    EXPECT_EQ(r.exitCode, 1) << args;
    EXPECT_TRUE(contains(r.err, device.string() + " is a system file")) << args << "\n" << r.err;
    std::error_code ec;
    EXPECT_FALSE(fs::exists(device, ec)) << args;
    fs::remove(device, ec);
  }
  EXPECT_TRUE(bitmapsIn(dir.path).empty());
}

TEST(CliHostileInputs, ExportAndRenderNeverReplaceThePicturesAndTexturesTheyRead) {
  TempDir dir;
  const fs::path spinner = writeGif(dir / "spinner.gif", smallAnimation());
  raster::FastBitmap logo(8, 8);
  logo.fill(rgb(200, 10, 10));
  io::writeBmpFile(logo, (dir / "logo.bmp").string());
  io::writeBmpFile(logo, (dir / "wood.bmp").string());
  const fs::path project = writeProject(dir / "picture-banner.lbl", [&](model::LabelProject& p) {
    p.frame(1).pictureFile[0] = spinner.string();
    p.frame(1).pictureFile[3] = "logo.bmp";  // found beside the project
    p.frame(1).text[0] = "Hi";
    p.frame(1).textureFile[0] = "wood.bmp";
  });
  const auto before = [&](const char* name) { return readBytes(dir / name); };
  const std::vector<std::uint8_t> spinnerBytes = before("spinner.gif"), logoBytes = before("logo.bmp"),
                                  woodBytes = before("wood.bmp");
  for (const std::string& args :
       {"export " + q(project) + " spinner.gif", "render " + q(project) + " logo.bmp", "render " + q(project) + " " +
        q(dir / "wood.bmp"), "export " + q(project) + " " + q(dir / "." / "spinner.gif")}) {
    const CliResult r = runZefraCli(dir, args);
    EXPECT_EQ(r.exitCode, 1) << args << "\n" << r.err;
    EXPECT_TRUE(contains(r.err, "is the input file")) << args << "\n" << r.err;
  }
  EXPECT_EQ(before("spinner.gif"), spinnerBytes);
  EXPECT_EQ(before("logo.bmp"), logoBytes);
  EXPECT_EQ(before("wood.bmp"), woodBytes);
}

// Texts of a project are 8-bit text; bytes that are not strict UTF-8 (overlong forms,
// surrogates, lead bytes past F4) are read as Latin-1 and escaped.
TEST(CliHostileInputs, JsonOutputIsStrictUtf8) {
  TempDir dir;
  const std::vector<std::string> hostile = {"\xc0\x80", "\xf5\x80\x80\x80", "\xed\xa0\x80", "\xe0\x80\xaf",
                                            "\xf4\x90\x80\x80", "caf\xc3\xa9"};
  const fs::path project = writeProject(dir / "p.lbl", [&](model::LabelProject& p) {
    for (std::size_t i = 0; i < hostile.size(); ++i) p.frame(1).pictureFile[i] = hostile[i] + ".bmp";
  });
  // The names go through the info --json "file" field as the project's own name.
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    const fs::path copy = dir / (hostile[i] + ".lbl");
    fs::copy_file(project, copy);
    const CliResult r = runZefraCli(dir, "info --json " + q(copy));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string field = r.out.substr(0, r.out.find(", \"format\""));
    const std::vector<std::string> expected = {"\\u00c0\\u0080", "\\u00f5\\u0080\\u0080\\u0080", "\\u00ed\\u00a0\\u0080",
                                               "\\u00e0\\u0080\\u00af", "\\u00f4\\u0090\\u0080\\u0080", "caf\xc3\xa9"};
    EXPECT_TRUE(contains(field, expected[i] + ".lbl\"")) << i << ": " << field;
  }
}

TEST(CliHostileInputs, TerminalControlsInTextsAndNamesAreEscaped) {
  TempDir dir;
  const std::string title = "\x1b]0;owned\x07";
  const std::string clear = "\x1b[2J\xc2\x9b" "31m";
  const fs::path project = writeProject(dir / "p.lbl", [&](model::LabelProject& p) {
    p.frame(1).text[0] = title + "Sale" + "\x7f";
    p.frame(1).pictureFile[1] = clear + ".bmp";
  });
  const CliResult info = runZefraCli(dir, "info " + q(project));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_FALSE(hasControlBytes(info.out));
  EXPECT_TRUE(contains(info.out, "\"\\x1b]0;owned\\x07Sale\\x7f\"")) << info.out;
  EXPECT_TRUE(contains(info.out, "\\x1b[2J\\u009b31m.bmp")) << info.out;
  // A warning naming the picture, and an error naming a file.
  const CliResult render = runZefraCli(dir, "render " + q(project) + " " + q(dir / "o.png"));
  EXPECT_EQ(render.exitCode, 0) << render.err;
  EXPECT_TRUE(contains(render.err, "\\x1b[2J")) << render.err;
  EXPECT_FALSE(hasControlBytes(render.err)) << render.err;
  const CliResult missing = runZefraCli(dir, "info " + q(dir / ("x" + title + ".lbl")));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(hasControlBytes(missing.err)) << missing.err;
}

TEST(CliHostileInputs, PngChunksClaimingMoreThanTheFileAreRefusedAtOnce) {
  TempDir dir;
  // 44 bytes: signature, a 1 x 1 header, a tEXt chunk claiming 2^31 - 1 bytes.
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                   0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0, 0x3A, 0x7E, 0x9B, 0x55,
                                   0x7F, 0xFF, 0xFF, 0xFF, 't', 'E', 'X', 't', 'k', 0, 'v'};
  ASSERT_EQ(png.size(), 44u);
  writeBytes(dir / "text.png", png);
  const CliResult r =
      runZefraCli(dir, "quantize " + q(dir / "text.png") + " " + q(dir / "o.gif"), kMemoryLimit + "timeout 20");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(contains(r.err, "a chunk claims 2147483647 bytes, more than the file holds")) << r.err;
  EXPECT_FALSE(fs::exists(dir / "o.gif"));
}

// Blocks browsers and other decoders pass over: the file is shown, with a warning.
TEST(CliHostileInputs, GifBlocksViewersSkipAreSkippedWithAWarning) {
  TempDir dir;
  struct Case {
    std::string name;
    std::vector<std::uint8_t> block;
    std::string warning;
  };
  const std::vector<Case> cases = {
      {"unknown-label", {0x21, 0x99, 3, 'a', 'b', 'c', 0}, "Unknown extension type 0x99 skipped"},
      {"netscape-id2", {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 2, 7, 0},
       "NETSCAPE sub-block 2 of 2 bytes skipped"},
      {"netscape-1byte", {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 1, 1, 0},
       "NETSCAPE sub-block 1 of 1 bytes skipped"},
  };
  std::vector<Case> all = cases;
  Case big{"app-255", {0x21, 0xFF, 255}, "Application Extension block of 255 bytes read as 11"};
  for (int i = 0; i < 255; ++i) big.block.push_back(static_cast<std::uint8_t>('A' + i % 26));
  big.block.insert(big.block.end(), {2, 'x', 'y', 0});
  all.push_back(big);
  for (const Case& c : all) {
    BuiltGif gif = smallAnimation();
    gif.frames[1].before = c.block;
    const fs::path file = writeGif(dir / (c.name + ".gif"), gif);
    const CliResult r = runZefraCli(dir, "gif-info " + q(file));
    EXPECT_EQ(r.exitCode, 0) << c.name << "\n" << r.err;
    EXPECT_TRUE(contains(r.out, "frame 1 left 0 top 0 width 6 height 4")) << c.name << "\n" << r.out;
    EXPECT_TRUE(contains(r.out, "warning " + c.warning)) << c.name << "\n" << r.out;
  }
}

TEST(CliHostileInputs, ProjectsAndGifsAreReadFromPipesAndStandardInput) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl", 3);
  const fs::path gif = writeGif(dir / "anim.gif", smallAnimation());
  const CliResult dash = runZefraCli(dir, "info - < " + q(project));
  EXPECT_EQ(dash.exitCode, 0) << dash.err;
  EXPECT_TRUE(contains(dash.out, "Frames: 3")) << dash.out;
  const CliResult piped = runZefraCli(dir, "gif-info - < " + q(gif) + " && cat " + q(gif) + " | " +
                                                shellQuoted(ZEFRA_CLI_PATH) + " gif-info /dev/stdin");
  EXPECT_EQ(piped.exitCode, 0) << piped.err;
  const std::size_t first = piped.out.find("screen 6 4 colors 4");
  ASSERT_NE(first, std::string::npos) << piped.out;
  EXPECT_NE(piped.out.find("screen 6 4 colors 4", first + 1), std::string::npos) << piped.out;
  const CliResult render = runZefraCli(dir, "render - " + q(dir / "o.png"), "cat " + q(project) + " |");
  EXPECT_EQ(render.exitCode, 0) << render.err;
  EXPECT_TRUE(fs::exists(dir / "o.png"));
  // A picture to reduce, from standard input: its first bytes tell PNG from BMP.
  raster::FastBitmap picture(5, 3);
  picture.fill(rgb(0, 128, 255));
  io::writeBmpFile(picture, (dir / "pic.bmp").string());
  const CliResult quantize = runZefraCli(dir, "quantize - " + q(dir / "q.gif") + " < " + q(dir / "pic.bmp"));
  EXPECT_EQ(quantize.exitCode, 0) << quantize.err;
  EXPECT_TRUE(contains(quantize.out, "5 x 3, 1 colours")) << quantize.out;
  const CliResult notPicture = runZefraCli(dir, "quantize - " + q(dir / "q2.gif") + " < " + q(project));
  EXPECT_EQ(notPicture.exitCode, 1);
  EXPECT_TRUE(contains(notPicture.err, "standard input: not a PNG or BMP picture")) << notPicture.err;
  // Still limited while reading: a stream longer than any project is refused.
  const CliResult endless = runZefraCli(dir, "info -", "head -c 2000000 /dev/zero | timeout 20");
  EXPECT_EQ(endless.exitCode, 1);
  EXPECT_TRUE(contains(endless.err, "too large")) << endless.err;
}

TEST(CliHostileInputs, SmallerMessagesSayWhatWentWrongOnce) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl", 2);
  writeBytes(dir / "short.lbl", {'x'});
  const CliResult convert = runZefraCli(dir, "convert " + q(dir / "short.lbl") + " " + q(dir / "o.lbl"));
  EXPECT_EQ(convert.exitCode, 1);
  EXPECT_EQ(convert.err, "zefra-cli convert: Error reading the file " + (dir / "short.lbl").string() +
                             ": too short for a project\n");
  fs::create_symlink("loop.lbl", dir / "loop.lbl");
  const CliResult loop = runZefraCli(dir, "convert " + q(dir / "loop.lbl") + " " + q(dir / "o.lbl"));
  EXPECT_TRUE(contains(loop.err, "Too many levels of symbolic links")) << loop.err;
  const std::string missingFolder = (dir / "none" / "x.lbl").string();
  const CliResult tween = runZefraCli(dir, "tween " + q(project) + " --from 1 --count 1 -o " + shellQuoted(missingFolder));
  EXPECT_EQ(tween.exitCode, 1);
  EXPECT_EQ(tween.err.find((dir / "none").string()), tween.err.rfind((dir / "none").string())) << tween.err;
  for (const std::string& args : {std::string("--help"), std::string("--version"), std::string("info --help")}) {
    const CliResult full = runZefraCli(dir, args + " > /dev/full");
    EXPECT_EQ(full.exitCode, 1) << args;
    EXPECT_TRUE(contains(full.err, "cannot write to standard output")) << args << "\n" << full.err;
  }
}

// The picture name a project uses for a missing file: a loop is not "file not found".
TEST(CliHostileInputs, ALinkLoopIsNotReportedAsAMissingFile) {
  TempDir dir;
  fs::create_symlink("loop.bmp", dir / "loop.bmp");
  const fs::path project = writeProject(dir / "p.lbl", [&](model::LabelProject& p) { p.frame(1).pictureFile[0] = (dir / "loop.bmp").string(); });
  const CliResult r = runZefraCli(dir, "render " + q(project) + " " + q(dir / "o.png"));
  EXPECT_TRUE(contains(r.err, "loop.bmp: Too many levels of symbolic links")) << r.err;
  EXPECT_FALSE(contains(r.err, "file not found")) << r.err;
}

TEST(CliHostileInputs, ExportRefusesAnOutputNameThatIsNotAGif) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl");
  const CliResult png = runZefraCli(dir, "export " + q(project) + " x.png");
  EXPECT_EQ(png.exitCode, 2) << png.err;
  EXPECT_TRUE(contains(png.err, "x.png")) << png.err;
  EXPECT_FALSE(fs::exists(dir / "x.png"));
  EXPECT_FALSE(fs::exists(dir / "x.png.gif"));
  const CliResult upper = runZefraCli(dir, "export " + q(project) + " X.GIF --quiet");
  EXPECT_EQ(upper.exitCode, 0) << upper.err;
  EXPECT_TRUE(fs::exists(dir / "X.GIF"));
  const CliResult bare = runZefraCli(dir, "export " + q(project) + " banner --quiet");
  EXPECT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_TRUE(fs::exists(dir / "banner.gif"));
}

TEST(CliHostileInputs, ATransparentColourWithoutTransparencyIsWarnedAbout) {
  TempDir dir;
  const fs::path project = plainProject(dir / "p.lbl");
  const CliResult off = runZefraCli(dir, "export " + q(project) + " o.gif --quiet --transparent-color '#FF0000'");
  EXPECT_EQ(off.exitCode, 0) << off.err;
  EXPECT_TRUE(contains(off.err, "warning: --transparent-color has no effect without --transparent on")) << off.err;
  const CliResult on =
      runZefraCli(dir, "export " + q(project) + " o.gif --quiet --transparent on --transparent-color '#FF0000'");
  EXPECT_FALSE(contains(on.err, "has no effect")) << on.err;
}

}  // namespace
}  // namespace zefra::testing
