// End to end: zefra-cli render writes the frame the canvas draws, as a PNG of the
// project's size, and rejects frames that do not exist.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "io/lbl_test_files.h"
#include "io/lbl_writer.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"

using namespace zefra;
namespace fs = std::filesystem;

namespace {

int runCli(const std::string& arguments) {
  const std::string command = std::string("'") + ZEFRA_CLI_PATH + "' " + arguments + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool readPng(const fs::path& path, int& w, int& h, std::vector<std::uint8_t>& rgbOut) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgbOut.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgbOut.data(), 0, nullptr)) return false;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return true;
}

}  // namespace

TEST(RenderCommand, WritesTheChosenFrameAsTheCanvasDrawsIt) {
  const zefra::testing::TempDir temp;  // never a fixed name: test runs of other checkouts share /tmp
  const fs::path dir = temp.path;
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  project->frameCount = 2;
  model::FrameRecord& second = project->frame(2);
  second = project->frame(1);
  second.width = 120;
  second.height = 40;
  second.gradientOn = 1;
  second.gradientStyle = 8;
  second.bordersOn = 1;
  second.borderWidth = 2;
  second.shapeStyle[0] = 2;
  second.shapeX[0] = 30;
  second.shapeY[0] = 8;
  project->frame(1).width = 120;
  project->frame(1).height = 40;
  const fs::path lbl = dir / "p.lbl";
  io::writeLblFile(lbl, *project);

  ASSERT_EQ(runCli("render '" + lbl.string() + "' '" + (dir / "f1.png").string() + "'"), 0);
  ASSERT_EQ(runCli("render '" + lbl.string() + "' '" + (dir / "f2.png").string() + "' --frame 2"), 0);
  int w = 0, h = 0;
  std::vector<std::uint8_t> px;
  ASSERT_TRUE(readPng(dir / "f1.png", w, h, px));
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 40);
  for (std::size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i], 136) << i;  // frame colour only

  ASSERT_TRUE(readPng(dir / "f2.png", w, h, px));
  render::FrameCanvas canvas;
  canvas.draw(second);
  ASSERT_EQ(w, canvas.width());
  ASSERT_EQ(h, canvas.height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &px[static_cast<std::size_t>((y * w + x) * 3)];
      ASSERT_EQ(rgb(p[0], p[1], p[2]), canvas.bitmap().pixel(x, y)) << x << "," << y;
    }

  EXPECT_NE(runCli("render '" + lbl.string() + "' '" + (dir / "f3.png").string() + "' --frame 3"), 0);
  EXPECT_NE(runCli("render '" + lbl.string() + "' '" + (dir / "f0.png").string() + "' --frame x"), 0);
  EXPECT_NE(runCli("render '" + lbl.string() + "'"), 0);
  EXPECT_NE(runCli("render '" + (dir / "missing.lbl").string() + "' '" + (dir / "m.png").string() + "'"), 0);
  EXPECT_FALSE(fs::exists(dir / "f3.png"));
}
