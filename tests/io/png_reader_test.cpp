// Reading PNG files the way other programs do: chunks that claim more bytes than the file
// holds are refused before libpng allocates what they claim, text chunks are never
// unpacked, and 16-bit samples of a file that states no colour encoding are sRGB.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "io/png_reader.h"
#include "io/png_test_bytes.h"

namespace zefra::io {
namespace {

using zefra::testing::putBig32;

// A 2 x 2 grey PNG (8 or 16 bits) whose every sample is `value`, with `extra` chunks after
// the header.
std::vector<std::uint8_t> greyPng(int depth, std::uint16_t value,
                                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extra = {}) {
  return zefra::testing::pngBytes({2, 2, depth, 0, std::vector<std::uint16_t>(4, value), {}, {}, extra});
}

int greyOf(const std::vector<std::uint8_t>& png) {
  const raster::FastBitmap bitmap = readPng(png);
  return redOf(bitmap.pixel(1, 1));
}

TEST(PngReader, SixteenBitSamplesWithoutAColourEncodingAreSrgb) {
  // 40000 / 65535 of the way, as the stored value says: 155.6.
  const int untagged = greyOf(greyPng(16, 40000));
  EXPECT_GE(untagged, 155);
  EXPECT_LE(untagged, 156);
  EXPECT_EQ(greyOf(greyPng(8, 156)), 156);
  // A file that says its samples are linear light is converted as it says.
  const std::vector<std::uint8_t> linearGamma = {0, 0x01, 0x86, 0xA0};  // 1.0
  EXPECT_GT(greyOf(greyPng(16, 40000, {{"gAMA", linearGamma}})), 195);
  // And one that says sRGB keeps its values.
  const int srgb = greyOf(greyPng(16, 40000, {{"sRGB", {0}}}));
  EXPECT_GE(srgb, 155);
  EXPECT_LE(srgb, 156);
}

TEST(PngReader, ChunksClaimingMoreThanTheFileAreRefusedUnread) {
  std::vector<std::uint8_t> png = greyPng(8, 10);
  png.resize(33);  // signature and header
  putBig32(png, 0x7FFFFFFF);
  png.insert(png.end(), {'z', 'T', 'X', 't', 'k', 0, 0});
  try {
    readPng(png);
    FAIL() << "read a PNG whose chunk runs past its end";
  } catch (const PngError& e) {
    EXPECT_STREQ(e.what(), "PNG: a chunk claims 2147483647 bytes, more than the file holds");
  }
  // One byte past the end is as wrong as two gigabytes.
  std::vector<std::uint8_t> cut = greyPng(8, 10);
  cut.resize(cut.size() - 13);  // without IEND, and one byte of the IDAT's checksum
  EXPECT_THROW(readPng(cut), PngError);
}

TEST(PngReader, TextChunksAreDroppedUnread) {
  // A zTXt chunk that would unpack to 16 MB of zeros, and plain text: the picture reads
  // as without them.
  std::vector<std::uint8_t> zeros(16 << 20, 0);
  std::vector<std::uint8_t> packed(compressBound(static_cast<uLong>(zeros.size())));
  uLongf size = static_cast<uLongf>(packed.size());
  compress2(packed.data(), &size, zeros.data(), static_cast<uLong>(zeros.size()), 9);
  packed.resize(size);
  std::vector<std::uint8_t> ztxt = {'k', 0, 0};
  ztxt.insert(ztxt.end(), packed.begin(), packed.end());
  const std::vector<std::uint8_t> text = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'};
  EXPECT_EQ(greyOf(greyPng(8, 77, {{"zTXt", ztxt}, {"tEXt", text}})), 77);
  EXPECT_GE(greyOf(greyPng(16, 40000, {{"tEXt", text}})), 155);
}

}  // namespace
}  // namespace zefra::io
