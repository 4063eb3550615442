// The LZW decoder against reference streams and against the encoder, including streams
// far past 4096 codes, with and without clear codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "gif/frame_encoder.h"
#include "gif/gif_error.h"
#include "gif/lzw_decoder.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path wuffsDir() { return std::filesystem::path(ZEFRA_TESTDATA_DIR) / "gif-suite" / "wuffs-test-data"; }

struct Decoded {
  Bytes pixels;
  std::size_t count = 0;
  std::vector<std::string> warnings;
  std::size_t endPosition = 0;
};

Decoded decode(const Bytes& block, std::size_t pixelCount, std::uint8_t fill = 0) {
  Decoded d;
  d.pixels.assign(pixelCount, fill);
  GifInput input(block);
  LzwDecoder decoder;
  d.count = decoder.decode(input, d.pixels, [&](const std::string& m) { d.warnings.push_back(m); });
  d.endPosition = input.position();
  return d;
}

// A reference file: literal width byte, then the code stream without sub-block lengths.
TEST(Lzw, ReferenceStreamsDecodeToTheirReferences) {
  const auto dir = wuffsDir();
  if (!std::filesystem::exists(dir / "pi.txt.giflzw")) GTEST_SKIP() << "GIF test data not found in " << dir;
  for (const std::string name : {"pi.txt", "bricks-dither.indexes", "bricks-nodither.indexes", "bricks-gray.indexes"}) {
    const Bytes raw = readFile(dir / (name + ".giflzw"));
    const Bytes expected = readFile(dir / name);
    ASSERT_FALSE(raw.empty());
    const Bytes block = testing::imageData(raw[0], Bytes(raw.begin() + 1, raw.end()));
    const Decoded d = decode(block, expected.size());
    EXPECT_EQ(d.count, expected.size()) << name;
    EXPECT_TRUE(d.pixels == expected) << name;
    EXPECT_TRUE(d.warnings.empty()) << name << ": " << d.warnings.front();
    EXPECT_EQ(d.endPosition, block.size()) << name;
  }
}

// Encoder and decoder agree for every code size, on noise (many clears) and on runs.
TEST(Lzw, EncoderOutputDecodesExactly) {
  std::mt19937 rng(21);
  for (int bits = 1; bits <= 8; ++bits) {
    for (bool noisy : {false, true}) {
      for (CompressionKind kind : {CompressionKind::Lzw, CompressionKind::RunLength}) {
        const std::size_t n = 70000;
        const Bytes pixels = testing::randomPixels(rng, n, 1 << bits, noisy);
        Bytes block;
        VectorGifStream stream(block);
        compressFrame(stream, bits, 1 << bits, pixels.data(), false, 1, static_cast<int>(n), kind);
        block.push_back(0x3B);  // whatever follows must stay unread
        const Decoded d = decode(block, n);
        EXPECT_TRUE(d.pixels == pixels) << bits << " bits, noisy " << noisy;
        EXPECT_TRUE(d.warnings.empty());
        EXPECT_EQ(d.endPosition, block.size() - 1);
      }
    }
  }
}

TEST(Lzw, SurplusDataAfterTheLastPixelIsSkipped) {
  // clear, 1, 2, 3, then more codes than the 2 pixels wanted, without an end code.
  testing::CodePacker p;
  p.put(4, 3).put(1, 3).put(2, 3).put(3, 3).put(1, 4).put(1, 4).put(1, 4);
  Bytes block = testing::imageData(2, p.finish());
  block.push_back(0x2C);
  const Decoded d = decode(block, 2);
  EXPECT_EQ(d.pixels, (Bytes{1, 2}));
  EXPECT_EQ(d.endPosition, block.size() - 1);
}

TEST(Lzw, TableStaysFullAt12BitsUntilAClear) {
  // 2-bit roots, no clears: fill the table with literal codes, then keep sending literals
  // at 12 bits. A decoder that kept growing the width would misread everything after.
  testing::CodePacker p;
  Bytes expected;
  p.put(4, 3);
  int width = 3;
  unsigned next = 6;
  for (int i = 0; i < 5000; ++i) {
    const unsigned pixel = static_cast<unsigned>(i % 3);
    p.put(pixel, width);
    expected.push_back(static_cast<std::uint8_t>(pixel));
    if (i > 0 && next < 4096) {
      ++next;
      if (next == (1u << width) && width < 12) ++width;
    }
  }
  p.put(5, 12);
  const Decoded d = decode(testing::imageData(2, p.finish()), expected.size());
  EXPECT_EQ(d.pixels, expected);
  EXPECT_TRUE(d.warnings.empty());
}

TEST(Lzw, MinimumCodeSizeLimits) {
  EXPECT_THROW(decode(testing::imageData(12, {0, 0, 0}), 4), GifError);
  // Without any byte the pixels stay as they were.
  const Decoded none = decode(Bytes{}, 3, 7);
  EXPECT_EQ(none.count, 0u);
  EXPECT_EQ(none.pixels, (Bytes{7, 7, 7}));
}

}  // namespace
}  // namespace zefra::gif
