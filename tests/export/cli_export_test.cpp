// zefra-cli export end to end: options, output naming, statistics and errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "export_gif_walker.h"
#include "export_peer_decoders.h"
#include "io/lbl_writer.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

namespace fs = std::filesystem;
using testing::runCommand;
using testing::walkGif;

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CliExport : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("zefra_cli_export_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "projects");
    project = (dir / "projects" / "promo.lbl").string();
    auto p = std::make_unique<model::LabelProject>();
    p->clear();
    p->applyNewDefaults();
    p->frameCount = 3;
    model::FrameRecord& f = p->frame(1);
    f.width = 120;
    f.height = 40;
    f.frameColor = rgb(10, 20, 200);
    f.shapeStyle[0] = 1;
    f.shapeY[0] = 10;
    f.shapeFillColor[0] = rgb(250, 250, 0);
    for (int i = 2; i <= 3; ++i) p->frame(i) = f;
    for (int i = 1; i <= 3; ++i) p->frame(i).shapeX[0] = static_cast<std::int16_t>(20 * i);
    p->settings.transparentColor = rgb(10, 20, 200);
    io::writeLblFile(project, *p);
  }
  void TearDown() override { fs::remove_all(dir); }

  // zefra-cli export ARGS, run in the test folder.
  testing::CommandResult cliRaw(const std::string& args) {
    std::string command = "cd '";
    command.append(dir.string()).append("' && '").append(ZEFRA_CLI_PATH).append("' export ").append(args);
    return runCommand(command, dir.string());
  }
  // zefra-cli export PROJECT ARGS.
  testing::CommandResult cli(const std::string& args) {
    std::string all = "'";
    all.append(project).append("' ").append(args);
    return cliRaw(all);
  }

  fs::path dir;
  std::string project;
};

TEST_F(CliExport, PrintsTheFourStatisticsOfTheWrittenFile) {
  const auto r = cli("out.gif");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // not a terminal: no progress line
  const fs::path out = dir / "out.gif";
  const auto gif = walkGif(readAll(out));
  const auto lines = linesOf(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[0], "File Size: " + std::to_string(fs::file_size(out)) + " bytes");
  EXPECT_EQ(lines[1], "Frames: 3");
  ASSERT_EQ(lines[2].rfind("Colors: ", 0), 0u);
  const int colors = std::stoi(lines[2].substr(8));
  // The file stores the table padded to the next power of two.
  EXPECT_LE(colors, gif.globalTableSize);
  EXPECT_GT(2 * colors, gif.globalTableSize);
  EXPECT_EQ(lines[3], "Image Size: 120 x 40 pixels");
  EXPECT_EQ(gif.version, "89a");
  ASSERT_FALSE(gif.images.empty());
  EXPECT_EQ(gif.images[0].loopCount(), 0);
}

TEST_F(CliExport, OutputNameDefaultsToTheProjectNameAndFollowsTheGifRule) {
  ASSERT_EQ(cli("").status, 0);
  EXPECT_TRUE(fs::exists(dir / "promo.gif"));
  ASSERT_EQ(cli("banner").status, 0);
  EXPECT_TRUE(fs::exists(dir / "banner.gif"));
  ASSERT_EQ(cli("BANNER.GIF").status, 0);
  EXPECT_TRUE(fs::exists(dir / "BANNER.GIF"));
  // A name with another extension is refused rather than quietly turned into another name.
  const auto png = cli("banner.png");
  EXPECT_EQ(png.status, 2) << png.err;
  EXPECT_FALSE(fs::exists(dir / "banner.png.gif"));
  EXPECT_FALSE(fs::exists(dir / "banner.png"));
}

TEST_F(CliExport, OptionsOverrideTheProjectForThisRunOnly) {
  const auto before = readAll(project);
  ASSERT_EQ(cli("once.gif --no-loop").status, 0);
  for (const auto& image : walkGif(readAll(dir / "once.gif")).images) EXPECT_FALSE(image.loopCount().has_value());

  // The classic method writes every frame whole, cleared after it is shown.
  const auto t = cli("t.gif --classic --transparent on --transparent-color '#0A14C8'");
  ASSERT_EQ(t.status, 0) << t.err;
  const auto transparent = walkGif(readAll(dir / "t.gif"));
  ASSERT_EQ(transparent.images.size(), 3u);
  for (const auto& image : transparent.images) {
    EXPECT_EQ(image.width, 120);
    ASSERT_TRUE(image.gce().has_value());
    EXPECT_TRUE(image.gce()->transparent);
    EXPECT_EQ(image.gce()->disposal, 2);
    EXPECT_EQ(transparent.globalColor(image.gce()->transparentIndex), rgb(10, 20, 200));
  }

  // The standard method: the first frame covers the screen with the chosen colour
  // transparent; later ones draw only what changed, the moved shape clearing its old place
  // through the disposal of the frame before.
  ASSERT_EQ(cli("s.gif --transparent on --transparent-color '#0A14C8'").status, 0);
  const auto standard = walkGif(readAll(dir / "s.gif"));
  ASSERT_EQ(standard.images.size(), 3u);
  EXPECT_EQ(standard.images[0].width, 120);
  ASSERT_TRUE(standard.images[0].gce().has_value());
  EXPECT_TRUE(standard.images[0].gce()->transparent);
  EXPECT_EQ(standard.images[0].gce()->disposal, 2);
  EXPECT_LT(standard.images[1].width, 120);

  for (const char* method : {"", " --classic"}) {
    ASSERT_EQ(cli(std::string("n256.gif --palette netscape") + method).status, 0);
    ASSERT_EQ(cli(std::string("n8.gif --palette=netscape --colors=8") + method).status, 0);
    EXPECT_EQ(readAll(dir / "n256.gif"), readAll(dir / "n8.gif")) << method;
  }
  ASSERT_EQ(cli("w8.gif --colors 8").status, 0);
  EXPECT_LE(walkGif(readAll(dir / "w8.gif")).globalTableSize, 8);

  ASSERT_EQ(cli("g.gif --palette grayscale").status, 0);
  const auto gray = walkGif(readAll(dir / "g.gif"));
  for (int i = 0; i < gray.globalTableSize; ++i) {
    const Color c = gray.globalColor(i);
    EXPECT_TRUE(redOf(c) == greenOf(c) && greenOf(c) == blueOf(c)) << "entry " << i;
  }
  EXPECT_EQ(readAll(project), before);
}

TEST_F(CliExport, ReportsAMissingTransparentColourAndWhatWasUsedInstead) {
  // Classic: the table's first colour is made transparent instead, and the user is told.
  const auto r = cli("t.gif --classic --transparent on --transparent-color '#FF00FF'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("#FF00FF"), std::string::npos) << r.err;
  const auto gif = walkGif(readAll(dir / "t.gif"));
  ASSERT_TRUE(gif.images[0].gce().has_value());
  EXPECT_EQ(gif.images[0].gce()->transparentIndex, 0);

  // Standard: nothing the banner shows vanishes; the user is told nothing became transparent.
  const auto s = cli("s.gif --transparent on --transparent-color '#FF00FF'");
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_NE(s.err.find("#FF00FF does not occur"), std::string::npos) << s.err;
  for (const auto& image : walkGif(readAll(dir / "s.gif")).images)
    EXPECT_FALSE(image.gce() && image.gce()->transparent && image.width == 120);
}

TEST_F(CliExport, MaxBytesWritesTheBestExportThatFitsOrNothing) {
  const auto full = cli("full.gif");
  ASSERT_EQ(full.status, 0) << full.err;
  const auto size = readAll(dir / "full.gif").size();
  const auto fits = cli("fit.gif --max-bytes " + std::to_string(size));
  ASSERT_EQ(fits.status, 0) << fits.err;
  EXPECT_NE(fits.out.find("Fits in " + std::to_string(size) + " bytes with the project's colours"), std::string::npos)
      << fits.out;
  EXPECT_EQ(readAll(dir / "fit.gif"), readAll(dir / "full.gif"));

  const auto none = cli("none.gif --max-bytes 10");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no export fits in 10 bytes; the smallest reachable is "), std::string::npos) << none.err;
  EXPECT_FALSE(fs::exists(dir / "none.gif"));
  for (const std::string bad : {"--max-bytes 0", "--max-bytes 1G", "--max-bytes 5K --classic"}) {
    const auto r = cli("x.gif " + bad);
    EXPECT_EQ(r.status, 2) << bad;
  }
}

TEST_F(CliExport, ErrorsGoToStderrWithANonZeroExit) {
  const auto missing = cliRaw((dir / "nothing.lbl").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err.rfind("zefra-cli export: ", 0), 0u) << missing.err;

  const auto unwritable = cli((dir / "no" / "such" / "banner").string());
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.out, "");
  EXPECT_NE(unwritable.err.find("Error writing the file banner.gif"), std::string::npos) << unwritable.err;

  for (const std::string bad : {"--colors 7", "--palette web", "--transparent maybe", "--transparent-color red",
                                "--transparent-color '#12345'", "--frobnicate", "--colors"}) {
    const auto r = cli(std::string("x.gif ").append(bad));
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("Usage: zefra-cli export"), std::string::npos) << bad;
  }
  EXPECT_EQ(cliRaw("").status, 2);
  EXPECT_EQ(cli("a.gif b.gif").status, 2);
  EXPECT_FALSE(fs::exists(dir / "x.gif"));
}

}  // namespace
}  // namespace zefra::exporter
