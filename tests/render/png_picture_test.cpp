// PNG pictures on the canvas: every colour type and depth, with an alpha channel or a
// tRNS chunk, is composited over the layers below exactly as straight alpha blended in
// real numbers and rounded to the nearest integer. The label under a picture is drawn
// first without it, so the reference blend is computed here from what lay below.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "io/lbl_test_files.h"
#include "io/png_test_bytes.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"
#include "render/picture.h"

using namespace zefra;
using namespace zefra::render;
namespace fs = std::filesystem;
using zefra::testing::PngImage;

namespace {

struct Rgba {
  int r, g, b, a;
};

// The pixels of the 4 x 2 test pictures as meant: opaque, clear, and alphas of every
// rounding case (1, 64, 127, 128, 200, 254).
const std::vector<Rgba> kColour = {{255, 0, 0, 255},  {0, 255, 0, 0},     {10, 200, 30, 128}, {250, 128, 3, 1},
                                   {77, 88, 99, 254}, {0, 0, 255, 64},    {255, 255, 255, 200}, {1, 2, 3, 127}};
const std::vector<Rgba> kGrey = {{0, 0, 0, 255},       {255, 255, 255, 0}, {128, 128, 128, 128}, {200, 200, 200, 1},
                                 {17, 17, 17, 254},    {90, 90, 90, 64},   {255, 255, 255, 200}, {3, 3, 3, 127}};

struct Case {
  std::string name;
  PngImage image;
  std::vector<Rgba> pixels;  // what the file means, 8 bits a channel
};

std::vector<std::uint16_t> samplesOf(const std::vector<Rgba>& pixels, int colourType, int scale) {
  std::vector<std::uint16_t> out;
  for (const Rgba& p : pixels) {
    const auto s = [scale](int v) { return static_cast<std::uint16_t>(v * scale); };
    switch (colourType) {
      case 0: out.push_back(s(p.r)); break;
      case 2: out.insert(out.end(), {s(p.r), s(p.g), s(p.b)}); break;
      case 4: out.insert(out.end(), {s(p.r), s(p.a)}); break;
      case 6: out.insert(out.end(), {s(p.r), s(p.g), s(p.b), s(p.a)}); break;
    }
  }
  return out;
}

// A direct-colour case; 16-bit samples are the 8-bit values times 257, which name the
// same colour exactly.
Case direct(const std::string& name, int colourType, int depth, const std::vector<Rgba>& pixels) {
  return {name, {4, 2, depth, colourType, samplesOf(pixels, colourType, depth == 16 ? 257 : 1), {}, {}, {}}, pixels};
}

// Opaque pixels but for those of colour `key`, made clear by a tRNS chunk.
Case keyed(const std::string& name, int colourType, int depth, std::vector<Rgba> pixels, const Rgba& key) {
  const int scale = depth == 16 ? 257 : 1;
  std::vector<std::uint8_t> trns;
  const std::vector<int> keySamples = colourType == 0 ? std::vector<int>{key.r} : std::vector<int>{key.r, key.g, key.b};
  for (int v : keySamples) trns.insert(trns.end(), {static_cast<std::uint8_t>((v * scale) >> 8), static_cast<std::uint8_t>(v * scale)});
  for (Rgba& p : pixels) p.a = (p.r == key.r && p.g == key.g && p.b == key.b) ? 0 : 255;
  Case c = direct(name, colourType, depth, pixels);
  c.image.trns = trns;
  c.pixels = pixels;
  return c;
}

// Pixel i uses palette entry i; tRNS gives the first `withAlpha` entries their alpha,
// the rest are opaque.
Case paletted(const std::string& name, int depth, std::vector<Rgba> pixels, std::size_t withAlpha) {
  Case c{name, {4, 2, depth, 3, {}, {}, {}, {}}, {}};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    c.image.samples.push_back(static_cast<std::uint16_t>(i));
    c.image.palette.insert(c.image.palette.end(), {static_cast<std::uint8_t>(pixels[i].r), static_cast<std::uint8_t>(pixels[i].g),
                                                 static_cast<std::uint8_t>(pixels[i].b)});
    if (i < withAlpha) c.image.trns.push_back(static_cast<std::uint8_t>(pixels[i].a));
    else pixels[i].a = 255;
  }
  c.pixels = pixels;
  return c;
}

std::vector<Rgba> opaque(std::vector<Rgba> pixels) {
  for (Rgba& p : pixels) p.a = 255;
  return pixels;
}

std::vector<Case> everyColourType() {
  std::vector<Rgba> twoBit;
  for (int i = 0; i < 8; ++i) twoBit.push_back({i % 4 * 85, i % 4 * 85, i % 4 * 85, 255});
  Case lowDepth = direct("grey 2-bit", 0, 2, twoBit);
  for (std::uint16_t& sample : lowDepth.image.samples) sample /= 85;  // 0..3, the full range
  return {
      direct("RGBA 8-bit", 6, 8, kColour),
      direct("RGBA 16-bit", 6, 16, kColour),
      direct("grey + alpha 8-bit", 4, 8, kGrey),
      direct("grey + alpha 16-bit", 4, 16, kGrey),
      paletted("palette 8-bit with tRNS", 8, kColour, 8),
      paletted("palette 4-bit with tRNS for some entries", 4, kColour, 3),
      keyed("RGB 8-bit with a transparent colour", 2, 8, kColour, {0, 255, 0, 0}),
      keyed("RGB 16-bit with a transparent colour", 2, 16, kColour, {10, 200, 30, 0}),
      keyed("grey 8-bit with a transparent grey", 0, 8, kGrey, {128, 128, 128, 0}),
      keyed("grey 16-bit with a transparent grey", 0, 16, kGrey, {255, 255, 255, 0}),
      direct("RGB 8-bit", 2, 8, opaque(kColour)),
      direct("RGB 16-bit", 2, 16, opaque(kColour)),
      lowDepth,
  };
}

// The reference: straight alpha in real numbers, rounded to the nearest integer (with an
// odd denominator there are no halves to break).
int referenceBlend(int src, int dst, int alpha) {
  return static_cast<int>(std::lround((src * alpha + dst * (255.0 - alpha)) / 255.0));
}

class PngPictureTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path p = temp.path / name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  // A label whose every pixel differs from its neighbours: a diagonal gradient with a
  // shape of another colour under part of the picture.
  std::unique_ptr<model::FrameRecord> label() const {
    auto record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
    record->width = 60;
    record->height = 20;
    record->gradientOn = 1;
    record->gradientStyle = 6;
    record->gradientColor1 = rgb(250, 10, 90);
    record->gradientColor2 = rgb(5, 240, 160);
    record->shapeStyle[0] = 1;
    record->shapeX[0] = 11;
    record->shapeY[0] = 0;
    record->shapeWidth[0] = 30;
    record->shapeHeight[0] = 20;
    record->shapeFillColor[0] = rgb(33, 66, 99);
    record->shapeBorderColor[0] = rgb(33, 66, 99);
    return record;
  }
  zefra::testing::TempDir temp;
};

}  // namespace

TEST_F(PngPictureTest, EveryColourTypeIsCompositedOverTheLabelAsTheReferenceBlend) {
  for (const Case& c : everyColourType()) {
    SCOPED_TRACE(c.name);
    auto record = label();
    FrameCanvas below;
    ASSERT_TRUE(below.draw(*record).ok());
    const raster::FastBitmap under = below.bitmap();

    const std::string file = write("pic.png", zefra::testing::pngBytes(c.image));
    const Picture picture = loadPicture(file);
    bool translucent = false;
    for (const Rgba& p : c.pixels) translucent = translucent || p.a != 255;
    EXPECT_EQ(picture.hasAlpha(), translucent) << "an opaque PNG is drawn as an opaque picture";
    EXPECT_FALSE(picture.hasMask());

    record->pictureFile[0].assign(file);
    record->pictureX[0] = 9;  // over the gradient and the shape's edge
    record->pictureY[0] = 3;
    FrameCanvas canvas;
    ASSERT_TRUE(canvas.draw(*record).ok());
    const raster::FastBitmap& drawn = canvas.bitmap();
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        const int px = x - 9, py = y - 3;
        const Color d = under.pixel(x, y);
        Color expected = d;
        if (px >= 0 && px < 4 && py >= 0 && py < 2) {
          const Rgba& s = c.pixels[static_cast<std::size_t>(py * 4 + px)];
          expected = rgb(referenceBlend(s.r, redOf(d), s.a), referenceBlend(s.g, greenOf(d), s.a),
                         referenceBlend(s.b, blueOf(d), s.a));
        }
        ASSERT_EQ(drawn.pixel(x, y), expected) << "at " << x << ", " << y;
      }
    }
  }
}

TEST_F(PngPictureTest, ClearPicturesLeaveTheLabelUnchangedAndOpaqueOnesCoverIt) {
  auto record = label();
  FrameCanvas below;
  below.draw(*record);
  const raster::FastBitmap under = below.bitmap();

  // Coloured but wholly clear, placed so that it also runs past the label's corner.
  std::vector<std::uint16_t> clear;
  for (int i = 0; i < 30 * 30; ++i) clear.insert(clear.end(), {static_cast<std::uint16_t>(i % 256), 7, 200, 0});
  record->pictureFile[0].assign(write("clear.png", zefra::testing::pngBytes({30, 30, 8, 6, clear, {}, {}, {}})));
  record->pictureX[0] = 45;
  record->pictureY[0] = -5;
  FrameCanvas canvas;
  ASSERT_TRUE(canvas.draw(*record).ok());
  EXPECT_EQ(canvas.bitmap(), under);
  // It is still an object to select and move, as a GIF picture with a transparent colour is.
  ASSERT_TRUE(canvas.objectAt(50, 5).has_value());
  EXPECT_EQ(canvas.objectAt(50, 5)->kind, CanvasObjectKind::Picture);

  // An alpha channel that is opaque everywhere draws like the same picture without it.
  std::vector<std::uint16_t> withAlpha, without;
  for (int i = 0; i < 6; ++i) {
    withAlpha.insert(withAlpha.end(), {static_cast<std::uint16_t>(40 * i), 90, 17, 255});
    without.insert(without.end(), {static_cast<std::uint16_t>(40 * i), 90, 17});
  }
  record->pictureFile[0].assign(write("opaque-alpha.png", zefra::testing::pngBytes({3, 2, 8, 6, withAlpha, {}, {}, {}})));
  record->pictureX[0] = 2;
  record->pictureY[0] = 2;
  canvas.draw(*record);
  const raster::FastBitmap alphaDrawn = canvas.bitmap();
  record->pictureFile[0].assign(write("rgb.png", zefra::testing::pngBytes({3, 2, 8, 2, without, {}, {}, {}})));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap(), alphaDrawn);
  EXPECT_EQ(canvas.bitmap().pixel(4, 3), rgb(200, 90, 17));
}

TEST_F(PngPictureTest, PictureNamesAndUnreadablePngs) {
  EXPECT_TRUE(isPictureFileName("a/logo.PNG"));
  EXPECT_TRUE(isPictureFileName("logo.gif"));
  EXPECT_TRUE(isPictureFileName("logo.Bmp"));
  EXPECT_FALSE(isPictureFileName("logo.jpg"));
  EXPECT_FALSE(isPictureFileName("png"));

  // A PNG larger than a picture may be is refused from its header; a broken one is
  // reported and left out like any unreadable picture.
  std::vector<std::uint8_t> huge = zefra::testing::pngBytes({1, 1, 8, 0, {0}, {}, {}, {}});
  huge[18] = huge[22] = 0x20;  // 8192 x 8192 pixels, past the picture limit
  const auto crc = static_cast<std::uint32_t>(crc32(0, huge.data() + 12, 17));
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  auto record = label();
  record->pictureFile[0].assign(write("huge.png", huge));
  std::vector<std::uint8_t> cut = zefra::testing::pngBytes({2, 2, 8, 6, std::vector<std::uint16_t>(16, 9), {}, {}, {}});
  cut.resize(cut.size() - 20);
  record->pictureFile[1].assign(write("cut.png", cut));
  FrameCanvas canvas;
  const LayoutReport report = canvas.draw(*record);
  ASSERT_EQ(report.failures.size(), 2u);
  EXPECT_NE(report.failures[0].message.find("too large"), std::string::npos) << report.failures[0].message;
  EXPECT_EQ(report.failures[1].slot, 2);
}

// "Edit Picture..." reads a PNG again each time the other program saves it: the new
// transparency shows, and a file caught half written keeps the picture shown before.
TEST_F(PngPictureTest, AnEditedPngIsReadAgainAndAHalfWrittenOneKeepsThePicture) {
  auto record = label();
  FrameCanvas below;
  below.draw(*record);
  const Color under = below.bitmap().pixel(2, 2);
  const std::vector<std::uint16_t> red = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
  const std::string file = write("edited.png", zefra::testing::pngBytes({2, 2, 8, 6, red, {}, {}, {}}));
  record->pictureFile[0].assign(file);
  record->pictureX[0] = 2;
  record->pictureY[0] = 2;
  FrameCanvas canvas;
  canvas.draw(*record);
  ASSERT_EQ(canvas.bitmap().pixel(2, 2), rgb(255, 0, 0));

  std::vector<std::uint16_t> clear = red;
  for (std::size_t i = 3; i < clear.size(); i += 4) clear[i] = 0;
  write("edited.png", zefra::testing::pngBytes({2, 2, 8, 6, clear, {}, {}, {}}));
  ASSERT_TRUE(canvas.refreshPicture(1));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(2, 2), under);

  std::vector<std::uint8_t> half = zefra::testing::pngBytes({2, 2, 8, 6, red, {}, {}, {}});
  half.resize(half.size() / 2);
  write("edited.png", half);
  EXPECT_FALSE(canvas.refreshPicture(1));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(2, 2), under);
}
