// zefra-cli as scripts use it: one option syntax everywhere, - for standard output,
// outputs that would destroy an input or a special file refused, failures that reach the
// exit code (a full standard output, unreadable pictures under --strict), machine-readable
// --json, --quiet, and many projects exported at once.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "io/lbl_reader.h"
#include "io/lbl_writer.h"
#include "model/label_project.h"

namespace zefra::testing {
namespace {

namespace fs = std::filesystem;

// Temporary paths hold no characters JSON escapes.
std::string jsonQuoted(const std::string& text) { return "\"" + text + "\""; }

class CliScripting : public ::testing::Test {
 protected:
  void SetUp() override {
    project = (dir / "p.lbl").string();
    ASSERT_EQ(run("new " + q(project)).exitCode, 0);
  }
  CliResult run(const std::string& arguments, const std::string& prefix = "timeout 60") {
    return runZefraCli(dir, arguments, prefix);
  }
  static std::string q(const std::string& s) { return shellQuoted(s); }
  std::string path(const std::string& name) const { return (dir / name).string(); }

  // The project with a picture in slot `slot` of frame 1 that names `file`.
  std::string projectWithPicture(const std::string& name, int slot, const std::string& file) {
    auto p = std::make_unique<model::LabelProject>();
    p->clear();
    io::readLblFile(project, *p);
    p->frame(1).pictureFile[slot - 1] = file;
    io::writeLblFile(path(name), *p);
    return path(name);
  }

  TempDir dir;
  std::string project;
};

TEST_F(CliScripting, EveryCommandRefusesUnknownOptionsWithExit2) {
  for (const std::string& args : std::vector<std::string>{"new --bogus", "new " + q(path("n.lbl")) + " --bogus",
                                  "render " + q(project) + " " + q(path("o.png")) + " --bogus",
                                  "convert " + q(project) + " --out", "info --bogus " + q(project),
                                  "gif-info --bogus x.gif", "quantize --bogus a.png b.gif",
                                  "export " + q(project) + " --bogus", "import-gif --bogus a.gif b.lbl",
                                  "render " + q(project) + " " + q(path("o.png")) + " --frame",
                                  "export " + q(project) + " --no-loop=yes"}) {
    const CliResult r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.err;
    EXPECT_TRUE(contains(r.err, "Usage: zefra-cli ")) << args << "\n" << r.err;
  }
  // Nothing was created under an option's name (the commands ran in the test's folder).
  EXPECT_FALSE(fs::exists(dir / "--bogus"));
  EXPECT_FALSE(fs::exists(dir / "--out"));
  EXPECT_FALSE(fs::exists(path("n.lbl")));
}

TEST_F(CliScripting, OptionValuesMayFollowAnEqualsSign) {
  const CliResult render = run("render --frame=1 " + q(project) + " " + q(path("a.png")));
  EXPECT_EQ(render.exitCode, 0) << render.err;
  const CliResult quantize = run("quantize " + q(path("a.png")) + " " + q(path("a.gif")) + " --mode=gray256 --bits=4");
  EXPECT_EQ(quantize.exitCode, 0) << quantize.err;
  const CliResult exported = run("export " + q(project) + " " + q(path("e.gif")) + " --colors=16 --palette=netscape");
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(run("render --frame=x " + q(project) + " " + q(path("b.png"))).exitCode, 2);
}

TEST_F(CliScripting, AnOutputThatIsAnInputOrASpecialFileIsRefused) {
  const auto before = readBytes(project);
  const CliResult renderSelf = run("render " + q(project) + " " + q(project));
  EXPECT_EQ(renderSelf.exitCode, 1);
  EXPECT_TRUE(contains(renderSelf.err, "is the input file")) << renderSelf.err;
  EXPECT_EQ(readBytes(project), before);

  // Another name for the same file is caught too.
  fs::create_hard_link(project, path("same.png"));
  EXPECT_EQ(run("render " + q(project) + " " + q(path("same.png"))).exitCode, 1);
  EXPECT_EQ(readBytes(project), before);

  // A project saved under a .gif name.
  fs::copy_file(project, path("p.gif"));
  const CliResult exportSelf = run("export " + q(path("p.gif")) + " " + q(path("p.gif")));
  EXPECT_EQ(exportSelf.exitCode, 1);
  EXPECT_EQ(readBytes(path("p.gif")), before);

  ASSERT_EQ(run("render " + q(project) + " " + q(path("pic.png"))).exitCode, 0);
  const auto picture = readBytes(path("pic.png"));
  EXPECT_EQ(run("quantize " + q(path("pic.png")) + " " + q(path("pic.png"))).exitCode, 1);
  EXPECT_EQ(readBytes(path("pic.png")), picture);

  // A FIFO (or device) is never replaced; writing it does not block either.
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  const CliResult toFifo = run("render " + q(project) + " " + q(path("fifo")));
  EXPECT_EQ(toFifo.exitCode, 1);
  EXPECT_TRUE(contains(toFifo.err, "not a regular file")) << toFifo.err;
  struct stat info {};
  ASSERT_EQ(::stat(path("fifo").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  // A link to standard output, with standard output a regular file: the link is not
  // replaced (as root, /dev/stdout itself would have been).
  fs::create_symlink("/dev/stdout", path("stdout-link"));
  const CliResult viaLink = run("render " + q(project) + " " + q(path("stdout-link")) + " >" + q(path("captured")));
  EXPECT_EQ(viaLink.exitCode, 1);
  EXPECT_TRUE(contains(viaLink.err, "is a system file")) << viaLink.err;
  EXPECT_TRUE(fs::is_symlink(path("stdout-link")));

  // The memory-backed scratch folder holds ordinary files and is written like any other.
  if (::access("/dev/shm", W_OK) == 0) {
    const std::string scratch = "/dev/shm/zefra-cli-test-" + std::to_string(::getpid()) + ".png";
    const CliResult toShm = run("render " + q(project) + " " + q(scratch));
    EXPECT_EQ(toShm.exitCode, 0) << toShm.err;
    EXPECT_TRUE(fs::is_regular_file(scratch));
    fs::remove(scratch);
  }
}

TEST_F(CliScripting, DashWritesToStandardOutput) {
  const CliResult png = run("render " + q(project) + " -");
  EXPECT_EQ(png.exitCode, 0) << png.err;
  ASSERT_GT(png.out.size(), 8u);
  EXPECT_EQ(png.out.substr(1, 3), "PNG");
  EXPECT_FALSE(fs::exists("-"));

  const CliResult gif = run("export " + q(project) + " -");
  EXPECT_EQ(gif.exitCode, 0) << gif.err;
  EXPECT_EQ(gif.out.substr(0, 4), "GIF8");
  EXPECT_EQ(gif.out.back(), ';');

  ASSERT_EQ(run("render " + q(project) + " " + q(path("pic.png"))).exitCode, 0);
  const CliResult quantized = run("quantize " + q(path("pic.png")) + " -");
  EXPECT_EQ(quantized.exitCode, 0) << quantized.err;
  EXPECT_EQ(quantized.out.substr(0, 3), "GIF");
}

TEST_F(CliScripting, AFullStandardOutputIsAFailure) {
  const CliResult info = run("info " + q(project) + " >/dev/full");
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_TRUE(contains(info.err, "cannot write to standard output")) << info.err;
  const CliResult gif = run("export " + q(project) + " - >/dev/full");
  EXPECT_EQ(gif.exitCode, 1);
  EXPECT_TRUE(contains(gif.err, "cannot write to standard output")) << gif.err;
}

TEST_F(CliScripting, ExportIntoAFolderUsesTheProjectName) {
  fs::create_directory(path("out"));
  const CliResult r = run("export " + q(project) + " " + q(path("out") + "/"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(path("out/p.gif")));
  EXPECT_FALSE(fs::exists(path("out/.gif")));
}

TEST_F(CliScripting, UnreadablePicturesAreNamedAndStrictMakesThemErrors) {
  const std::string missing = path("missing.bmp");
  const std::string withPicture = projectWithPicture("pic.lbl", 3, missing);
  const CliResult render = run("render " + q(withPicture) + " " + q(path("r.png")));
  EXPECT_EQ(render.exitCode, 0) << render.err;
  EXPECT_TRUE(contains(render.err, "frame 1, picture 3: " + missing)) << render.err;
  const CliResult strict = run("render --strict " + q(withPicture) + " " + q(path("s.png")));
  EXPECT_EQ(strict.exitCode, 1);
  EXPECT_FALSE(fs::exists(path("s.png")));

  const CliResult exported = run("export " + q(withPicture) + " " + q(path("e.gif")));
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_TRUE(contains(exported.err, "frame 1, picture 3: " + missing)) << exported.err;
  const CliResult strictExport = run("export --strict " + q(withPicture) + " " + q(path("f.gif")));
  EXPECT_EQ(strictExport.exitCode, 1);
  EXPECT_FALSE(fs::exists(path("f.gif")));

  // A FIFO named as a picture is refused at once rather than read.
  ASSERT_EQ(::mkfifo(path("pipe.bmp").c_str(), 0600), 0);
  const std::string withFifo = projectWithPicture("fifo.lbl", 1, path("pipe.bmp"));
  const CliResult fifo = run("render " + q(withFifo) + " " + q(path("t.png")));
  EXPECT_EQ(fifo.exitCode, 0) << fifo.err;
  EXPECT_TRUE(contains(fifo.err, "not a regular file")) << fifo.err;
}

TEST_F(CliScripting, JsonAndQuiet) {
  const CliResult info = run("info --json " + q(project));
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_EQ(info.out.rfind("{\"file\": " + jsonQuoted(project) + ", \"format\": \"LB1\", \"frames\": 1, \"width\": 468, "
                           "\"height\": 60, \"designDpi\": 96, \"transparent\": false, \"transparentColor\": \"#888888\"", 0),
            0u) << info.out;
  EXPECT_TRUE(contains(info.out, "\"frameList\": [\n  {\"frame\": 1, \"delayMs\": ")) << info.out;

  const CliResult exported = run("export --json " + q(project) + " " + q(path("j.gif")));
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(exported.out.rfind("[{\"project\": " + jsonQuoted(project) + ", \"output\": " + jsonQuoted(path("j.gif")) +
                               ", \"ok\": true, \"fileSize\": " + std::to_string(fs::file_size(path("j.gif"))) +
                               ", \"frames\": 1, ", 0),
            0u) << exported.out;

  const CliResult gif = run("gif-info --json --pixels " + q(path("j.gif")));
  EXPECT_EQ(gif.exitCode, 0) << gif.err;
  EXPECT_EQ(gif.out.rfind("{\"version\": \"8", 0), 0u) << gif.out;
  EXPECT_TRUE(contains(gif.out, "\", \"width\": 468, \"height\": 60, \"colors\": ")) << gif.out;
  EXPECT_TRUE(contains(gif.out, "\"crc32\": \"")) << gif.out;
  EXPECT_TRUE(contains(gif.out, "\"warnings\": []}\n")) << gif.out;

  const CliResult quiet = run("export --quiet " + q(project) + " " + q(path("k.gif")));
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  EXPECT_TRUE(fs::exists(path("k.gif")));
}

TEST_F(CliScripting, ManyProjectsExportInParallelAndEachResultIsReported) {
  fs::copy_file(project, path("b.lbl"));
  fs::copy_file(project, path("c.lbl"));
  const CliResult all = run("export " + q(project) + " " + q(path("b.lbl")) + " " + q(path("c.lbl")) + " --out-dir " +
                            q(path("gifs")) + " -j 2");
  EXPECT_EQ(all.exitCode, 0) << all.err;
  for (const char* name : {"p.gif", "b.gif", "c.gif"}) EXPECT_TRUE(fs::exists(path("gifs") + "/" + name)) << name;
  EXPECT_TRUE(contains(all.out, project + " -> " + path("gifs") + "/p.gif: ")) << all.out;
  EXPECT_TRUE(contains(all.out, "3 of 3 exported\n")) << all.out;

  // One bad project fails the run but not the others.
  writeBytes(path("bad.lbl"), {1, 2, 3});
  const CliResult some = run("export " + q(path("bad.lbl")) + " " + q(path("b.lbl")) + " --out-dir=" + q(path("more")) +
                             " --jobs=2 --json");
  EXPECT_EQ(some.exitCode, 1);
  EXPECT_TRUE(fs::exists(path("more") + "/b.gif"));
  EXPECT_FALSE(fs::exists(path("more") + "/bad.gif"));
  EXPECT_TRUE(contains(some.out, "\"ok\": false, \"error\": \"Error reading the file " + path("bad.lbl") +
                                     ": too short for a project\"")) << some.out;
  EXPECT_TRUE(contains(some.err, path("bad.lbl") + ": Error reading the file")) << some.err;

  // Several projects without --out-dir would be taken as a project and its output.
  EXPECT_EQ(run("export " + q(project) + " " + q(path("b.lbl")) + " " + q(path("c.lbl"))).exitCode, 2);
}

}  // namespace
}  // namespace zefra::testing
