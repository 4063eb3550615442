// PNG writer: what it writes decodes (with libpng itself) to the same pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "io/png_writer.h"
#include "io/lbl_test_files.h"

using namespace zefra;

namespace {

// Decodes a PNG to RGB bytes with libpng's simplified interface.
bool decode(const std::vector<std::uint8_t>& bytes, int& w, int& h, std::vector<std::uint8_t>& rgbOut) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGB;
  rgbOut.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgbOut.data(), 0, nullptr)) return false;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return true;
}

raster::FastBitmap pattern(int w, int h) {
  raster::FastBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.setPixel(x, y, rgb(static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 13), static_cast<std::uint8_t>(x ^ y)));
  return b;
}

}  // namespace

TEST(PngWriter, RoundTripsPixelsOfOddWidths) {
  for (int w : {1, 3, 5, 468}) {
    const raster::FastBitmap b = pattern(w, 7);
    const std::vector<std::uint8_t> bytes = io::encodePng(b);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    int dw = 0, dh = 0;
    std::vector<std::uint8_t> px;
    ASSERT_TRUE(decode(bytes, dw, dh, px));
    ASSERT_EQ(dw, w);
    ASSERT_EQ(dh, 7);
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        const std::uint8_t* p = &px[static_cast<std::size_t>((y * dw + x) * 3)];
        EXPECT_EQ(rgb(p[0], p[1], p[2]), b.pixel(x, y)) << x << "," << y;
      }
  }
}

TEST(PngWriter, EmptyBitmapIsAnError) {
  EXPECT_THROW(io::encodePng(raster::FastBitmap()), io::PngError);
}

TEST(PngWriter, WritesAFileAndFailsCleanlyWhereItCannot) {
  const zefra::testing::TempDir temp;
  const auto dir = temp.path;
  const raster::FastBitmap b = pattern(4, 4);
  io::writePngFile(b, dir / "out.png");
  std::ifstream in(dir / "out.png", std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, io::encodePng(b));
  EXPECT_ANY_THROW(io::writePngFile(b, dir / "no_such_folder" / "out.png"));
}
