// Picture input of the quantize command: the PNG reader, and the command end to end.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "io/png_reader.h"
#include "io/png_writer.h"

namespace zefra {
namespace {

raster::FastBitmap sample(int w, int h) {
  raster::FastBitmap bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp.setPixel(x, y, rgb(static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 50), static_cast<std::uint8_t>(x * y)));
  return bmp;
}

std::uint32_t crc(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

void putU32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x >> 24);
  v[at + 1] = static_cast<std::uint8_t>(x >> 16);
  v[at + 2] = static_cast<std::uint8_t>(x >> 8);
  v[at + 3] = static_cast<std::uint8_t>(x);
}

TEST(ColourPngInputTest, ReadsBackWhatTheWriterWrote) {
  const raster::FastBitmap bmp = sample(7, 5);  // odd width: padded rows
  const auto bytes = io::encodePng(bmp);
  EXPECT_EQ(io::readPng(bytes), bmp);
}

TEST(ColourPngInputTest, RejectsGarbageTruncationAndHugeSizesWithoutCrashing) {
  const std::vector<std::uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_THROW(io::readPng(junk), io::PngError);
  auto bytes = io::encodePng(sample(20, 20));
  auto cut = bytes;
  cut.resize(bytes.size() / 2);
  EXPECT_THROW(io::readPng(cut), io::PngError);

  // IHDR claiming 60000 x 60000 pixels, with a correct checksum so only the size is wrong.
  auto huge = bytes;
  putU32(huge, 16, 60000);
  putU32(huge, 20, 60000);
  putU32(huge, 29, crc(huge.data() + 12, 17));
  try {
    io::readPng(huge);
    FAIL() << "no error";
  } catch (const io::PngError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("PNG image too large (60000 x 60000 pixels;", 0), 0u) << e.what();
  }
}

class QuantizeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("zefra_quantize_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  int run(const std::string& args) {
    const std::string cmd = std::string(ZEFRA_CLI_PATH) + " quantize " + args + " >" + (dir / "out.txt").string() + " 2>&1";
    const int status = std::system(cmd.c_str());
    return WEXITSTATUS(status);
  }
  std::filesystem::path dir;
};

TEST_F(QuantizeCommandTest, WritesAOneFrameGifInTheChosenMode) {
  raster::FastBitmap bmp(4, 2);
  bmp.setPixel(0, 0, rgb(127, 127, 127));  // weighted sum 32512: black
  bmp.setPixel(1, 0, rgb(128, 128, 128));  // white
  bmp.setPixel(2, 0, rgb(255, 0, 0));
  bmp.setPixel(3, 0, rgb(0, 255, 255));
  const auto in = dir / "in.png";
  {
    const auto bytes = io::encodePng(bmp);
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  const auto out = dir / "bw.gif";
  ASSERT_EQ(run(in.string() + " " + out.string() + " --mode bw"), 0);
  gif::GifImage image;
  image.loadFromFile(out);
  ASSERT_EQ(image.frames().count(), 1);
  EXPECT_EQ(image.globalTable().count(), 2);
  const gif::GifFrame& f = image.frames()[0];
  const auto colourAt = [&](int x, int y) { return toColor(f.effectiveColorMap()[f.pixelAt(x, y)]); };
  EXPECT_EQ(colourAt(0, 0), rgb(0, 0, 0));
  EXPECT_EQ(colourAt(1, 0), rgb(255, 255, 255));
  EXPECT_EQ(colourAt(2, 0), rgb(0, 0, 0));        // 77*255 = 19635
  EXPECT_EQ(colourAt(3, 0), rgb(255, 255, 255));  // (150+29)*255 = 45645

  const auto octree = dir / "octree.gif";
  ASSERT_EQ(run(in.string() + " " + octree.string() + " --bits 3 --dither floyd"), 0);
  gif::GifImage exact;
  exact.loadFromFile(octree);
  const gif::GifFrame& g = exact.frames()[0];
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(toColor(g.effectiveColorMap()[g.pixelAt(x, y)]), bmp.pixel(x, y));
}

TEST_F(QuantizeCommandTest, RefusesBadUsage) {
  EXPECT_EQ(run("a.png"), 2);
  EXPECT_EQ(run("a.png b.gif --mode sepia"), 2);
  EXPECT_EQ(run("a.png b.gif --bits 9"), 2);
  EXPECT_EQ(run("a.png b.gif --dither zigzag"), 2);
  EXPECT_EQ(run("a.tif b.gif"), 2);
  EXPECT_EQ(run((dir / "missing.png").string() + " " + (dir / "b.gif").string()), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.gif"));
}

}  // namespace
}  // namespace zefra
