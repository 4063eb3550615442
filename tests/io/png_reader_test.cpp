// Reading PNG files the way other programs do: chunks that claim more bytes than the file
// holds are refused before libpng allocates what they claim, text chunks are never
// unpacked, and 16-bit samples of a file that states no colour encoding are sRGB.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "io/png_reader.h"

namespace zefra::io {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const std::string& type, const std::vector<std::uint8_t>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type.begin(), type.end());
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A 2 x 2 grey PNG (8 or 16 bits) whose every sample is `value`, with `extra` chunks after
// the header.
std::vector<std::uint8_t> greyPng(int depth, std::uint16_t value,
                                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extra = {}) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> header;
  put32(header, 2);
  put32(header, 2);
  header.insert(header.end(), {static_cast<std::uint8_t>(depth), 0, 0, 0, 0});
  chunk(png, "IHDR", header);
  for (const auto& [type, data] : extra) chunk(png, type, data);
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < 2; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 2; ++x) {
      if (depth == 16) raw.push_back(static_cast<std::uint8_t>(value >> 8));
      raw.push_back(static_cast<std::uint8_t>(value));
    }
  }
  std::vector<std::uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(packed.size());
  compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(size);
  chunk(png, "IDAT", packed);
  chunk(png, "IEND", {});
  return png;
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
  put32(png, 0x7FFFFFFF);
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
