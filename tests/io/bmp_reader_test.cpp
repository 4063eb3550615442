// BMP reader: every depth and compression from bytes built here, row order, and rejection
// of malformed or oversized files before anything large is allocated.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "io/bmp_reader.h"
#include "io/bmp_test_bytes.h"
#include "io/lbl_test_files.h"

using namespace zefra;
using namespace zefra::io;
using zefra::bmptest::BmpLayout;
using zefra::bmptest::makeBmp;

namespace {

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kBlack = rgb(0, 0, 0);

// Palette entries are 0x00RRGGBB in the helper.
constexpr std::uint32_t kPalRed = 0xFF0000, kPalGreen = 0x00FF00, kPalBlue = 0x0000FF, kPalWhite = 0xFFFFFF;

void expectRow(const raster::FastBitmap& b, int y, std::initializer_list<Color> colours) {
  int x = 0;
  for (Color c : colours) {
    EXPECT_EQ(b.pixel(x, y), c) << "x=" << x << " y=" << y;
    ++x;
  }
}

}  // namespace

TEST(BmpReader, OneBitBottomUpWithPaddedRows) {
  BmpLayout s;
  s.width = 10;
  s.height = 2;
  s.bitCount = 1;
  s.palette = {0x000000, kPalWhite};
  // Stored bottom row first; 10 bits use 2 bytes, padded to 4.
  s.pixels = {0b10000000, 0b01000000, 0, 0,   // bottom row: x = 0 and x = 9 white
              0b01010101, 0b01000000, 0, 0};  // top row: odd x white
  const raster::FastBitmap b = readBmp(makeBmp(s));
  ASSERT_EQ(b.width(), 10);
  ASSERT_EQ(b.height(), 2);
  expectRow(b, 1, {kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite});
  expectRow(b, 0, {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite});
}

TEST(BmpReader, FourAndEightBitPalettes) {
  BmpLayout s4;
  s4.width = 3;
  s4.height = 1;
  s4.bitCount = 4;
  s4.palette = {0, kPalRed, kPalGreen, kPalBlue};
  s4.colorsUsed = 4;
  s4.pixels = {0x12, 0x30, 0, 0};
  expectRow(readBmp(makeBmp(s4)), 0, {kRed, kGreen, kBlue});

  BmpLayout s8;
  s8.width = 2;
  s8.height = 2;
  s8.bitCount = 8;
  s8.palette.assign(256, 0);
  s8.palette[7] = kPalBlue;
  s8.palette[200] = kPalRed;
  s8.pixels = {7, 200, 0, 0, 200, 7, 0, 0};
  const raster::FastBitmap b = readBmp(makeBmp(s8));
  expectRow(b, 0, {kRed, kBlue});
  expectRow(b, 1, {kBlue, kRed});
}

TEST(BmpReader, ShortPaletteReadsMissingEntriesAsBlack) {
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 8;
  s.palette = {kPalRed};
  s.colorsUsed = 1;
  s.pixels = {0, 9, 0, 0};
  expectRow(readBmp(makeBmp(s)), 0, {kRed, kBlack});
}

TEST(BmpReader, SixteenBitDefaultAndBitFields) {
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 16;
  // 5-5-5: pure red 0x7C00, pure blue 0x001F.
  s.pixels = {0x00, 0x7C, 0x1F, 0x00};
  expectRow(readBmp(makeBmp(s)), 0, {kRed, kBlue});

  s.compression = 3;
  s.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
  s.pixels = {0xE0, 0x07, 0x10, 0x84};  // pure green; 0x8410 = half grey (16, 32, 16 levels)
  const raster::FastBitmap b = readBmp(makeBmp(s));
  EXPECT_EQ(b.pixel(0, 0), kGreen);
  // 16/31 and 32/63 of full scale: 132 and 130.
  EXPECT_EQ(b.pixel(1, 0), rgb(132, 130, 132));
}

TEST(BmpReader, TwentyFourBitTopDownAndBottomUp) {
  BmpLayout s;
  s.width = 1;
  s.height = -2;  // top-down
  s.bitCount = 24;
  s.pixels = {0, 0, 255, 0, /* row 0: red */ 255, 0, 0, 0 /* row 1: blue */};
  raster::FastBitmap b = readBmp(makeBmp(s));
  EXPECT_EQ(b.pixel(0, 0), kRed);
  EXPECT_EQ(b.pixel(0, 1), kBlue);
  s.height = 2;  // the same bytes bottom-up
  b = readBmp(makeBmp(s));
  EXPECT_EQ(b.pixel(0, 0), kBlue);
  EXPECT_EQ(b.pixel(0, 1), kRed);
}

TEST(BmpReader, LastRowMayLackItsPadding) {
  BmpLayout s;
  s.width = 1;
  s.height = 1;
  s.pixels = {0, 255, 0};
  EXPECT_EQ(readBmp(makeBmp(s)).pixel(0, 0), kGreen);
}

TEST(BmpReader, ThirtyTwoBitPlainAndWithMasks) {
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 32;
  s.pixels = {255, 0, 0, 77, 0, 0, 255, 0};  // B G R X
  expectRow(readBmp(makeBmp(s)), 0, {kBlue, kRed});

  s.compression = 3;
  s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // R in the low byte
  s.pixels = {255, 0, 0, 0, 0, 0, 255, 0};
  expectRow(readBmp(makeBmp(s)), 0, {kRed, kBlue});

  // A V4 header carries the masks inside the header.
  BmpLayout v4 = s;
  v4.infoSize = 108;
  v4.masks.clear();
  std::vector<std::uint8_t> bytes = makeBmp(v4);
  const std::uint32_t masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF};  // ordinary BGRX
  for (int m = 0; m < 3; ++m)
    for (int k = 0; k < 4; ++k) bytes[54 + 4 * m + k] = static_cast<std::uint8_t>(masks[m] >> (8 * k));
  expectRow(readBmp(bytes), 0, {kBlue, kRed});
}

TEST(BmpReader, CoreHeaderWithThreeBytePalette) {
  BmpLayout s;
  s.infoSize = 12;
  s.width = 2;
  s.height = 1;
  s.bitCount = 8;
  s.palette = {kPalGreen, kPalBlue};
  s.pixels = {1, 0, 0, 0};
  expectRow(readBmp(makeBmp(s)), 0, {kBlue, kGreen});
}

TEST(BmpReader, Rle8RunsAbsoluteDeltaAndEnd) {
  BmpLayout s;
  s.width = 6;
  s.height = 3;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = {0, kPalRed, kPalGreen, kPalBlue};
  s.pixels = {
      3, 1,           // bottom row: 3 red
      0, 3, 2, 3, 2, 0,  // absolute: green blue green (+ pad byte)
      0, 0,           // end of line
      0, 2, 4, 1,     // delta: x += 4, one line up -> (4, top row)
      2, 3,           // 2 blue at x = 4, 5 of the top row
      0, 1,           // end of bitmap
  };
  const raster::FastBitmap b = readBmp(makeBmp(s));
  expectRow(b, 2, {kRed, kRed, kRed, kGreen, kBlue, kGreen});
  expectRow(b, 1, {kBlack, kBlack, kBlack, kBlack, kBlack, kBlack});  // skipped
  expectRow(b, 0, {kBlack, kBlack, kBlack, kBlack, kBlue, kBlue});
}

TEST(BmpReader, Rle4AlternatesNibbles) {
  BmpLayout s;
  s.width = 7;
  s.height = 1;
  s.bitCount = 4;
  s.compression = 2;
  s.palette = {0, kPalRed, kPalGreen, kPalBlue};
  s.pixels = {3, 0x12,           // red green red
              0, 3, 0x32, 0x10,  // absolute: blue green red (two bytes, already even)
              1, 0x30,           // one blue
              0, 1};
  expectRow(readBmp(makeBmp(s)), 0, {kRed, kGreen, kRed, kBlue, kGreen, kRed, kBlue});
}

TEST(BmpReader, RleRunsPastTheRowEndAreCut) {
  BmpLayout s;
  s.width = 2;
  s.height = 2;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = {0, kPalRed};
  s.pixels = {255, 1, 0, 0, 200, 1, 0, 0, 9, 1, 0, 1};  // runs longer than the row, extra lines
  const raster::FastBitmap b = readBmp(makeBmp(s));
  expectRow(b, 0, {kRed, kRed});
  expectRow(b, 1, {kRed, kRed});
}

TEST(BmpReader, MalformedFilesAreRejected) {
  BmpLayout good;
  good.width = 2;
  good.height = 2;
  good.pixels.assign(16, 0);
  ASSERT_NO_THROW(readBmp(makeBmp(good)));

  std::vector<std::uint8_t> bytes = makeBmp(good);
  bytes[0] = 'X';
  EXPECT_THROW(readBmp(bytes), BmpError);
  EXPECT_THROW(readBmp(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 20)), BmpError);
  EXPECT_THROW(readBmp(std::vector<std::uint8_t>{}), BmpError);

  auto rejects = [](BmpLayout s) { EXPECT_THROW(readBmp(makeBmp(s)), BmpError); };
  BmpLayout s = good;
  s.pixels.resize(9);  // truncated pixel data
  rejects(s);
  s = good;
  s.width = 0;
  rejects(s);
  s = good;
  s.bitCount = 7;
  rejects(s);
  s = good;
  s.compression = 1;  // RLE8 with 24 bits per pixel
  rejects(s);
  s = good;
  s.compression = 4;  // JPEG inside
  rejects(s);
  s = good;
  s.bitCount = 8;
  s.compression = 1;
  s.height = -2;  // top-down RLE does not exist
  rejects(s);
  s = good;
  s.infoSize = 30;  // unknown header
  rejects(s);
  s = good;
  s.compression = 3;  // bit fields with 24 bits per pixel
  s.masks = {1, 2, 4};
  rejects(s);
}

TEST(BmpReader, HugeDimensionsAreRejectedBeforeAllocating) {
  BmpLayout s;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = {0};
  s.pixels = {0, 1};
  s.width = 100000;
  s.height = 1;
  EXPECT_THROW(readBmp(makeBmp(s)), BmpError);
  s.width = 30000;
  s.height = 30000;  // each side allowed, the area is not
  EXPECT_THROW(readBmp(makeBmp(s)), BmpError);
  s.width = 1;
  s.height = -2147483647 - 1;  // the most negative height cannot be negated
  s.compression = 0;
  EXPECT_THROW(readBmp(makeBmp(s)), BmpError);
  // An uncompressed image whose rows the file cannot hold.
  BmpLayout u;
  u.width = 4000;
  u.height = 4000;
  u.pixels.assign(100, 0);
  EXPECT_THROW(readBmp(makeBmp(u)), BmpError);
}

TEST(BmpReader, BrokenDataOffsetFallsBackToAfterThePalette) {
  BmpLayout s;
  s.width = 1;
  s.height = 1;
  s.bitCount = 8;
  s.palette = {kPalRed, kPalBlue};
  s.colorsUsed = 2;
  s.pixels = {1, 0, 0, 0};
  std::vector<std::uint8_t> bytes = makeBmp(s);
  bytes[10] = 0xFF;  // offset far past the end
  bytes[11] = 0xFF;
  EXPECT_EQ(readBmp(bytes).pixel(0, 0), kBlue);
}

TEST(BmpReader, FileErrors) {
  const zefra::testing::TempDir temp;
  const auto dir = temp.path;
  EXPECT_THROW(readBmpFile(dir / "does_not_exist.bmp"), BmpError);
  EXPECT_THROW(readBmpFile(dir), BmpError);  // a folder
  BmpLayout s;
  s.width = 1;
  s.height = 1;
  s.pixels = {0, 0, 255, 0};
  const auto bytes = makeBmp(s);
  std::ofstream(dir / "one.bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_EQ(readBmpFile(dir / "one.bmp").pixel(0, 0), kRed);
}
