// Aligning objects against the label and snapping a dragged box: the box is the one the
// hit test uses (a text's box with its depth and shadow; aligned by the pixels it paints), checked against the
// pixels actually drawn; snapping along each axis to edges and centre lines; one undo
// step per command, under Lock Frames.
#include <gtest/gtest.h>

#include <memory>

#include "editor/alignment.h"
#include "editor/editor.h"
#include "render/frame_canvas.h"
#include "render/text_layer_renderer.h"
#include "text3d/text3d_test_support.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

constexpr Color kPaper = rgb(255, 255, 255);

// The smallest rectangle holding every pixel that is not the label's own colour.
raster::Rect inkBox(const raster::FastBitmap& b) {
  raster::Rect ink{b.width(), b.height(), 0, 0};
  for (int y = 0; y < b.height(); ++y) {
    for (int x = 0; x < b.width(); ++x) {
      if (b.pixel(x, y) == kPaper) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  return ink;
}

class AlignmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    canvas.setTextLayerPainter(&texts);
    ASSERT_TRUE(editor.insertFrame().applied);
    editor.editFrames(EditScope::AllFrames, "Set up", [](FrameRecord& r) {
      r.width = 300;
      r.height = 90;
      r.frameColor = kPaper;
      r.gradientOn = 0;
      r.bevelWidth = 0;
      r.text[0].assign("Fresh bread daily");
      r.fontName[0].assign("DejaVu Sans");
      r.fontSize[0] = 20;
      r.fontColor[0] = rgb(200, 30, 30);
      r.text3DColor[0] = rgb(40, 40, 120);
      r.textBorderWidth[0] = 4;     // a deep side
      r.shadowDarkness[0] = 0xC0;   // and a dark shadow
      r.viewAngle[0] = 45;
      r.textX[0] = 13;
      r.textY[0] = 7;
    });
    editor.goToFrame(1);
    draw();
  }
  void draw() { canvas.draw(editor.project().current()); }
  std::optional<raster::Rect> textBox() const { return objectBox(canvas, SlotKind::Text, 1); }

  Editor editor{"/app/", 96};
  std::unique_ptr<text3d::GlyphCache> cache = text3d::testing::memoryOnlyCache();
  render::TextLayerRenderer texts{96, *cache};
  render::FrameCanvas canvas;
  PositionRange range{1024, 768};
};

TEST_F(AlignmentTest, TheTextBoxHoldsItsDepthAndShadowAndIsWhatTheHitTestFinds) {
  const std::optional<raster::Rect> box = textBox();
  ASSERT_TRUE(box);
  const raster::Rect ink = inkBox(canvas.bitmap());
  ASSERT_FALSE(ink.empty()) << "the text drew nothing";
  // Every drawn pixel lies in the box, and the box sits evenly round them, so that a
  // centred box is a centred text to the eye.
  EXPECT_EQ(ink.intersected(*box), ink);
  EXPECT_LE(std::abs((ink.left + ink.right) - (box->left + box->right)), 2)
      << "ink " << ink.left << ".." << ink.right << " in box " << box->left << ".." << box->right;
  const auto hit = canvas.objectAt(box->left + box->width() / 2, box->top + box->height() / 2);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->bounds, *box);
  EXPECT_FALSE(objectBox(canvas, SlotKind::Text, 2)) << "an empty slot has no box";
  EXPECT_FALSE(objectBox(canvas, SlotKind::Picture, 1));

  // Without depth and shadow the same text has a smaller box: they are part of it.
  editor.editFrames(EditScope::CurrentFrame, "Flat", [](FrameRecord& r) {
    r.textBorderWidth[0] = 0;
    r.shadowDarkness[0] = 0;
  });
  draw();
  EXPECT_LT(textBox()->width(), box->width());
  EXPECT_LT(textBox()->height(), box->height());
}

TEST_F(AlignmentTest, CentredTextIsCentredInTheDrawnPixels) {
  const Change change = alignObject(editor, canvas, SlotKind::Text, 1, Alignment::CentreHorizontally, range);
  ASSERT_TRUE(change.applied);
  EXPECT_TRUE(change.frames.test(1));
  draw();
  // What was drawn has margins within a pixel of each other, although the text's box
  // ends with the last letter's advance, a few pixels past its ink.
  const raster::Rect ink = inkBox(canvas.bitmap());
  EXPECT_LE(std::abs(ink.left - (300 - ink.right)), 1) << "margins " << ink.left << " | " << 300 - ink.right;
  EXPECT_EQ(canvas.paintedTextBox(editor.project().current(), 1), ink);
  EXPECT_EQ(editor.project().current().textY[0], 7) << "the other coordinate stays";

  ASSERT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, Alignment::CentreVertically, range).applied);
  draw();
  const raster::Rect high = inkBox(canvas.bitmap());
  EXPECT_LE(std::abs(high.top - (90 - high.bottom)), 1) << "margins " << high.top << " | " << 90 - high.bottom;

  // Lock Frames is on: frame 2 stays where it was; each command is one undo step.
  EXPECT_EQ(editor.project().frame(2).textX[0], 13);
  EXPECT_EQ(editor.undoLabel(), "Centre Vertically");
  editor.undo();
  EXPECT_EQ(editor.undoLabel(), "Centre Horizontally");
  editor.undo();
  EXPECT_EQ(editor.project().current().textX[0], 13);
}

TEST_F(AlignmentTest, EdgesPutTheWholePaintedBoxAgainstTheLabel) {
  struct Case {
    Alignment alignment;
    int raster::Rect::* side;
    int expected;
  };
  const Case cases[] = {{Alignment::Left, &raster::Rect::left, 0},
                        {Alignment::Right, &raster::Rect::right, 300},
                        {Alignment::Top, &raster::Rect::top, 0},
                        {Alignment::Bottom, &raster::Rect::bottom, 90}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(alignmentLabel(c.alignment)));
    ASSERT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, c.alignment, range).applied);
    draw();
    // The letters, depth and shadow touch that edge, and nothing of them is cut off.
    const raster::Rect ink = inkBox(canvas.bitmap());
    EXPECT_EQ(ink.*c.side, c.expected);
    EXPECT_EQ(canvas.paintedTextBox(editor.project().current(), 1), ink);
  }
}

TEST_F(AlignmentTest, TheCommandReachesTheFramesItsSpinsReach) {
  // Lock Frames off: every frame takes the aligned column, one undo restores them all.
  ASSERT_FALSE(editor.toggleLockFrames());
  ASSERT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, Alignment::Right, range).applied);
  const int x = editor.project().current().textX[0];
  EXPECT_GT(x, 13);
  EXPECT_EQ(editor.project().frame(2).textX[0], x);
  editor.undo();
  EXPECT_EQ(editor.project().frame(2).textX[0], 13);

  // Several frames selected: exactly those, whatever Lock Frames says.
  ASSERT_TRUE(editor.toggleLockFrames());
  ASSERT_TRUE(editor.insertFrame().applied);
  FrameSet firstTwo;
  firstTwo.set(1);
  firstTwo.set(2);
  editor.selectFrames(firstTwo, 1);
  draw();
  ASSERT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, Alignment::Left, range).applied);
  const int left = editor.project().frame(1).textX[0];
  EXPECT_LE(left, 0) << "the letters' ink starts at or after the box's left";
  EXPECT_EQ(editor.project().frame(2).textX[0], left);
  EXPECT_EQ(editor.project().frame(3).textX[0], 13);
  editor.undo();
  EXPECT_EQ(editor.project().frame(2).textX[0], 13);
}

TEST_F(AlignmentTest, AnEmptySlotIsRefusedAndAnAlignedObjectRecordsNothing) {
  EXPECT_FALSE(alignObject(editor, canvas, SlotKind::Shape, 3, Alignment::Left, range).applied);
  ASSERT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, Alignment::Left, range).applied);
  draw();
  const std::size_t steps = editor.undoCount();
  EXPECT_TRUE(alignObject(editor, canvas, SlotKind::Text, 1, Alignment::Left, range).frames.none());
  EXPECT_EQ(editor.undoCount(), steps);
}

TEST(AlignedPosition, MovesThePositionByWhatTheBoxMustMove) {
  // A box that starts 3 left of and 2 above its position (a shape's pen, say).
  const raster::Rect box = raster::Rect::fromSize(7, 18, 41, 20);
  const ObjectPosition at{10, 20};
  EXPECT_EQ(alignedPosition(box, at, 100, 50, Alignment::Left), (ObjectPosition{3, 20}));
  EXPECT_EQ(alignedPosition(box, at, 100, 50, Alignment::Right), (ObjectPosition{62, 20}));
  EXPECT_EQ(alignedPosition(box, at, 100, 50, Alignment::CentreHorizontally), (ObjectPosition{32, 20}));
  EXPECT_EQ(alignedPosition(box, at, 100, 50, Alignment::CentreVertically), (ObjectPosition{10, 17}));
  EXPECT_EQ(alignedPosition(box, at, 100, 50, Alignment::Bottom), (ObjectPosition{10, 32}));
  // Wider than the label: centred, it sticks out as much on each side (within a pixel).
  const raster::Rect wide = raster::Rect::fromSize(0, 0, 131, 10);
  EXPECT_EQ(alignedPosition(wide, {0, 0}, 100, 50, Alignment::CentreHorizontally).x, -16);
}

TEST(ObjectSnap, PullsEachAxisOntoTheNearestLineWithinTheThreshold) {
  // A 40 x 10 box at its position on a 200 x 60 label.
  const ObjectSnap snapper(raster::Rect::fromSize(50, 20, 40, 10), {50, 20}, 200, 60);
  Snap s = snapper.snap({3, 33}, 4);
  EXPECT_EQ(s.position, (ObjectPosition{0, 33}));
  EXPECT_EQ(s.guides, kGuideLeft);
  s = snapper.snap({83, 26}, 4);  // centre 103 near 100, middle 31 near 30
  EXPECT_EQ(s.position, (ObjectPosition{80, 25}));
  EXPECT_EQ(s.guides, kGuideCentreX | kGuideCentreY);
  s = snapper.snap({156, 52}, 4);
  EXPECT_EQ(s.position, (ObjectPosition{160, 50}));
  EXPECT_EQ(s.guides, kGuideRight | kGuideBottom);
  // Just past the threshold nothing snaps, and a negative one (Alt held) never does.
  s = snapper.snap({5, 40}, 4);
  EXPECT_EQ(s.position, (ObjectPosition{5, 40}));
  EXPECT_EQ(s.guides, kNoGuide);
  s = snapper.snap({1, 1}, -1);
  EXPECT_EQ(s.position, (ObjectPosition{1, 1}));
  EXPECT_EQ(s.guides, kNoGuide);
}

TEST(ObjectSnap, TheNearerLineWinsAndCoincidingLinesAllShow) {
  // A 16 px wide label and a 10 px box: left edge line at 0, centre start 3, right start 6.
  const ObjectSnap narrow(raster::Rect::fromSize(0, 0, 10, 4), {0, 0}, 16, 4);
  EXPECT_EQ(narrow.snap({2, 9}, 4).position.x, 3);  // 1 from centre, 2 from the left edge
  EXPECT_EQ(narrow.snap({2, 9}, 4).guides & (kGuideLeft | kGuideCentreX | kGuideRight), kGuideCentreX);
  EXPECT_EQ(narrow.snap({5, 9}, 4).position.x, 6);
  // As tall as the label: top, middle and bottom are one place.
  EXPECT_EQ(narrow.snap({40, 2}, 4).guides, kGuideTop | kGuideCentreY | kGuideBottom);
  // The box offset from the position is kept: the box, not the position, snaps.
  const ObjectSnap offset(raster::Rect::fromSize(-3, 5, 10, 4), {0, 0}, 100, 100);
  EXPECT_EQ(offset.snap({2, 50}, 4).position.x, 3);
  EXPECT_EQ(offset.boxAt({3, 0}).left, 0);
}

TEST(Nudge, ARunOfPressesOnOneObjectIsOneUndoStep) {
  Editor editor{"/app/", 96};
  const PositionRange range{1024, 768};
  const int key = nudgeMergeKey(SlotKind::Picture, 2);
  EXPECT_NE(key, nudgeMergeKey(SlotKind::Picture, 3));
  EXPECT_NE(key, nudgeMergeKey(SlotKind::Shape, 2));
  EXPECT_NE(key, ObjectDrag::kMergeKey);
  for (int i = 0; i < 5; ++i) moveObjectBy(editor, SlotKind::Picture, 2, 1, 0, range, key);
  moveObjectBy(editor, SlotKind::Picture, 2, 0, 10, range, key);
  EXPECT_EQ(editor.project().current().pictureX[1], 5);
  EXPECT_EQ(editor.project().current().pictureY[1], 10);
  editor.closeMerge();  // the run ends
  moveObjectBy(editor, SlotKind::Picture, 2, -1, 0, range, key);
  editor.undo();
  EXPECT_EQ(editor.project().current().pictureX[1], 5);
  editor.undo();
  EXPECT_EQ(editor.project().current().pictureX[1], 0);
  EXPECT_EQ(editor.project().current().pictureY[1], 0);
}

}  // namespace
}  // namespace zefra::editor
