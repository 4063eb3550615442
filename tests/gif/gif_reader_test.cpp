// Reading: tolerated oddities, warnings, errors, the decoder's corner cases and the limits
// that keep hostile files from making the reader allocate without bound.

#include <gtest/gtest.h>

#include "gif/application_extension.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/lzw_decoder.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::CodePacker;
using testing::imageData;

// GIF89a header, screen w x h, global table of 4 entries.
Bytes header(int w, int h) {
  Bytes b(13 + 12, 0);
  const Bytes start = {'G', 'I', 'F', '8', '9', 'a', static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
                       static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), 0x81, 0, 0};
  std::copy(start.begin(), start.end(), b.begin());
  for (int i = 0; i < 4; ++i) b[13 + 3 * static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 60);
  return b;
}

Bytes descriptor(int left, int top, int w, int h, std::uint8_t packed = 0) {
  return {0x2C,
          static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(left >> 8),
          static_cast<std::uint8_t>(top), static_cast<std::uint8_t>(top >> 8),
          static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
          static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), packed};
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t count) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// clear, the pixels as literal codes (3 bits, no table use), end: a valid 2-bit stream
// as long as fewer than 2 literals follow the clear (width grows after 2 more entries).
Bytes literalData(const Bytes& pixels) {
  CodePacker p;
  p.put(4, 3);
  int width = 3;
  unsigned next = 6;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    p.put(pixels[i], width);
    if (i > 0) {
      ++next;
      if (next == (1u << width) && width < 12) ++width;
    }
  }
  p.put(5, width);
  return imageData(2, p.finish());
}

struct Loaded {
  GifImage image;
  std::vector<std::string> warnings;
  std::string error;
  explicit Loaded(const Bytes& bytes) {
    image.warningHandler = [this](const GifItem*, int severity, const std::string& m) {
      EXPECT_EQ(severity, 1);
      warnings.push_back(m);
    };
    try {
      image.loadFromBytes(bytes);
    } catch (const GifError& e) {
      error = e.what();
    }
  }
  Bytes pixels(int frame) const {
    const GifFrame& f = image.frames()[frame];
    return Bytes(f.pixels(), f.pixels() + f.pixelCount());
  }
};

using Warnings = std::vector<std::string>;

TEST(GifReader, SignaturePrefixAndCase) {
  const Bytes plain = header(2, 1) + descriptor(0, 0, 2, 1) + literalData({1, 3}) + Bytes{0x3B};
  Loaded a(plain);
  ASSERT_EQ(a.error, "");
  EXPECT_EQ(a.pixels(0), (Bytes{1, 3}));
  EXPECT_EQ(a.image.header().loadedVersion, "89a");

  Loaded prefixed(Bytes{0xDE, 0xAD, 0xBE, 0xEF} + plain);
  ASSERT_EQ(prefixed.error, "");
  EXPECT_EQ(prefixed.pixels(0), (Bytes{1, 3}));

  Bytes lower = plain;
  lower[0] = 'g';
  lower[1] = 'i';
  lower[2] = 'f';
  EXPECT_EQ(Loaded(lower).error, "");

  Bytes bad = plain;
  bad[1] = 'X';
  EXPECT_EQ(Loaded(bad).error, "Invalid GIF signature");
  EXPECT_EQ(Loaded(Bytes{'G', 'I', 'F'}).error, "Premature end of data");
  EXPECT_EQ(Loaded(slice(plain, 0, 11)).error, "Premature end of data");
}

TEST(GifReader, TrailerAndUnknownBlocks) {
  const Bytes body = header(1, 1) + descriptor(0, 0, 1, 1) + literalData({2});
  Loaded noTrailer(body);
  EXPECT_EQ(noTrailer.error, "");
  EXPECT_TRUE(noTrailer.warnings.empty());
  EXPECT_EQ(noTrailer.image.frames().count(), 1);

  Loaded junk(body + Bytes{0, 0, 'x', 0x3B});
  EXPECT_EQ(junk.error, "");
  EXPECT_EQ(junk.warnings, (Warnings{"Unknown GIF block type", "Invalid Image trailer"}));
  EXPECT_EQ(junk.image.frames().count(), 1);
}

TEST(GifReader, DataEndingEarlyLeavesTheFillValueAndTheNextBlockIsRead) {
  // Frame 1 is transparent with index 3; its data holds 4 of 6 pixels and ends on a byte
  // boundary (codes of 3, 3, 3, 3 and 4 bits).
  CodePacker p;
  p.put(4, 3).put(1, 3).put(2, 3).put(1, 3).put(2, 4);
  const Bytes shortData = imageData(2, p.finish());
  const Bytes gce = {0x21, 0xF9, 4, 0x01, 0, 0, 3, 0};
  const Bytes file = header(3, 2) + gce + descriptor(0, 0, 3, 2) + shortData + descriptor(0, 0, 3, 2) + shortData +
                     Bytes{0x3B};
  Loaded l(file);
  ASSERT_EQ(l.error, "");
  ASSERT_EQ(l.image.frames().count(), 2);
  EXPECT_EQ(l.pixels(0), (Bytes{1, 2, 1, 2, 3, 3}));
  EXPECT_EQ(l.pixels(1), (Bytes{1, 2, 1, 2, 0, 0}));
  EXPECT_TRUE(l.image.frames()[0].hasTransparency);
  EXPECT_EQ(l.warnings, (Warnings{"Decoder bit buffer under-run", "Decoder bit buffer under-run"}));
}

TEST(GifReader, DataWithoutLeadingClearAndTheKwKwKCase) {
  // No clear code: 1, then 6 (not yet in the table: previous string + its first pixel,
  // "11"), then 7 (likewise, "111"). Adding entry 7 widens the codes to 4 bits for the end.
  CodePacker p;
  p.put(1, 3).put(6, 3).put(7, 3).put(5, 4);
  const Bytes file = header(6, 1) + descriptor(0, 0, 6, 1) + imageData(2, p.finish()) + Bytes{0x3B};
  Loaded l(file);
  ASSERT_EQ(l.error, "");
  EXPECT_EQ(l.pixels(0), (Bytes{1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(l.warnings.empty());
}

TEST(GifReader, InterlacedImagesFillEveryRowOnce) {
  for (int h : {1, 2, 3, 5, 9, 17}) {
    GifImage image;
    for (int i = 0; i < 32; ++i) image.globalTable().append(rgb(static_cast<std::uint8_t>(i), 0, 0));
    auto frame = std::make_unique<GifFrame>(&image);
    frame->setPlacement(0, 0, 3, h);
    frame->setInterlaced(true);
    Bytes rows;
    for (int y = 0; y < h; ++y) rows.insert(rows.end(), 3, static_cast<std::uint8_t>(y));
    frame->setPixels(rows);
    image.addFrame(std::move(frame));
    const Bytes bytes = image.saveToBytes();
    // The written data is in pass order: decode it without de-interlacing to check.
    const auto coded = testing::traceCodes(testing::unpackSubBlocks(bytes, 13 + 96 + 10)).pixels;
    Bytes passOrder;
    for (int start : {0, 4, 2, 1})
      for (int y = start; y < h; y += (start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2))
        passOrder.insert(passOrder.end(), 3, static_cast<std::uint8_t>(y));
    EXPECT_EQ(coded, passOrder) << "height " << h;
    Loaded l(bytes);
    ASSERT_EQ(l.error, "");
    EXPECT_TRUE(l.image.frames()[0].interlaced());
    EXPECT_EQ(l.pixels(0), rows) << "height " << h;
  }
}

TEST(GifReader, ExtensionsAfterTheLastImageMakeAnEmptyFrame) {
  const Bytes comment = {0x21, 0xFE, 3, 'e', 'n', 'd', 0};
  Loaded l(header(1, 1) + descriptor(0, 0, 1, 1) + literalData({1}) + comment + Bytes{0x3B});
  ASSERT_EQ(l.error, "");
  ASSERT_EQ(l.image.frames().count(), 2);
  const GifFrame& last = l.image.frames()[1];
  EXPECT_TRUE(last.empty());
  ASSERT_EQ(last.extensions().count(), 1);
  EXPECT_EQ(dynamic_cast<const CommentExtension&>(last.extensions()[0]).lines, std::vector<std::string>{"end"});
}

TEST(GifReader, ApplicationExtensions) {
  auto app = [](const std::string& id, const Bytes& data) {
    Bytes b = {0x21, 0xFF, 11};
    b.insert(b.end(), id.begin(), id.end());
    return b + data + Bytes{0};
  };
  const Bytes frame = descriptor(0, 0, 1, 1) + literalData({0});
  // Loop sub-block id 9 (9 & 7 = 1) is a loop count; id 2 a buffer size; others skipped.
  const Bytes file = header(1, 1) + app("ANIMEXTS1.0", {3, 9, 0x34, 0x12, 5, 2, 1, 0, 0, 0, 2, 7, 7}) +
                     app("ZEFRATST1.0", {2, 'a', 'b', 1, 'c'}) + frame + Bytes{0x3B};
  Loaded l(file);
  ASSERT_EQ(l.error, "");
  const ExtensionList& exts = l.image.frames()[0].extensions();
  ASSERT_EQ(exts.count(), 2);
  const auto* loop = dynamic_cast<const LoopExtension*>(&exts[0]);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->loopCount, 0x1234);
  EXPECT_EQ(loop->bufferHint, 1u);
  EXPECT_EQ(loop->identifier, applicationId("ANIMEXTS1.0"));
  const auto* unknown = dynamic_cast<const UnknownApplicationExtension*>(&exts[1]);
  ASSERT_NE(unknown, nullptr);
  ASSERT_EQ(unknown->blocks.size(), 2u);
  EXPECT_EQ(unknown->blocks[0].bytes, (Bytes{'a', 'b'}));
  // Written back unchanged.
  const Bytes again = l.image.saveToBytes();
  const Bytes original = app("ZEFRATST1.0", {2, 'a', 'b', 1, 'c'});
  EXPECT_NE(std::search(again.begin(), again.end(), original.begin(), original.end()), again.end());

  // A 10-byte identifier: the byte after it completes the identifier and is read again.
  Bytes ten = {0x21, 0xFF, 10, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2', 1, 'z', 0};
  Loaded t(header(1, 1) + ten + frame);
  ASSERT_EQ(t.error, "");
  const auto* short10 = dynamic_cast<const UnknownApplicationExtension*>(&t.image.frames()[0].extensions()[0]);
  ASSERT_NE(short10, nullptr);
  EXPECT_EQ(short10->identifier[10], 1);
  ASSERT_EQ(short10->blocks.size(), 1u);
  EXPECT_EQ(short10->blocks[0].bytes, Bytes{'z'});

  // Written back in the form it was read, byte for byte, so it reads back as itself, even
  // when its identifier completes to a known one: "NETSCAPE2." and a 48-byte first block
  // ('0') holding a would-be loop sub-block of length 2 (which that kind refuses).
  for (const Bytes& block :
       {ten, Bytes{0x21, 0xFF, 10, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}}) {
    Bytes extension = block;
    if (extension.size() == 14) {
      extension.insert(extension.end(), 48, 'x');  // the block the length '0' announces
      extension.insert(extension.end(), {2, 1, 0, 0});
    }
    Loaded read(header(1, 1) + extension + frame + Bytes{0x3B});
    ASSERT_EQ(read.error, "");
    const Bytes written = read.image.saveToBytes();
    EXPECT_NE(std::search(written.begin(), written.end(), extension.begin(), extension.end()), written.end());
    Loaded reread(written);
    ASSERT_EQ(reread.error, "");
    EXPECT_NE(dynamic_cast<const UnknownApplicationExtension*>(&reread.image.frames()[0].extensions()[0]), nullptr);
  }

  // What viewers pass over is skipped with a warning, and the image reads on: a loop
  // sub-block too short for its kind, block sizes no application writes.
  const auto skipped = [&](const Bytes& block, const std::string& warning) {
    Loaded l(header(1, 1) + block + frame);
    EXPECT_EQ(l.error, "") << warning;
    EXPECT_EQ(l.warnings, Warnings{warning});
    EXPECT_EQ(l.image.frames().count(), 1) << warning;
  };
  skipped(app("NETSCAPE2.0", {2, 1, 0}), "NETSCAPE sub-block 1 of 2 bytes skipped");
  skipped(app("NETSCAPE2.0", {1, 2, 3, 1, 5, 0}), "NETSCAPE sub-block 2 of 1 bytes skipped");
  skipped(app("NETSCAPE2.0", {4, 2, 0, 0, 0}), "NETSCAPE sub-block 2 of 4 bytes skipped");
  skipped(Bytes{0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, "Application Extension block of 9 bytes read as 11");
  Bytes wide = {0x21, 0xFF, 255};
  wide.insert(wide.end(), 255, 'x');
  skipped(wide + Bytes{1, 'y', 0}, "Application Extension block of 255 bytes read as 11");
  // A loop sub-block after a skipped one still counts.
  Loaded afterSkipped(header(1, 1) + app("NETSCAPE2.0", {1, 2, 3, 1, 7, 0}) + frame);
  ASSERT_EQ(afterSkipped.image.frames().count(), 1);
  const auto* ext = dynamic_cast<const LoopExtension*>(&afterSkipped.image.frames()[0].extensions()[0]);
  ASSERT_NE(ext, nullptr);
  EXPECT_EQ(ext->loopCount, 7);
  // Cut short, it is still an error.
  EXPECT_EQ(Loaded(header(1, 1) + Bytes{0x21, 0xFF, 255, 'x'}).error, "Premature end of data");
}

TEST(GifReader, ExtensionErrorsAndWarnings) {
  const Bytes frame = descriptor(0, 0, 1, 1) + literalData({0});
  // An extension nobody registered is passed over, its sub-blocks with it.
  Loaded unknown(header(1, 1) + Bytes{0x21, 0x02, 2, 9, 9, 1, 9, 0} + frame);
  EXPECT_EQ(unknown.error, "");
  EXPECT_EQ(unknown.warnings, Warnings{"Unknown extension type 0x02 skipped"});
  EXPECT_EQ(unknown.image.frames().count(), 1);
  EXPECT_EQ(Loaded(header(1, 1) + Bytes{0x21, 0x02, 5, 9}).error, "Premature end of data");
  // A short graphic control block warns and reads on.
  Loaded shortGce(header(1, 1) + Bytes{0x21, 0xF9, 4, 1});
  EXPECT_EQ(shortGce.error, "");
  EXPECT_EQ(shortGce.warnings, Warnings{"Premature end of data"});
  // A stray byte between extension and image is taken as the separator.
  Bytes stray = header(1, 1) + Bytes{0x21, 0xFE, 0, 0x77} + slice(frame, 1, frame.size() - 1);
  Loaded s(stray);
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(s.warnings, Warnings{"Invalid extension introducer"});
  ASSERT_EQ(s.image.frames().count(), 1);
  EXPECT_EQ(s.image.frames()[0].width(), 1);
  // Reading an extension directly checks its own introducer and label.
  GifImage image;
  GifFrame owner(&image);
  GraphicControlExtension gce(owner);
  Bytes wrongIntro = {0x22, 0xF9, 4, 0, 0, 0, 0, 0};
  GifInput in1(wrongIntro);
  EXPECT_THROW(gce.loadFromStream(in1), GifError);
  Bytes wrongLabel = {0x21, 0xFE, 0};
  GifInput in2(wrongLabel);
  try {
    gce.loadFromStream(in2);
    FAIL();
  } catch (const GifError& e) {
    EXPECT_STREQ(e.what(), "Internal error: Extension Instance does not match Extension Label");
  }
  EXPECT_EQ(Loaded(header(1, 1) + Bytes{0x21, 0xFE, 5, 'a'}).error, "Premature end of data");
  EXPECT_EQ(Loaded(header(1, 1) + Bytes{0x21, 0x01, 12, 0, 0}).error, "Premature end of data");
}

TEST(GifReader, ZeroSizedImagesTakeTheScreenSize) {
  Loaded l(header(2, 2) + descriptor(0, 0, 0, 2) + literalData({1, 2, 3, 0}) + Bytes{0x3B});
  ASSERT_EQ(l.error, "");
  EXPECT_EQ(l.warnings, Warnings{"Image exceeds Logical Screen size"});
  EXPECT_EQ(l.image.frames()[0].width(), 2);
  EXPECT_EQ(l.image.frames()[0].height(), 2);
  EXPECT_EQ(l.pixels(0), (Bytes{1, 2, 3, 0}));
}

TEST(GifReader, SubBlockLongerThanTheFileIsCut) {
  Bytes data = literalData({1, 2});
  data.pop_back();  // no terminator
  data[1] = 200;    // claims far more than there is
  Loaded l(header(2, 1) + descriptor(0, 0, 2, 1) + data);
  ASSERT_EQ(l.error, "");
  EXPECT_EQ(l.pixels(0), (Bytes{1, 2}));
  ASSERT_FALSE(l.warnings.empty());
  EXPECT_EQ(l.warnings[0], "Premature end of data");
}

TEST(GifReader, HostileCodeStreamsStopCleanly) {
  // Minimum code sizes above 11 would need codes wider than the 4096-entry tables.
  EXPECT_EQ(Loaded(header(1, 1) + descriptor(0, 0, 1, 1) + imageData(12, {0xFF, 0xFF})).error,
            "Invalid LZW minimum code size");
  Loaded eleven(header(1, 1) + descriptor(0, 0, 1, 1) + imageData(11, {0x00, 0x08, 0x00}));
  EXPECT_EQ(eleven.error, "");

  // A code beyond the next free one still becomes the previous code, so the next entry
  // refers to it. Codes 0, 7 (entry 6 = 0+0, previous 7), 7 (entry 7 = prefix 7: itself),
  // then 7 at 4 bits follows that entry.
  CodePacker self;
  self.put(4, 3).put(0, 3).put(7, 3).put(7, 3).put(7, 4).put(5, 4);
  Loaded selfRef(header(40, 1) + descriptor(0, 0, 40, 1) + imageData(2, self.finish()));
  EXPECT_EQ(selfRef.error, "Circular decoder table entry");

  // A cycle through two entries: first code 7 (taken as a pixel, previous 7), then 6
  // (entry 6 = prefix 7), then 0 (entry 7 = prefix 6); code 6 then walks 6, 7, 6, ...
  CodePacker two;
  two.put(4, 3).put(7, 3).put(6, 3).put(0, 3).put(6, 4).put(5, 4);
  Loaded cycle(header(40, 1) + descriptor(0, 0, 40, 1) + imageData(2, two.finish()));
  EXPECT_EQ(cycle.error, "Circular decoder table entry");
}

TEST(GifReader, PixelLimitsAreCheckedBeforeAllocating) {
  // A 65535 x 65535 frame in a few bytes.
  Loaded huge(header(1, 1) + descriptor(0, 0, 65535, 65535) + imageData(2, {0}));
  EXPECT_EQ(huge.error, "Frame exceeds the pixel limit");
  EXPECT_EQ(huge.image.frames().count(), 0);

  // Many frames that are each allowed but together are not.
  GifImage image;
  image.limits.maxFramePixels = 100;
  image.limits.maxImagePixels = 250;
  Bytes file = header(10, 10);
  for (int i = 0; i < 3; ++i) file = file + descriptor(0, 0, 10, 10) + literalData({0});
  try {
    image.loadFromBytes(file);
    FAIL();
  } catch (const GifError& e) {
    EXPECT_STREQ(e.what(), "Image exceeds the pixel limit");
  }
  EXPECT_EQ(image.frames().count(), 2);  // what was read before the failing frame stays
}

// Many tiny items: the default limits accept a long animation of one-pixel frames and
// stop one frame or extension past them with a message saying so. The per-frame pixel
// check and clearing must stay linear for this to finish promptly (timed in gif_bench).
TEST(GifReader, FrameAndExtensionCountsAreCapped) {
  const Bytes onePixel = descriptor(0, 0, 1, 1) + literalData({1});
  const auto animation = [&](std::uint32_t frames, std::uint32_t comments) {
    Bytes file = header(1, 1);
    file.reserve(file.size() + 3 * comments + onePixel.size() * frames + 1);
    for (std::uint32_t i = 0; i < comments; ++i) file.insert(file.end(), {0x21, 0xFE, 0x00});
    for (std::uint32_t i = 0; i < frames; ++i) file.insert(file.end(), onePixel.begin(), onePixel.end());
    file.push_back(0x3B);
    return file;
  };
  // The documented defaults.
  constexpr std::uint32_t kMaxFrames = 100000;
  constexpr std::uint32_t kMaxExtensions = 1000000;

  Loaded most(animation(kMaxFrames, 0));
  EXPECT_EQ(most.error, "");
  ASSERT_EQ(most.image.frames().count(), static_cast<int>(kMaxFrames));
  EXPECT_EQ(most.image.frames().back().pixelAt(0, 0), 1);

  Loaded tooMany(animation(kMaxFrames + 1, 0));
  EXPECT_EQ(tooMany.error, "Too many frames (more than 100000)");
  EXPECT_EQ(tooMany.image.frames().count(), static_cast<int>(kMaxFrames));

  Loaded comments(animation(1, kMaxExtensions));
  EXPECT_EQ(comments.error, "");
  ASSERT_EQ(comments.image.frames().count(), 1);
  EXPECT_EQ(comments.image.frames()[0].extensions().count(), static_cast<int>(kMaxExtensions));

  Loaded tooManyComments(animation(1, kMaxExtensions + 1));
  EXPECT_EQ(tooManyComments.error, "Too many extensions (more than 1000000)");

  // The image-wide pixel limit still counts every earlier frame.
  GifImage image;
  image.limits.maxImagePixels = 5000;
  image.loadFromBytes(animation(5000, 0));
  EXPECT_EQ(image.frames().count(), 5000);
  EXPECT_THROW(image.loadFromBytes(animation(5001, 0)), GifError);
  EXPECT_EQ(image.frames().count(), 5000);
}

TEST(GifReader, ErrorsRestoreTheInputPositionAndKeepEarlierFrames) {
  const Bytes file = Bytes{1, 2, 3} + header(1, 1) + descriptor(0, 0, 1, 1) + literalData({1}) +
                     Bytes{0x21, 0x02, 7, 0};
  const Bytes tail = slice(file, 3, file.size() - 3);
  GifInput input(file);
  input.seek(3);
  GifImage image;
  std::vector<std::pair<ProgressStage, int>> events;
  image.progressHandler = [&](ProgressStage s, int p, const std::string& m) {
    EXPECT_EQ(m, "Loading...");
    events.emplace_back(s, p);
  };
  EXPECT_THROW(image.loadFromStream(input), GifError);
  EXPECT_EQ(input.position(), 3u);
  EXPECT_EQ(image.frames().count(), 1);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front().first, ProgressStage::Starting);
  EXPECT_EQ(events.back(), std::make_pair(ProgressStage::Ending, 0));
  (void)tail;
}

TEST(GifReader, GraphicControlLinksTheFirstOneAndAnyTransparencyCounts) {
  const Bytes first = {0x21, 0xF9, 4, 0x08, 10, 0, 2, 0};   // restore background, no transparency
  const Bytes second = {0x21, 0xF9, 4, 0x01, 20, 0, 3, 0};  // transparent 3
  Loaded l(header(1, 1) + first + second + descriptor(0, 0, 1, 1) + literalData({1}) + Bytes{0x3B});
  ASSERT_EQ(l.error, "");
  const GifFrame& f = l.image.frames()[0];
  EXPECT_EQ(f.extensions().count(), 2);
  ASSERT_NE(f.graphicControl, nullptr);
  EXPECT_EQ(f.graphicControl->delayCs(), 10);
  EXPECT_EQ(f.graphicControl->disposal(), Disposal::RestoreBackground);
  EXPECT_TRUE(f.hasTransparency);
}

// Frames large enough that their pixel arrays are mapped rather than taken from the heap
// (a photo): every pixel comes back, interlaced or not, in a copy too, and pixels the
// data of a cut file never reached read as 0, not as whatever the memory held.
TEST(GifReader, LargeFramesComeBackExactly) {
  constexpr int kWidth = 1100, kHeight = 1000;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
  std::uint32_t state = 99;
  for (auto& p : pixels) {
    state = state * 1103515245u + 12345u;
    p = static_cast<std::uint8_t>((state >> 24) & 0x3F);
  }
  for (const bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced);
    GifImage image;
    for (int i = 0; i < 64; ++i) image.globalTable().append(rgb(static_cast<std::uint8_t>(4 * i), 0, 0));
    auto frame = std::make_unique<GifFrame>(&image);
    frame->setPlacement(0, 0, kWidth, kHeight);
    frame->setInterlaced(interlaced);
    frame->setPixels(pixels);
    image.addFrame(std::move(frame));
    const Bytes bytes = image.saveToBytes();

    GifImage loaded;
    loaded.loadFromBytes(bytes);
    ASSERT_EQ(loaded.frames().count(), 1);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), loaded.frames()[0].pixels()));
    GifImage copy;
    copy.assign(loaded);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), copy.frames()[0].pixels()));

    GifImage cut;
    cut.warningHandler = [](const GifItem*, int, const std::string&) {};
    cut.loadFromBytes(slice(bytes, 0, bytes.size() / 2));
    ASSERT_EQ(cut.frames().count(), 1);
    const std::uint8_t* got = cut.frames()[0].pixels();
    // The last row is reached last in either order.
    const std::size_t lastRow = pixels.size() - kWidth;
    EXPECT_TRUE(std::all_of(got + lastRow, got + pixels.size(), [](std::uint8_t p) { return p == 0; }));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + kWidth, got));
  }
}

}  // namespace
}  // namespace zefra::gif
