// GIF pictures on the canvas: the first image only, transparent pixels and the uncovered
// screen let the layers below show. The GIF bytes are assembled here by hand.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "gif/gif_builder.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"
#include "render/picture.h"

using namespace zefra;
using namespace zefra::render;
namespace fs = std::filesystem;

namespace {

// LZW data for 2-bit pixels that a decoder reads without building a table: every pixel
// code follows a clear code, so all codes stay 3 bits wide.
std::vector<std::uint8_t> lzwLiterals(const std::vector<std::uint8_t>& pixels) {
  std::vector<int> codes;
  for (std::uint8_t p : pixels) {
    codes.push_back(4);  // clear
    codes.push_back(p);
  }
  codes.push_back(5);  // end of information
  std::vector<std::uint8_t> out;
  std::uint32_t acc = 0;
  int bits = 0;
  for (int c : codes) {
    acc |= static_cast<std::uint32_t>(c) << bits;
    bits += 3;
    while (bits >= 8) {
      out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) out.push_back(static_cast<std::uint8_t>(acc));
  return out;
}

void putImage(std::vector<std::uint8_t>& g, int left, int top, int w, int h, const std::vector<std::uint8_t>& px,
              int transparentIndex) {
  if (transparentIndex >= 0) {
    const std::uint8_t gce[] = {0x21, 0xF9, 4, 0x01, 10, 0, static_cast<std::uint8_t>(transparentIndex), 0};
    g.insert(g.end(), std::begin(gce), std::end(gce));
  }
  const std::uint8_t desc[] = {0x2C, static_cast<std::uint8_t>(left), 0, static_cast<std::uint8_t>(top), 0,
                               static_cast<std::uint8_t>(w),  0,     static_cast<std::uint8_t>(h), 0, 0};
  g.insert(g.end(), std::begin(desc), std::end(desc));
  g.push_back(2);  // minimum code size
  const std::vector<std::uint8_t> data = lzwLiterals(px);
  g.push_back(static_cast<std::uint8_t>(data.size()));
  g.insert(g.end(), data.begin(), data.end());
  g.push_back(0);
}

// Screen 4 x 3, palette red, green, blue, white. Image 1: 2 x 2 at (1, 1), pixels
// red, green / blue, white, green transparent. Image 2 covers the screen in red.
std::vector<std::uint8_t> twoImageGif() {
  std::vector<std::uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x81, 0, 0,
                                 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  putImage(g, 1, 1, 2, 2, {0, 1, 2, 3}, 1);
  putImage(g, 0, 0, 4, 3, std::vector<std::uint8_t>(12, 0), -1);
  g.push_back(0x3B);
  return g;
}

class GifPictureTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  zefra::testing::TempDir temp;  // a folder of its own, not a name other test runs share
  fs::path dir = temp.path;
};

}  // namespace

TEST_F(GifPictureTest, FirstImageOnItsScreenWithTransparencyMasked) {
  const Picture p = loadGifPicture(write("two.gif", twoImageGif()));
  ASSERT_EQ(p.width(), 4);
  ASSERT_EQ(p.height(), 3);
  ASSERT_TRUE(p.hasMask());
  EXPECT_TRUE(p.mask.at(1, 1));
  EXPECT_EQ(p.image.pixel(1, 1), rgb(255, 0, 0));
  EXPECT_FALSE(p.mask.at(2, 1));  // transparent index
  EXPECT_TRUE(p.mask.at(1, 2));
  EXPECT_EQ(p.image.pixel(1, 2), rgb(0, 0, 255));
  EXPECT_EQ(p.image.pixel(2, 2), rgb(255, 255, 255));
  EXPECT_FALSE(p.mask.at(0, 0));  // the first image does not cover it
  EXPECT_FALSE(p.mask.at(3, 2));
}

TEST_F(GifPictureTest, CanvasShowsLayersBelowThroughTransparentPixels) {
  auto record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
  const Color under = rgb(9, 99, 199);
  record->shapeStyle[0] = 1;
  record->shapeX[0] = 0;
  record->shapeY[0] = 0;
  record->shapeWidth[0] = 100;
  record->shapeHeight[0] = 60;
  record->shapeFillColor[0] = under;
  record->shapeBorderColor[0] = under;
  record->pictureFile[0].assign(write("pic.GIF", twoImageGif()));  // the extension in any case
  record->pictureX[0] = 10;
  record->pictureY[0] = 20;
  FrameCanvas canvas;
  ASSERT_TRUE(canvas.draw(*record).ok());
  const raster::FastBitmap& b = canvas.bitmap();
  EXPECT_EQ(b.pixel(11, 21), rgb(255, 0, 0));
  EXPECT_EQ(b.pixel(12, 21), under);
  EXPECT_EQ(b.pixel(12, 22), rgb(255, 255, 255));
  EXPECT_EQ(b.pixel(10, 20), under);
  EXPECT_EQ(b.pixel(13, 22), under);
  // Hit-testing uses the picture's whole screen.
  EXPECT_EQ(canvas.objectAt(10, 20)->kind, CanvasObjectKind::Picture);
}

TEST_F(GifPictureTest, BrokenGifIsReportedAndSkipped) {
  std::vector<std::uint8_t> bytes = twoImageGif();
  bytes[0] = 'X';
  auto record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
  record->pictureFile[0].assign(write("bad.gif", bytes));
  record->pictureFile[1].assign(write("empty.gif", {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0, 0, 0, 0x3B}));
  FrameCanvas canvas;
  const LayoutReport report = canvas.draw(*record);
  ASSERT_EQ(report.failures.size(), 2u);
  EXPECT_EQ(report.failures[0].slot, 1);
  EXPECT_EQ(report.failures[1].slot, 2);
  EXPECT_TRUE(canvas.objects().empty());
}

TEST_F(GifPictureTest, HugeLogicalScreenIsRefused) {
  std::vector<std::uint8_t> bytes = twoImageGif();
  bytes[6] = 0xFF;  // screen 65535 x 65535
  bytes[7] = 0xFF;
  bytes[8] = 0xFF;
  bytes[9] = 0xFF;
  EXPECT_THROW(loadGifPicture(write("huge.gif", bytes)), std::exception);
}

// An animated GIF picture plays on a canvas that is advanced by a clock: it starts when
// its file is loaded into the slot, the canvas says when it changes next, and a canvas
// nobody advances keeps the first frame (what the export draws).
TEST_F(GifPictureTest, AnimatedPicturesPlayFromWhenTheirSlotLoadedThem) {
  auto record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
  const Color under = rgb(9, 99, 199);
  record->shapeStyle[0] = 1;
  record->shapeWidth[0] = 100;
  record->shapeHeight[0] = 60;
  record->shapeFillColor[0] = under;
  record->shapeBorderColor[0] = under;
  record->pictureFile[0].assign(write("anim.gif", twoImageGif()));
  record->pictureX[0] = 10;
  record->pictureY[0] = 20;
  FrameCanvas canvas;
  canvas.setAnimationClock(1000);
  ASSERT_TRUE(canvas.draw(*record).ok());
  EXPECT_EQ(canvas.bitmap().pixel(12, 21), under);  // first image, its transparent pixel
  EXPECT_EQ(canvas.nextAnimationChange(1000), 1100);  // 10 hundredths of a second
  EXPECT_FALSE(canvas.advanceAnimations(1099));
  ASSERT_TRUE(canvas.advanceAnimations(1100));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(12, 21), rgb(255, 0, 0));  // second image covers the screen
  EXPECT_EQ(canvas.bitmap().pixel(10, 20), rgb(255, 0, 0));
  // No loop extension: played once, the last frame stays.
  EXPECT_EQ(canvas.nextAnimationChange(1100), std::nullopt);
  EXPECT_FALSE(canvas.advanceAnimations(50'000));

  // A new file in the slot starts again from its first frame; a hidden slot stops.
  record->pictureFile[0].assign(write("anim2.gif", twoImageGif()));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(12, 21), under);
  EXPECT_EQ(canvas.nextAnimationChange(50'000), 50'100);
  record->pictureFile[0].assign("");
  canvas.draw(*record);
  EXPECT_EQ(canvas.nextAnimationChange(50'000), std::nullopt);

  // The export's canvas is never advanced.
  record->pictureFile[0].assign(write("anim3.gif", twoImageGif()));
  FrameCanvas still;
  still.draw(*record);
  EXPECT_EQ(still.bitmap().pixel(12, 21), under);
}

// A GIF whose screen or first frame is larger than a picture may be is refused from its
// header, before any image data is decoded, and the refusal is remembered by file
// identity: a project naming it in every slot of every frame reads it once. Another name
// for the same file finds the refusal; a changed file is read again.
TEST(GifPicture, RefusedPicturesAreRefusedFromTheHeaderAndRememberedByFileIdentity) {
  zefra::testing::TempDir dir;
  zefra::testing::BuiltGif huge;
  huge.width = huge.height = 5792;  // 33.5 M pixels, twice what a picture may have
  huge.frames = {zefra::testing::solidFrame(0, 0, 1, 1, 1)};
  const fs::path bomb = zefra::testing::writeGif(dir / "bomb.gif", huge);
  EXPECT_THROW(loadPicture(bomb), std::exception);

  // The same size and time, other bytes: a picture that would load, but the file's
  // identity is unchanged, so the refusal stands.
  struct stat before {};
  ASSERT_EQ(::stat(bomb.c_str(), &before), 0);
  zefra::testing::BuiltGif small = huge;
  small.width = small.height = 4;
  std::vector<std::uint8_t> bytes = zefra::testing::gifBytes(small);
  std::vector<std::uint8_t> original = zefra::testing::readBytes(bomb);
  ASSERT_LE(bytes.size(), original.size());
  bytes.resize(original.size(), 0x3B);
  {
    std::fstream out(bomb, std::ios::in | std::ios::out | std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  const struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, bomb.c_str(), times, 0), 0);
  fs::create_hard_link(bomb, dir / "other-name.gif");
  EXPECT_THROW(loadPicture(dir / "other-name.gif"), std::exception);

  // A new time is a new file: read again, and it loads.
  const struct timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, bomb.c_str(), later, 0), 0);
  const Picture loaded = loadPicture(bomb);
  EXPECT_EQ(loaded.width(), 4);

  // A frame larger than a picture is refused too, even under a screen announced small.
  zefra::testing::BuiltGif tallFrame = small;
  tallFrame.frames = {zefra::testing::solidFrame(0, 0, 1, 20000, 1)};
  tallFrame.frames[0].width = 1000;  // 20 M pixels of image data announced
  tallFrame.frames[0].indices.clear();
  EXPECT_THROW(loadPicture(zefra::testing::writeGif(dir / "tall.gif", tallFrame)), std::exception);
}
