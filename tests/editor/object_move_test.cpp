// Moving canvas objects: the drag arithmetic (the grabbed point stays under the mouse),
// clamping to the spin range, Lock Frames, and one undo step per drag.
#include <gtest/gtest.h>

#include "editor/editor.h"
#include "editor/object_move.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

class ObjectMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int k = 1; k < 3; ++k) ASSERT_TRUE(editor.insertFrame().applied);
    for (int k = 1; k <= 3; ++k) {
      editor.goToFrame(k);
      editor.editFrames(EditScope::CurrentFrame, "Place", [k](FrameRecord& f) {
        f.pictureFile[1].assign("logo.bmp");
        f.pictureX[1] = static_cast<std::int16_t>(5 * k);
        f.pictureY[1] = static_cast<std::int16_t>(7 * k);
      });
    }
    editor.goToFrame(2);  // picture 2 at (10, 14)
    editor.discardChanges();
  }
  const FrameRecord& frame(int k) const { return editor.project().frame(k); }

  Editor editor{"/app/", 96};
  PositionRange range{1024, 768};
};

TEST_F(ObjectMoveTest, ATenPixelDragMovesByTenAndKeepsTheGrabbedPoint) {
  ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 13, 20, range);
  drag.moveTo(editor, 16, 20);
  Change change = drag.moveTo(editor, 23, 20);
  drag.finish(editor);
  EXPECT_EQ(frame(2).pictureX[1], 20);
  EXPECT_EQ(frame(2).pictureY[1], 14);
  EXPECT_TRUE(change.frames.test(2));
  EXPECT_TRUE(editor.modified());
  // Lock Frames is on: the other frames keep their places.
  EXPECT_EQ(frame(1).pictureX[1], 5);
  EXPECT_EQ(frame(3).pictureX[1], 15);
}

TEST_F(ObjectMoveTest, WithLockFramesOffEveryFrameFollowsAndOneUndoRestoresAll) {
  ASSERT_FALSE(editor.toggleLockFrames());
  editor.editFrames(EditScope::CurrentFrame, "Delay", [](FrameRecord& f) { f.delayMs = 500; });
  {
    ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 10, 14, range);
    for (int x = 11; x <= 20; ++x) drag.moveTo(editor, x, 14);
    drag.finish(editor);
  }
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(frame(k).pictureX[1], 20) << "frame " << k;
  // Only the coordinate that moved is copied, as with the spins.
  EXPECT_EQ(frame(1).pictureY[1], 7);
  EXPECT_EQ(frame(3).pictureY[1], 21);

  EXPECT_EQ(editor.undoLabel(), "Move Picture");
  editor.undo();
  EXPECT_EQ(frame(1).pictureX[1], 5);
  EXPECT_EQ(frame(2).pictureX[1], 10);
  EXPECT_EQ(frame(3).pictureX[1], 15);
  // The edit before the drag is a step of its own.
  EXPECT_EQ(editor.undoLabel(), "Delay");
  EXPECT_EQ(frame(2).delayMs, 500);
  editor.redo();
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(frame(k).pictureX[1], 20);
}

TEST_F(ObjectMoveTest, TwoDragsAreTwoStepsAndAStillDragRecordsNothing) {
  {
    ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 10, 14, range);
    drag.moveTo(editor, 10, 14);  // the mouse has not moved yet
    drag.finish(editor);
  }
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), "Place");
  {
    ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 10, 14, range);
    drag.moveTo(editor, 12, 14);
    drag.finish(editor);
  }
  {
    ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 12, 14, range);
    drag.moveTo(editor, 12, 30);
    drag.finish(editor);
  }
  EXPECT_EQ(frame(2).pictureX[1], 12);
  EXPECT_EQ(frame(2).pictureY[1], 30);
  editor.undo();
  EXPECT_EQ(frame(2).pictureX[1], 12);
  EXPECT_EQ(frame(2).pictureY[1], 14);
  editor.undo();
  EXPECT_EQ(frame(2).pictureX[1], 10);
}

TEST_F(ObjectMoveTest, ANewDragNeverMergesIntoAnUnfinishedOne) {
  ObjectDrag lost(editor.project().current(), SlotKind::Picture, 2, 10, 14, range);
  lost.moveTo(editor, 15, 14);  // its release never arrived
  ObjectDrag next(editor.project().current(), SlotKind::Picture, 2, 15, 14, range);
  next.moveTo(editor, 25, 14);
  next.finish(editor);
  EXPECT_EQ(frame(2).pictureX[1], 25);
  editor.undo();
  EXPECT_EQ(frame(2).pictureX[1], 15);
  // A finished drag moves nothing more.
  EXPECT_FALSE(next.moveTo(editor, 90, 90).applied);
}

TEST_F(ObjectMoveTest, PositionsStayInsideTheSpinRange) {
  ObjectDrag drag(editor.project().current(), SlotKind::Picture, 2, 10, 14, PositionRange{100, 50});
  drag.moveTo(editor, 500, -500);
  EXPECT_EQ(frame(2).pictureX[1], 100);
  EXPECT_EQ(frame(2).pictureY[1], -50);
  // The grabbed point still decides the place once the mouse comes back into range.
  drag.moveTo(editor, 40, 20);
  EXPECT_EQ(frame(2).pictureX[1], 40);
  EXPECT_EQ(frame(2).pictureY[1], 20);
}

TEST_F(ObjectMoveTest, TextsAndShapesMoveTheirOwnFields) {
  ObjectDrag text(editor.project().current(), SlotKind::Text, 3, 0, 0, range);
  text.moveTo(editor, 4, 6);
  text.finish(editor);
  EXPECT_EQ(frame(2).textX[2], 4);
  EXPECT_EQ(frame(2).textY[2], 6);
  EXPECT_EQ(editor.undoLabel(), "Move Text");
  ObjectDrag shape(editor.project().current(), SlotKind::Shape, 10, 0, 0, range);
  shape.moveTo(editor, -3, 2);
  EXPECT_EQ(frame(2).shapeX[9], -3);
  EXPECT_EQ(frame(2).shapeY[9], 2);
  EXPECT_EQ(editor.undoLabel(), "Move Shape");
  EXPECT_EQ(frame(2).pictureX[1], 10);
}

TEST_F(ObjectMoveTest, ArrowKeysNudgeOneStepEach) {
  moveObjectBy(editor, SlotKind::Picture, 2, 1, 0, range);
  moveObjectBy(editor, SlotKind::Picture, 2, 0, -10, range);
  EXPECT_EQ(objectPosition(frame(2), SlotKind::Picture, 2), (ObjectPosition{11, 4}));
  editor.undo();
  EXPECT_EQ(objectPosition(frame(2), SlotKind::Picture, 2), (ObjectPosition{11, 14}));
  // At the edge of the range a nudge changes nothing and records nothing.
  moveObjectTo(editor, SlotKind::Picture, 2, 1024, 14, range);
  const std::string label = editor.undoLabel();
  const Change none = moveObjectBy(editor, SlotKind::Picture, 2, 1, 0, range);
  EXPECT_FALSE(none.frames.any());
  EXPECT_EQ(frame(2).pictureX[1], 1024);
}

}  // namespace
}  // namespace zefra::editor
