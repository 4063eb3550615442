#include "io/bmp_writer.h"
#include "io/lbl_test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zefra::io {
namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(BmpWriter, WritesBottomUpPaddedRowsBehindA54ByteHeader) {
  // 3 x 2: each row holds 9 pixel bytes padded to 12.
  raster::FastBitmap bitmap(3, 2);
  bitmap.setPixel(0, 0, rgb(255, 0, 0));
  bitmap.setPixel(2, 0, rgb(1, 2, 3));
  bitmap.setPixel(1, 1, rgb(0, 0, 255));
  const auto bytes = encodeBmp(bitmap);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(u32At(bytes, 2), bytes.size());
  EXPECT_EQ(u32At(bytes, 10), 54u);
  EXPECT_EQ(u32At(bytes, 14), 40u);
  EXPECT_EQ(u32At(bytes, 18), 3u);
  EXPECT_EQ(u32At(bytes, 22), 2u);
  EXPECT_EQ(bytes[28], 24);
  EXPECT_EQ(u32At(bytes, 30), 0u);
  // The first stored row is the bottom one: pixel (1, 1) is blue, stored B, G, R.
  EXPECT_EQ(bytes[54 + 3], 255);
  EXPECT_EQ(bytes[54 + 4], 0);
  EXPECT_EQ(bytes[54 + 5], 0);
  // The second stored row is the top one: (0, 0) red, (2, 0) = (1, 2, 3).
  const std::size_t top = 54 + 12;
  EXPECT_EQ(bytes[top + 0], 0);
  EXPECT_EQ(bytes[top + 2], 255);
  EXPECT_EQ(bytes[top + 6], 3);
  EXPECT_EQ(bytes[top + 7], 2);
  EXPECT_EQ(bytes[top + 8], 1);
  EXPECT_EQ(bytes[top + 9], 0);  // padding
}

TEST(BmpWriter, RefusesAnEmptyBitmapAndReplacesFilesWhole) {
  EXPECT_THROW(encodeBmp(raster::FastBitmap()), std::invalid_argument);
  const zefra::testing::TempDir temp;
  const auto dir = temp.path;
  const auto path = dir / "t.bmp";
  raster::FastBitmap bitmap(5, 1);
  bitmap.fill(rgb(9, 8, 7));
  writeBmpFile(bitmap, path.string());
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(onDisk, encodeBmp(bitmap));
  EXPECT_THROW(writeBmpFile(bitmap, (dir / "missing-dir" / "t.bmp").string()), std::exception);
}

}  // namespace
}  // namespace zefra::io
