// Resizing a banner for another slot: the scale mapping of positions, fonts, shapes,
// borders and pictures in every frame, one undo step back to the exact bytes, pictures
// resampled into new files that never replace another file, and the nine anchors.
#include "editor/banner_resize.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "io/bmp_reader.h"
#include "io/bmp_writer.h"
#include "raster/resample.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using model::FrameRecord;

class BannerResize : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zefra_resize_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    editor = std::make_unique<Editor>("/nonexistent-app/", 96);
    ASSERT_TRUE(editor->saveAs(dir / "bakery.lbl").ok);
  }
  void TearDown() override { fs::remove_all(dir); }

  // A 40 x 20 picture: red left (21 columns), blue right.
  void writeTwoColourPicture(const fs::path& path) {
    raster::FastBitmap picture(40, 20);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) picture.setPixel(x, y, x < 21 ? rgb(255, 0, 0) : rgb(0, 0, 255));
    io::writeBmpFile(picture, path.string());
  }

  // Three frames of a 468 x 60 banner with text, a shape, borders and a picture; the
  // text moves from frame to frame.
  void makeBanner() {
    writeTwoColourPicture(dir / "logo.bmp");
    editor->editFrames(EditScope::AllFrames, "setup", [](FrameRecord& f) {
      f.bordersOn = 1;
      f.borderWidth = 4;
      f.bevelWidth = 2;
      f.fontSize[0] = 20;
      f.fontSize[1] = 60;
      f.fontSize[2] = 0;
      f.textX[0] = 100;
      f.textY[0] = 10;
      f.shapeStyle[0] = 1;
      f.shapeX[0] = 200;
      f.shapeY[0] = 30;
      f.shapeWidth[0] = 50;
      f.shapeHeight[0] = 21;
      f.shapeBorderWidth[0] = 2;
      f.pictureFile[0].assign("logo.bmp");
      f.pictureX[0] = 400;
      f.pictureY[0] = 20;
    });
    ASSERT_TRUE(editor->insertFrame().applied);
    ASSERT_TRUE(editor->insertFrame().applied);
    for (int k = 1; k <= 3; ++k) {
      editor->goToFrame(k);
      editor->editFrames(EditScope::CurrentFrame, "move", [k](FrameRecord& f) { f.textX[0] = static_cast<std::int16_t>(100 * k); });
    }
  }

  std::vector<FrameRecord> records() const {
    const auto& p = editor->project();
    return {p.records.begin(), p.records.begin() + p.frameCount};
  }

  fs::path dir;
  std::unique_ptr<Editor> editor;
};

TEST_F(BannerResize, ScalingMapsEveryFrameAndUndoRestoresTheExactBytes) {
  makeBanner();
  const std::vector<FrameRecord> before = records();
  // 468 x 60 -> 728 x 90: s = min(1.556, 1.5) = 1.5, 26 pixels spare across.
  EXPECT_DOUBLE_EQ(contentScale(468, 60, 728, 90), 1.5);
  const ResizeOutcome done = resizeProject(*editor, {728, 90, std::nullopt, {}, {}});
  ASSERT_TRUE(done.change.applied);
  EXPECT_TRUE(done.notes.empty());
  EXPECT_EQ(editor->undoLabel(), kResizeBannerLabel);
  for (int k = 1; k <= 3; ++k) {
    const FrameRecord& f = editor->project().frame(k);
    EXPECT_EQ(f.width, 728);
    EXPECT_EQ(f.height, 90);
    EXPECT_EQ(f.textX[0], 100 * k * 1.5 + 13) << "frame " << k;
    EXPECT_EQ(f.textY[0], 15);
    EXPECT_EQ(f.fontSize[0], 30);
    EXPECT_EQ(f.fontSize[1], 72);  // 90 is past the largest font size
    EXPECT_EQ(f.fontSize[2], 0);   // an unused slot stays unused
    EXPECT_EQ(f.shapeX[0], 313);
    EXPECT_EQ(f.shapeY[0], 45);
    EXPECT_EQ(f.shapeWidth[0], 75);
    EXPECT_EQ(f.shapeHeight[0], 32);  // 31.5 rounded
    EXPECT_EQ(f.shapeBorderWidth[0], 3);
    EXPECT_EQ(f.borderWidth, 6);
    EXPECT_EQ(f.bevelWidth, 3);
    EXPECT_EQ(f.pictureX[0], 613);
    EXPECT_EQ(f.pictureY[0], 30);
    EXPECT_EQ(f.pictureFile[0].str(), "logo-728x90.bmp");
  }
  ASSERT_EQ(done.writtenPictures.size(), 1u);  // one file for the three frames

  ASSERT_TRUE(editor->undo().applied);
  const std::vector<FrameRecord> after = records();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(std::memcmp(&after[i], &before[i], sizeof(FrameRecord)), 0) << "frame " << i + 1;
  EXPECT_FALSE(editor->canUndo() && editor->undoLabel() == kResizeBannerLabel);
}

TEST_F(BannerResize, PicturesAreResampledWithAFilterIntoNewFiles) {
  makeBanner();
  // 300 x 250: s = 300 / 468; the 40 x 20 picture becomes 26 x 13.
  ASSERT_TRUE(resizeProject(*editor, {300, 250, std::nullopt, {}, {}}).change.applied);
  const raster::FastBitmap small = io::readBmpFile(dir / "logo-300x250.bmp");
  ASSERT_EQ(small.width(), 26);
  ASSERT_EQ(small.height(), 13);
  EXPECT_EQ(small.pixel(0, 5), rgb(255, 0, 0));
  EXPECT_EQ(small.pixel(25, 5), rgb(0, 0, 255));
  // The column over the seam (source columns 20 and 21) averages both colours, as
  // nearest-neighbour never would.
  const Color seam = small.pixel(13, 5);
  EXPECT_GT(redOf(seam), 40);
  EXPECT_GT(blueOf(seam), 40);
  // The original is untouched.
  EXPECT_EQ(io::readBmpFile(dir / "logo.bmp").width(), 40);

  // Enlarging interpolates as well: red fades into blue over the seam.
  const raster::FastBitmap big = raster::resampled(io::readBmpFile(dir / "logo.bmp"), 80, 40);
  EXPECT_EQ(big.pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(big.pixel(79, 39), rgb(0, 0, 255));
  EXPECT_NE(big.pixel(41, 0), rgb(255, 0, 0));
  EXPECT_NE(big.pixel(41, 0), rgb(0, 0, 255));
}

TEST_F(BannerResize, AnotherFileOfThatNameIsNeverReplaced) {
  makeBanner();
  raster::FastBitmap other(3, 3);
  other.fill(rgb(0, 255, 0));
  io::writeBmpFile(other, (dir / "logo-728x90.bmp").string());
  const ResizeOutcome first = resizeProject(*editor, {728, 90, std::nullopt, {}, {}});
  EXPECT_EQ(editor->project().frame(1).pictureFile[0].str(), "logo-728x90-2.bmp");
  EXPECT_EQ(io::readBmpFile(dir / "logo-728x90.bmp"), other);
  ASSERT_EQ(first.writtenPictures.size(), 1u);

  // The same resize again finds its own picture and writes nothing new.
  editor->undo();
  const ResizeOutcome again = resizeProject(*editor, {728, 90, std::nullopt, {}, {}});
  EXPECT_TRUE(again.writtenPictures.empty());
  EXPECT_EQ(editor->project().frame(1).pictureFile[0].str(), "logo-728x90-2.bmp");
}

TEST_F(BannerResize, AMissingPictureIsNamedAndKeepsItsName) {
  makeBanner();
  fs::remove(dir / "logo.bmp");
  const ResizeOutcome done = resizeProject(*editor, {728, 90, std::nullopt, {}, {}});
  ASSERT_EQ(done.notes.size(), 1u);
  EXPECT_NE(done.notes[0].find("logo.bmp not found"), std::string::npos);
  EXPECT_EQ(editor->project().frame(1).pictureFile[0].str(), "logo.bmp");
  EXPECT_EQ(editor->project().frame(1).pictureX[0], 613);  // the position still follows
}

TEST_F(BannerResize, EachAnchorShiftsPositionsAndKeepsSizes) {
  makeBanner();
  editor->goToFrame(1);
  const FrameRecord original = editor->project().frame(1);
  struct Expected {
    Anchor anchor;
    int dx, dy;
  };
  // 468 x 60 -> 500 x 101: 32 more across, 41 more down (halves rounded down).
  for (const Expected& e : {Expected{Anchor::TopLeft, 0, 0}, {Anchor::Top, 16, 0}, {Anchor::TopRight, 32, 0},
                            {Anchor::Left, 0, 20}, {Anchor::Center, 16, 20}, {Anchor::Right, 32, 20},
                            {Anchor::BottomLeft, 0, 41}, {Anchor::Bottom, 16, 41}, {Anchor::BottomRight, 32, 41}}) {
    const ResizeOutcome done = resizeProject(*editor, {500, 101, e.anchor, {}, {}});
    ASSERT_TRUE(done.change.applied) << anchorName(e.anchor);
    const FrameRecord& f = editor->project().frame(1);
    EXPECT_EQ(f.width, 500);
    EXPECT_EQ(f.textX[0], original.textX[0] + e.dx) << anchorName(e.anchor);
    EXPECT_EQ(f.textY[0], original.textY[0] + e.dy) << anchorName(e.anchor);
    EXPECT_EQ(f.shapeX[0], original.shapeX[0] + e.dx);
    EXPECT_EQ(f.pictureY[0], original.pictureY[0] + e.dy);
    EXPECT_EQ(f.fontSize[0], original.fontSize[0]);
    EXPECT_EQ(f.shapeWidth[0], original.shapeWidth[0]);
    EXPECT_EQ(f.pictureFile[0].str(), "logo.bmp");
    EXPECT_TRUE(done.writtenPictures.empty());
    EXPECT_EQ(anchorNamed(anchorName(e.anchor)), e.anchor);
    editor->undo();
  }
  // Shrinking by an odd amount: the centre moves half a pixel up and left, rounded down.
  ASSERT_TRUE(resizeProject(*editor, {467, 59, Anchor::Center, {}, {}}).change.applied);
  EXPECT_EQ(editor->project().frame(1).textX[0], original.textX[0] - 1);
  EXPECT_EQ(editor->project().frame(1).textY[0], original.textY[0] - 1);
}

// Text that does not grow in proportion to its font size: 10 pixels a point plus 9 for
// its 3D edge, 30 pixels high.
class FixedEdgeText : public render::TextLayerPainter {
 public:
  raster::Rect bounds(const render::TextLayerRequest& r) override {
    return raster::Rect::fromSize(r.record->textX[r.slot - 1], r.record->textY[r.slot - 1], 10 * r.pointSize + 9, 30);
  }
  void paint(raster::Canvas&, const render::TextLayerRequest&) override {}
};

TEST_F(BannerResize, AMeasuredTextKeepsTheCentreOfItsBox) {
  editor->editFrames(EditScope::AllFrames, "text", [](FrameRecord& f) {
    f.text[0].assign("Fresh");
    f.fontSize[0] = 20;
    f.textX[0] = 30;  // box 30..239, centre 134.5
    f.textY[0] = 15;
    f.text[1].assign("");  // an empty slot is not measured: its corner is mapped
    f.textX[1] = 30;
  });
  FixedEdgeText measure;
  ASSERT_TRUE(resizeProject(*editor, {728, 90, std::nullopt, {}, {}, &measure}).change.applied);
  const FrameRecord& f = editor->project().frame(1);
  // Centre 134.5 * 1.5 + 13 = 214.75; the new box is 309 wide: 214.75 - 154.5 = 60.25.
  EXPECT_EQ(f.textX[0], 60);
  EXPECT_EQ(f.textY[0], 30);  // centre 30 * 1.5 = 45, less half of the 30 high box
  EXPECT_EQ(f.textX[1], 58);  // 30 * 1.5 + 13
}

TEST_F(BannerResize, AMeasuredTextThatFitStaysInside) {
  editor->editFrames(EditScope::AllFrames, "text", [](FrameRecord& f) {
    f.text[0].assign("banners");
    f.fontSize[0] = 20;
    f.textX[0] = 258;  // box 258..467 of 468: inside
    f.textY[0] = 20;
    f.text[1].assign("wide");
    f.fontSize[1] = 20;
    f.textX[1] = 300;  // box 300..509: already past the edge, left as mapped
  });
  FixedEdgeText measure;
  // 300 x 250: s = 0.641, font 13 points, a box of 139 centred at 232.4: it would end at 302.
  ASSERT_TRUE(resizeProject(*editor, {300, 250, std::nullopt, {}, {}, &measure}).change.applied);
  const FrameRecord& f = editor->project().frame(1);
  EXPECT_EQ(f.textX[0], 300 - 139);
  EXPECT_GT(f.textX[1] + 139, 300);
}

TEST(BannerSizes, TheStandardSlotsAndSizeTexts) {
  const auto sizes = standardBannerSizes();
  ASSERT_EQ(sizes.size(), 13u);
  EXPECT_EQ(bannerSizeText(sizes[0]), "Full Banner 468 x 60");
  EXPECT_EQ(bannerSizeText(sizes[2]), "Leaderboard 728 x 90");
  EXPECT_EQ(bannerSizeText(sizes[12]), "Large Mobile Banner 320 x 100");
  EXPECT_EQ(parseBannerSize("728x90")->width, 728);
  EXPECT_EQ(parseBannerSize("300X250")->height, 250);
  for (const char* bad : {"", "728", "x90", "728x", "0x90", "728x90x1", " 728x90", "9000x10", "-5x5"})
    EXPECT_FALSE(parseBannerSize(bad)) << bad;
  EXPECT_FALSE(anchorNamed("middle"));
  EXPECT_EQ(anchorNamed("centre"), Anchor::Center);
  EXPECT_THROW(resizeFrames(model::LabelProject{}, {0, 90, std::nullopt, {}, {}}), std::invalid_argument);
}

}  // namespace
}  // namespace zefra::editor
