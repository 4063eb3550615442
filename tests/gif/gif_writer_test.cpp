// The bytes the writer produces: layouts, packed bytes, padding, sub-blocks, versions,
// code widths and the colour checks.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "gif/application_extension.h"
#include "gif/frame_encoder.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/run_length_encoder.h"
#include "gif/sub_block_writer.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& b, std::size_t from, std::size_t count) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

GifFrame& addFrame(GifImage& image, int w, int h, Bytes pixels) {
  auto frame = std::make_unique<GifFrame>(&image);
  frame->setPlacement(0, 0, w, h);
  frame->setPixels(std::move(pixels));
  GifFrame& ref = *frame;
  image.addFrame(std::move(frame));
  return ref;
}

template <class Ext>
Bytes extensionBytes(std::unique_ptr<Ext> ext) {
  Bytes out;
  VectorGifStream stream(out);
  ext->saveToStream(stream);
  return out;
}

TEST(GifWriter, OnePixelFrameWithTwoColorLocalTable) {
  GifImage image;
  GifFrame& frame = addFrame(image, 1, 1, {1});
  frame.localColorMap().append(rgb(255, 0, 0));
  frame.localColorMap().append(rgb(0, 0, 255));
  const Bytes b = image.saveToBytes();
  // Codes clear 4, pixel 1, end 5 at 3 bits, least significant first: 100 | 001 | 101.
  const Bytes expected = {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x00, 0, 0,  // screen, no global table
                          0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80,                      // descriptor, local table of 2
                          255, 0, 0, 0, 0, 255,                                    // the table
                          2, 2, 0x4C, 0x01, 0x00,                                  // image data
                          0x3B};
  // 4 + (1 << 3) + (5 << 6) = 332 = 0x14C.
  EXPECT_EQ(b, expected);
}

TEST(GifWriter, ColorTablesArePaddedToAPowerOfTwo) {
  GifImage image;
  for (int i = 0; i < 5; ++i) image.globalTable().append(rgb(10, 20, static_cast<std::uint8_t>(30 + i)));
  addFrame(image, 2, 1, {0, 4});
  const Bytes b = image.saveToBytes();
  // Global table present, resolution 2, size bits 2.
  EXPECT_EQ(b[10], 0x80 | (2 << 4) | 2);
  const Bytes table = slice(b, 13, 24);
  EXPECT_EQ(slice(table, 12, 3), (Bytes{10, 20, 34}));
  EXPECT_EQ(slice(table, 15, 9), Bytes(9, 0));
  EXPECT_EQ(b[37], 0x2C);
}

TEST(GifWriter, NoTableAnywhereWritesNoTableAndClearsTheFlag) {
  GifImage image;
  addFrame(image, 3, 1, {0, 0, 0});
  const Bytes b = image.saveToBytes();
  EXPECT_EQ(b[10] & 0x80, 0);
  EXPECT_EQ(b[13], 0x2C);
  EXPECT_EQ(b[22], 0x00);  // descriptor packed: no local table
  EXPECT_EQ(b[23], 2);     // minimum code size raised to 2
}

TEST(GifWriter, ScreenPackedByteFollowsTheWidestTable) {
  GifImage image;
  for (int i = 0; i < 5; ++i) image.globalTable().append(rgb(1, 2, static_cast<std::uint8_t>(i)));
  GifFrame& frame = addFrame(image, 1, 1, {0});
  for (int i = 0; i < 200; ++i) frame.localColorMap().append(rgb(static_cast<std::uint8_t>(i), 0, 0));
  image.globalTable().setSorted(true);
  const Bytes b = image.saveToBytes();
  EXPECT_EQ(b[10], 0x80 | 0x70 | 0x08 | 2);
  EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 6), "89a");  // a sorted table needs 89a
}

TEST(GifWriter, DescriptorPackedByte) {
  GifImage image;
  GifFrame& frame = addFrame(image, 1, 1, {0});
  frame.setPacked(0xFF);
  EXPECT_EQ(frame.descriptorPacked(), 0x58);  // interlace and reserved bits only
  for (int i = 0; i < 3; ++i) frame.localColorMap().append(rgb(0, 0, static_cast<std::uint8_t>(i)));
  EXPECT_EQ(frame.descriptorPacked(), 0x81);  // a local table is never written interlaced
  frame.localColorMap().setSorted(true);
  EXPECT_EQ(frame.descriptorPacked(), 0xA1);
}

TEST(GifWriter, VersionIs87aUntilSomethingNeeds89a) {
  GifImage image;
  image.globalTable().append(rgb(0, 0, 0));
  GifFrame& frame = addFrame(image, 1, 1, {0});
  auto version = [&] {
    const Bytes b = image.saveToBytes();
    return std::string(b.begin(), b.begin() + 6);
  };
  EXPECT_EQ(version(), "GIF87a");
  frame.extensions().add(std::make_unique<GraphicControlExtension>(frame));
  EXPECT_EQ(version(), "GIF89a");
  frame.extensions().clear();
  EXPECT_EQ(version(), "GIF87a");
  image.header().setAspectRatio(49);
  EXPECT_EQ(version(), "GIF89a");
  image.header().setAspectRatio(0);
  image.globalTable().setSorted(true);
  EXPECT_EQ(version(), "GIF89a");
}

TEST(GifWriter, ExtensionLayouts) {
  GifImage image;
  GifFrame& frame = addFrame(image, 1, 1, {0});

  auto loop = std::make_unique<LoopExtension>(frame);
  loop->loopCount = 0x0102;
  Bytes expected = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0x02, 0x01, 0};
  EXPECT_EQ(extensionBytes(std::move(loop)), expected);

  auto buffered = std::make_unique<LoopExtension>(frame);
  buffered->bufferHint = 0x0A0B0C0D;
  Bytes b = extensionBytes(std::move(buffered));
  // The buffer sub-block is its length 5, the id 2 and the u32: six more bytes.
  ASSERT_EQ(b.size(), 25u);
  EXPECT_EQ(slice(b, 18, 7), (Bytes{5, 2, 0x0D, 0x0C, 0x0B, 0x0A, 0}));

  auto gce = std::make_unique<GraphicControlExtension>(frame);
  gce->setDelayCs(300);
  gce->setDisposal(Disposal::RestorePrevious);
  gce->setUserInput(true);
  EXPECT_EQ(extensionBytes(std::move(gce)), (Bytes{0x21, 0xF9, 4, 0x0E, 0x2C, 0x01, 0, 0}));

  auto comment = std::make_unique<CommentExtension>(frame);
  comment->lines = {std::string(256, 'x'), "", "ab"};
  b = extensionBytes(std::move(comment));
  ASSERT_EQ(b.size(), 2u + 256 + 1 + 3 + 1 + 1);
  EXPECT_EQ(b[2], 255);
  EXPECT_EQ(b[258], 1);
  EXPECT_EQ(slice(b, 260, 4), (Bytes{2, 'a', 'b', 0}));

  auto text = std::make_unique<PlainTextExtension>(frame);
  text->block[1] = 7;
  text->lines = {"hi"};
  b = extensionBytes(std::move(text));
  EXPECT_EQ(slice(b, 0, 4), (Bytes{0x21, 0x01, 12, 7}));
  EXPECT_EQ(slice(b, 15, 4), (Bytes{2, 'h', 'i', 0}));

  auto unknown = std::make_unique<UnknownApplicationExtension>(frame);
  unknown->identifier = applicationId("ZEFRATST1.0");
  unknown->blocks = {DataSubBlock{{1, 2, 3}}, DataSubBlock{{9}}};
  b = extensionBytes(std::move(unknown));
  EXPECT_EQ(slice(b, 14, b.size() - 14), (Bytes{3, 1, 2, 3, 1, 9, 0}));
}

TEST(GifWriter, GraphicControlReservedBitsReadFromAFileAreWrittenAsZero) {
  // One 1 x 1 frame whose graphic control packed byte has all three reserved bits set,
  // disposal 2, user input and transparency: 111 010 1 1.
  const Bytes file = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,  // screen, global table of 2
                      0, 0, 0, 255, 255, 255,                              // the table
                      0x21, 0xF9, 4, 0xEB, 7, 0, 1, 0,                     // graphic control
                      0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00,                  // descriptor
                      2, 2, 0x4C, 0x01, 0x00,                              // pixel 1
                      0x3B};
  GifImage image;
  image.loadFromBytes(file);
  ASSERT_EQ(image.frames().count(), 1);
  const GraphicControlExtension* gce = image.frames()[0].graphicControl;
  ASSERT_NE(gce, nullptr);
  EXPECT_EQ(gce->disposal(), Disposal::RestoreBackground);
  EXPECT_TRUE(gce->userInput());
  EXPECT_TRUE(image.frames()[0].hasTransparency);
  const Bytes b = image.saveToBytes();
  const Bytes control = {0x21, 0xF9, 4, 0x0B, 7, 0, 1, 0};
  const auto at = std::search(b.begin(), b.end(), control.begin(), control.end());
  EXPECT_NE(at, b.end()) << "the packed byte keeps only flags and disposal";
  EXPECT_EQ(std::search(b.begin(), b.end(), file.begin() + 19, file.begin() + 27), b.end());
}

TEST(GifWriter, SubBlocksAreFullAndNeverEmpty) {
  for (std::size_t n : {0u, 1u, 254u, 255u, 256u, 510u, 600u}) {
    Bytes out;
    VectorGifStream stream(out);
    {
      SubBlockWriter writer(stream);
      for (std::size_t i = 0; i < n; ++i) writer.put(static_cast<std::uint8_t>(i));
      writer.finish();
    }
    std::vector<int> sizes;
    for (std::size_t pos = 0; pos < out.size(); pos += out[pos] + 1u) sizes.push_back(out[pos]);
    std::vector<int> expected(n / 255, 255);
    if (n % 255) expected.push_back(static_cast<int>(n % 255));
    EXPECT_EQ(sizes, expected) << n << " bytes";
  }
}

TEST(GifWriter, ExactMultipleOf255CodeBytesEndsWithoutAnEmptyBlock) {
  // Search for a frame whose code stream is exactly 255 bytes long.
  std::mt19937 rng(3);
  const Bytes noise = testing::randomPixels(rng, 400, 256, true);
  bool found = false;
  for (int w = 150; w <= 400 && !found; ++w) {
    Bytes out;
    VectorGifStream stream(out);
    compressFrame(stream, 8, 256, noise.data(), false, 1, w, CompressionKind::Lzw);
    const auto s = testing::unpackSubBlocks(out, 0);
    if (s.data.size() != 255) continue;
    found = true;
    EXPECT_EQ(s.blockSizes, std::vector<int>{255});
    EXPECT_EQ(out.size(), 1u + 256u + 1u);
    EXPECT_EQ(out.back(), 0);
  }
  EXPECT_TRUE(found);
}

TEST(GifWriter, FrameWithoutPixelsWritesOnlyTheEndCode) {
  Bytes out;
  VectorGifStream stream(out);
  compressFrame(stream, 1, 2, nullptr, false, 5, 5, CompressionKind::Lzw);
  EXPECT_EQ(out, (Bytes{2, 1, 5, 0}));
  out.clear();
  compressFrame(stream, 8, 256, nullptr, false, 5, 5, CompressionKind::RunLength);
  EXPECT_EQ(out, (Bytes{8, 2, 0x01, 0x01, 0}));  // code 257 in 9 bits
}

TEST(GifWriter, LzwClearsBeforeCode4095AndNeverWidensPast12Bits) {
  std::mt19937 rng(11);
  const Bytes pixels = testing::randomPixels(rng, 60000, 256, true);
  Bytes out;
  VectorGifStream stream(out);
  compressFrame(stream, 8, 256, pixels.data(), false, 200, 300, CompressionKind::Lzw);
  const auto trace = testing::traceCodes(testing::unpackSubBlocks(out, 0));
  EXPECT_TRUE(trace.sawEnd);
  EXPECT_EQ(trace.pixels, pixels);  // widths grew exactly when a decoder expects them to
  EXPECT_EQ(*std::max_element(trace.widths.begin(), trace.widths.end()), 12);
  std::vector<std::size_t> clears;
  for (std::size_t i = 0; i < trace.codes.size(); ++i)
    if (trace.codes[i] == 256) clears.push_back(i);
  ASSERT_GE(clears.size(), 3u);
  // Entries 258..4094 are added (4093 - 256 of them); the code after the last one added
  // is followed by a clear: 3838 codes between two clears.
  for (std::size_t k = 1; k + 1 < clears.size(); ++k) EXPECT_EQ(clears[k] - clears[k - 1] - 1, 3838u);
}

TEST(GifWriter, RunLengthStreamsDecodeWithATextbookDecoder) {
  std::mt19937 rng(8);
  for (int bits : {2, 3, 4, 8}) {
    Bytes pixels;
    // Long runs (table building and repeats), short runs and single pixels.
    for (int run : {1, 2, 3, 7, 100, 5000, 1, 1, 20000, 3, 64, 9000})
      pixels.insert(pixels.end(), static_cast<std::size_t>(run),
                    static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, (1 << bits) - 1)(rng)));
    Bytes out;
    VectorGifStream stream(out);
    compressFrame(stream, bits, 1 << bits, pixels.data(), false, 1, static_cast<int>(pixels.size()),
                  CompressionKind::RunLength);
    const auto trace = testing::traceCodes(testing::unpackSubBlocks(out, 0));
    EXPECT_TRUE(trace.sawEnd);
    EXPECT_EQ(trace.pixels, pixels) << bits << " bits";
    EXPECT_LE(*std::max_element(trace.widths.begin(), trace.widths.end()), 12);
    // Runs are compressed: far fewer codes than pixels.
    EXPECT_LT(trace.codes.size(), pixels.size() / 20);
  }
}

TEST(GifWriter, RunLengthCostFromClear) {
  // Runs of 1, 2, 3, ... pixels: m codes cover m(m+1)/2 pixels.
  EXPECT_EQ(RunLengthEncoder::costFromClear(1, 100), 1u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(3, 100), 2u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(4, 100), 3u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(6, 100), 3u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(7, 100), 4u);
  // With room for 3 run codes a round covers 6 pixels in 3 codes.
  EXPECT_EQ(RunLengthEncoder::costFromClear(6, 3), 3u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(13, 3), 7u);
  EXPECT_EQ(RunLengthEncoder::costFromClear(0, 3), 0u);
}

TEST(GifWriter, PixelsOutsideTheTableStopTheSave) {
  for (CompressionKind kind : {CompressionKind::Lzw, CompressionKind::RunLength}) {
    GifImage image;
    image.compressionKind = kind;
    GifFrame& frame = addFrame(image, 2, 2, {0, 1, 2, 3});
    for (int i = 0; i < 3; ++i) frame.localColorMap().append(rgb(0, 0, static_cast<std::uint8_t>(i)));
    EXPECT_THROW(
        {
          try {
            image.saveToBytes();
          } catch (const GifError& e) {
            EXPECT_STREQ(e.what(), "Color not in color table");
            throw;
          }
        },
        GifError);
    // The first pixel is checked too.
    frame.setPixels({3, 0, 0, 0});
    EXPECT_THROW(image.saveToBytes(), GifError);
    // Without a local table any value below 2^bits of the widest table is allowed.
    frame.localColorMap().reset();
    for (int i = 0; i < 3; ++i) image.globalTable().append(rgb(0, 0, static_cast<std::uint8_t>(i)));
    EXPECT_NO_THROW(image.saveToBytes());
  }
}

TEST(GifWriter, ImageWithoutFramesCannotBeSaved) {
  GifImage image;
  std::vector<std::pair<ProgressStage, int>> events;
  image.progressHandler = [&](ProgressStage s, int p, const std::string& m) {
    EXPECT_EQ(m, "Saving...");
    events.emplace_back(s, p);
  };
  try {
    image.saveToBytes();
    FAIL() << "saved an image without frames";
  } catch (const GifError& e) {
    EXPECT_STREQ(e.what(), "Unsupported GIF version");
  }
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), std::make_pair(ProgressStage::Ending, 0));
}

TEST(GifWriter, ProgressPerFrame) {
  GifImage image;
  for (int i = 0; i < 4; ++i) addFrame(image, 1, 1, {0});
  std::vector<std::pair<ProgressStage, int>> events;
  image.progressHandler = [&](ProgressStage s, int p, const std::string&) { events.emplace_back(s, p); };
  image.saveToBytes();
  const std::vector<std::pair<ProgressStage, int>> expected = {
      {ProgressStage::Starting, 0}, {ProgressStage::Running, 25}, {ProgressStage::Running, 50},
      {ProgressStage::Running, 75}, {ProgressStage::Running, 100}, {ProgressStage::Ending, 100}};
  EXPECT_EQ(events, expected);
}

TEST(GifWriter, WriteOnlyStreamsRefuseReadingAndSeeking) {
  Bytes out;
  VectorGifStream stream(out);
  SubBlockWriter writer(stream);
  std::uint8_t b = 0;
  EXPECT_THROW(writer.read(&b, 1), GifError);
  EXPECT_THROW(writer.seek(0), GifError);
}

}  // namespace
}  // namespace zefra::gif
