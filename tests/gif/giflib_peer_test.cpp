// Every GIF Zefra writes must decode with giflib to exactly the pixels written, and read
// back with Zefra item for item. The cases are drawn at random from a fixed seed, covering
// colour table sizes, interlacing, local and global tables, transparency, loop and comment
// extensions, both compressors, widths 1..600 and 1..50 frames.

#include <gtest/gtest.h>

#include <random>

#include "gif/application_extension.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

using testing::randomPixels;

struct Options {
  int frames = 1;
  int maxWidth = 600;
  int maxHeight = 40;
  bool anyColors = true;  // else fixed table size
  int colors = 2;
};

// Builds an image at random and remembers what each frame holds.
std::unique_ptr<GifImage> randomImage(std::mt19937& rng, const Options& o, CompressionKind kind) {
  auto image = std::make_unique<GifImage>();
  image->compressionKind = kind;
  std::uniform_int_distribution<int> coin(0, 1);
  std::uniform_int_distribution<int> colorCount(1, 256);
  const bool useGlobal = coin(rng) != 0;
  const int globalColors = o.anyColors ? colorCount(rng) : o.colors;
  if (useGlobal)
    for (int i = 0; i < globalColors; ++i)
      image->globalTable().append(rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                      static_cast<std::uint8_t>(i * 7)));
  const int screenW = std::uniform_int_distribution<int>(1, o.maxWidth)(rng);
  const int screenH = std::uniform_int_distribution<int>(1, o.maxHeight)(rng);
  for (int f = 0; f < o.frames; ++f) {
    auto frame = std::make_unique<GifFrame>(image.get());
    const int w = std::uniform_int_distribution<int>(1, screenW)(rng);
    const int h = std::uniform_int_distribution<int>(1, screenH)(rng);
    const int left = std::uniform_int_distribution<int>(0, screenW - w)(rng);
    const int top = std::uniform_int_distribution<int>(0, screenH - h)(rng);
    frame->setPlacement(left, top, w, h);
    int colors = globalColors;
    if (!useGlobal || coin(rng)) {
      colors = o.anyColors ? colorCount(rng) : o.colors;
      for (int i = 0; i < colors; ++i)
        frame->localColorMap().append(rgb(static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i),
                                          static_cast<std::uint8_t>(200 - i / 2)));
    }
    frame->setInterlaced(coin(rng) != 0);
    frame->setPixels(randomPixels(rng, static_cast<std::size_t>(w) * h, colors, coin(rng) && coin(rng)));
    if (coin(rng)) {
      auto gce = std::make_unique<GraphicControlExtension>(*frame);
      gce->setDelayCs(static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, 500)(rng)));
      gce->setDisposal(static_cast<Disposal>(std::uniform_int_distribution<int>(0, 3)(rng)));
      if (coin(rng)) {
        gce->setTransparencyOn(true);
        gce->setTransparentIndex(std::uniform_int_distribution<int>(0, colors - 1)(rng));
      }
      frame->extensions().add(std::move(gce));
    }
    if (f == 0 && coin(rng)) {
      auto loop = std::make_unique<LoopExtension>(*frame);
      loop->loopCount = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, 65535)(rng));
      if (coin(rng)) loop->bufferHint = 0x12345678;
      frame->extensions().add(std::move(loop));
    }
    if (coin(rng) && coin(rng)) {
      auto comment = std::make_unique<CommentExtension>(*frame);
      comment->lines.push_back(std::string(static_cast<std::size_t>(std::uniform_int_distribution<int>(1, 255)(rng)), 'c'));
      frame->extensions().add(std::move(comment));
    }
    image->addFrame(std::move(frame));
  }
  return image;
}

// A table comes back padded to a power of two with black entries.
void expectSameTable(const ColorMap& written, const ColorMap& read) {
  ASSERT_EQ(read.count(), written.empty() ? 0 : 1 << written.pixelBits());
  for (int i = 0; i < read.count(); ++i)
    EXPECT_EQ(toColor(read[i]), i < written.count() ? toColor(written[i]) : Color{0}) << "entry " << i;
}

// Zefra reads back what it wrote: same frames, placement, tables, pixels and extensions.
void expectSameItems(const GifImage& a, const GifImage& b) {
  ASSERT_EQ(a.width(), b.width());
  ASSERT_EQ(a.height(), b.height());
  expectSameTable(a.globalTable(), b.globalTable());
  ASSERT_EQ(a.frames().count(), b.frames().count());
  for (int i = 0; i < a.frames().count(); ++i) {
    const GifFrame& fa = a.frames()[i];
    const GifFrame& fb = b.frames()[i];
    EXPECT_EQ(fa.left(), fb.left());
    EXPECT_EQ(fa.top(), fb.top());
    EXPECT_EQ(fa.width(), fb.width());
    EXPECT_EQ(fa.height(), fb.height());
    expectSameTable(fa.localColorMap(), fb.localColorMap());
    EXPECT_EQ(fa.descriptorPacked(), fb.packed());
    ASSERT_EQ(fa.pixelCount(), fb.pixelCount());
    EXPECT_TRUE(std::equal(fa.pixels(), fa.pixels() + fa.pixelCount(), fb.pixels())) << "frame " << i;
    EXPECT_EQ(fa.hasTransparency, fb.hasTransparency);
    ASSERT_EQ(fa.extensions().count(), fb.extensions().count());
    for (int e = 0; e < fa.extensions().count(); ++e) {
      const GifExtension& ea = fa.extensions()[e];
      const GifExtension& eb = fb.extensions()[e];
      ASSERT_EQ(&ea.extensionClass(), &eb.extensionClass()) << "frame " << i << " extension " << e;
      if (auto* ga = dynamic_cast<const GraphicControlExtension*>(&ea)) {
        EXPECT_EQ(ga->block(), dynamic_cast<const GraphicControlExtension&>(eb).block());
      }
      if (auto* la = dynamic_cast<const LoopExtension*>(&ea)) {
        EXPECT_EQ(la->loopCount, dynamic_cast<const LoopExtension&>(eb).loopCount);
        EXPECT_EQ(la->bufferHint, dynamic_cast<const LoopExtension&>(eb).bufferHint);
      }
      if (auto* ca = dynamic_cast<const CommentExtension*>(&ea)) {
        EXPECT_EQ(ca->lines, dynamic_cast<const CommentExtension&>(eb).lines);
      }
    }
  }
}

class WrittenFilesTest : public ::testing::TestWithParam<int> {};

TEST_P(WrittenFilesTest, DecodeWithGiflibToThePixelsWrittenAndReadBackItemForItem) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()) * 7919u + 17u);
  Options o;
  const int pick = GetParam() % 10;
  o.frames = pick == 0 ? 50 : std::uniform_int_distribution<int>(1, 6)(rng);
  if (pick == 0) o.maxWidth = 60;
  const CompressionKind kind = GetParam() % 3 == 2 ? CompressionKind::RunLength : CompressionKind::Lzw;
  auto image = randomImage(rng, o, kind);
  const std::vector<std::uint8_t> bytes = image->saveToBytes();

  GifImage back;
  std::vector<std::string> warnings;
  back.warningHandler = [&](const GifItem*, int, const std::string& m) { warnings.push_back(m); };
  back.loadFromBytes(bytes);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  expectSameItems(*image, back);

#ifdef ZEFRA_HAVE_GIFLIB
  const testing::PeerImage peer = testing::giflibDecode(bytes);
  ASSERT_TRUE(peer.ok) << "giflib error " << peer.error;
  EXPECT_EQ(peer.width, image->width());
  EXPECT_EQ(peer.height, image->height());
  ASSERT_EQ(static_cast<int>(peer.frames.size()), image->frames().count());
  for (int i = 0; i < image->frames().count(); ++i) {
    const GifFrame& f = image->frames()[i];
    const auto& p = peer.frames[static_cast<std::size_t>(i)];
    EXPECT_EQ(p.left, f.left());
    EXPECT_EQ(p.top, f.top());
    EXPECT_EQ(p.width, f.width());
    EXPECT_EQ(p.height, f.height());
    EXPECT_EQ(p.interlaced, (f.descriptorPacked() & 0x40) != 0);
    EXPECT_EQ(p.pixels, std::vector<std::uint8_t>(f.pixels(), f.pixels() + f.pixelCount())) << "frame " << i;
  }
#endif
}

INSTANTIATE_TEST_SUITE_P(RandomSweep, WrittenFilesTest, ::testing::Range(0, 60));

#ifdef ZEFRA_HAVE_GIFLIB
// Every table size from 1 to 256, global and local, both compressors, interlaced where a
// global table allows it.
TEST(GiflibPeer, EveryColorTableSizeDecodesExactly) {
  std::mt19937 rng(4242);
  for (int colors = 1; colors <= 256; ++colors) {
    for (int local = 0; local < 2; ++local) {
      GifImage image;
      image.compressionKind = colors % 2 ? CompressionKind::RunLength : CompressionKind::Lzw;
      auto frame = std::make_unique<GifFrame>(&image);
      const int w = 1 + colors % 37;
      const int h = 1 + colors % 11;
      frame->setPlacement(0, 0, w, h);
      ColorMap& map = local ? static_cast<ColorMap&>(frame->localColorMap()) : image.globalTable();
      for (int i = 0; i < colors; ++i) map.append(rgb(static_cast<std::uint8_t>(i), 0, 0));
      frame->setInterlaced(!local);
      frame->setPixels(randomPixels(rng, static_cast<std::size_t>(w) * h, colors, colors % 3 == 0));
      image.addFrame(std::move(frame));
      const auto bytes = image.saveToBytes();
      const auto peer = testing::giflibDecode(bytes);
      ASSERT_TRUE(peer.ok) << colors << " colours";
      ASSERT_EQ(peer.frames.size(), 1u);
      const GifFrame& f = image.frames()[0];
      EXPECT_EQ(peer.frames[0].pixels, std::vector<std::uint8_t>(f.pixels(), f.pixels() + f.pixelCount()))
          << colors << " colours, local " << local;
      // The table is padded to a power of two with black entries.
      const int padded = 1 << ColorMap::pixelBitsFor(colors);
      EXPECT_EQ(local ? peer.frames[0].localColors : peer.globalColors, padded);
    }
  }
}

// Noise in 256 colours overflows the 4096-code table many times over.
TEST(GiflibPeer, LongCodeStreamsWithManyClearsDecodeExactly) {
  std::mt19937 rng(99);
  for (CompressionKind kind : {CompressionKind::Lzw, CompressionKind::RunLength}) {
    for (bool interlaced : {false, true}) {
      GifImage image;
      image.compressionKind = kind;
      for (int i = 0; i < 256; ++i) image.globalTable().append(rgb(static_cast<std::uint8_t>(i), 1, 2));
      auto frame = std::make_unique<GifFrame>(&image);
      frame->setPlacement(0, 0, 333, 271);
      frame->setInterlaced(interlaced);
      frame->setPixels(randomPixels(rng, 333u * 271u, 256, true));
      image.addFrame(std::move(frame));
      const auto bytes = image.saveToBytes();
      const auto trace = testing::traceCodes(testing::unpackSubBlocks(bytes, 13 + 768 + 10));
      EXPECT_GT(trace.codes.size(), 3u * 4096u);
      const auto peer = testing::giflibDecode(bytes);
      ASSERT_TRUE(peer.ok);
      const GifFrame& f = image.frames()[0];
      EXPECT_EQ(peer.frames[0].pixels, std::vector<std::uint8_t>(f.pixels(), f.pixels() + f.pixelCount()));
    }
  }
}

// The other direction: what giflib writes, Zefra reads to the same pixels.
TEST(GiflibPeer, FilesWrittenByGiflibDecodeWithZefra) {
  std::mt19937 rng(5);
  for (int bits : {1, 2, 5, 8}) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < 3; ++i) frames.push_back(randomPixels(rng, 123u * 45u, 1 << bits, i == 2));
    const auto bytes = testing::giflibEncode(123, 45, bits, frames);
    ASSERT_FALSE(bytes.empty());
    GifImage image;
    image.loadFromBytes(bytes);
    ASSERT_EQ(image.frames().count(), 3);
    for (int i = 0; i < 3; ++i) {
      const GifFrame& f = image.frames()[i];
      EXPECT_EQ(std::vector<std::uint8_t>(f.pixels(), f.pixels() + f.pixelCount()), frames[static_cast<std::size_t>(i)]);
    }
  }
}
#endif

}  // namespace
}  // namespace zefra::gif
