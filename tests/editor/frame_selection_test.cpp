// The frame selection of the editor and the commands on selected frames: how far an
// edit reaches with several frames selected, and moving, duplicating, deleting and
// reversing them, each one undo step that gives back exactly the bytes it replaced.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "editor/frame_arrange.h"
#include "editor/frame_marks.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// `count` frames, frame k marked by delay k * 10 and text 1 "k", then frame 1 current
// and not modified.
void makeFrames(Editor& editor, int count) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.selectFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "Mark", [k](FrameRecord& f) {
      f.delayMs = static_cast<std::int16_t>(k * 10);
      f.text[0] = std::to_string(k);
    });
  }
  editor.selectFrame(1);
  editor.discardChanges();
}

FrameSet frames(std::initializer_list<int> list) {
  FrameSet set;
  for (int k : list) set.set(static_cast<std::size_t>(k));
  return set;
}

std::vector<std::uint8_t> snapshot(const Editor& editor) {
  const auto& p = editor.project();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(p.records.data());
  std::vector<std::uint8_t> copy(bytes, bytes + sizeof(FrameRecord) * p.frameCount);
  copy.push_back(p.frameCount);
  return copy;
}

TEST(FrameSelection, ClicksShiftAndCtrlChooseFrames) {
  Editor editor("/app/", 96);
  makeFrames(editor, 6);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1})) << "just the current frame";
  EXPECT_FALSE(editor.severalFramesSelected());

  editor.selectFrame(2);
  Change change = editor.selectFrameRange(4);
  EXPECT_TRUE(change.frameSelectionChanged);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(editor.project().currentFrame, 4);
  editor.selectFrameRange(1);  // the range still starts at the clicked frame
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1, 2}));

  editor.toggleFrameSelected(5);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(editor.project().currentFrame, 5);
  editor.toggleFrameSelected(5);  // out again: the nearest selected frame before it is current
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1, 2}));
  EXPECT_EQ(editor.project().currentFrame, 2);
  editor.toggleFrameSelected(2);
  editor.toggleFrameSelected(1);  // the last one stays
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1}));
  EXPECT_FALSE(editor.toggleFrameSelected(9).applied);

  editor.selectFrames(frames({2, 3, 9}), 3);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{2, 3})) << "frames past the last are dropped";
  EXPECT_FALSE(editor.modified()) << "choosing frames is no edit";

  // Moving to a frame, or changing the frame order, leaves the current frame alone.
  change = editor.nextFrame();
  EXPECT_TRUE(change.frameSelectionChanged);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{4}));
  editor.selectFrames(frames({2, 3}), 2);
  change = editor.insertFrame();
  EXPECT_TRUE(change.frameSelectionChanged);
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{3}));
  editor.selectFrames(frames({2, 3}), 2);
  editor.undo();
  EXPECT_FALSE(editor.severalFramesSelected());
  editor.selectFrames(frames({1, 2}), 2);
  editor.newProject();
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{1}));
}

TEST(FrameSelection, EditsReachExactlyTheSelectedFramesWhateverLockFramesSays) {
  Editor editor("/app/", 96);
  for (bool lock : {true, false}) {
    makeFrames(editor, 6);
    if (editor.project().lockFrames != lock) editor.toggleLockFrames();
    editor.selectFrame(2);
    editor.selectFrameRange(4);
    const auto before = snapshot(editor);
    const std::size_t steps = editor.undoCount();
    // Typing "500" passes through 5 and 50 (clamped to the least delay): one step.
    for (long typed : {5L, 50L, 500L}) editor.setField(Field::Delay, typed);
    EXPECT_EQ(order(editor), (std::vector<int>{1, 50, 50, 50, 5, 6})) << "lock " << lock;
    EXPECT_EQ(editor.undoCount(), steps + 1);
    const Change text = editor.setField(Field::Text, "Sale");
    EXPECT_EQ(frameList(text.frames), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(editor.project().frame(1).text[0].view(), "1");
    EXPECT_EQ(editor.project().frame(5).text[0].view(), "5");
    const auto after = snapshot(editor);

    editor.undo();
    editor.undo();
    EXPECT_EQ(snapshot(editor), before) << "lock " << lock;
    EXPECT_TRUE(editor.severalFramesSelected()) << "undoing an edit keeps the choice";
    editor.redo();
    editor.redo();
    EXPECT_EQ(snapshot(editor), after);
  }
  // The label size is the same in every frame and stays so; settings are the project's.
  editor.selectFrames(frames({2, 3}), 2);
  EXPECT_EQ(frameList(editor.setField(Field::Width, 300).frames), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(editor.setField(Field::PaletteKind, 1).settingsChanged);
  // Canvas drags and the font dialog go through editFrames: the same reach.
  EXPECT_EQ(frameList(editor.editFrames(EditScope::FollowLock, "Move", [](FrameRecord& f) { f.textX[0] = 9; }).frames),
            (std::vector<int>{2, 3}));
}

TEST(FrameArrange, MovingFramesIsOneStepThatUndoesExactly) {
  Editor editor("/app/", 96);
  makeFrames(editor, 7);
  editor.selectFrames(frames({2, 3, 6}), 3);
  const auto before = snapshot(editor);
  Change change = moveFrames(editor, editor.selectedFrames(), 5);
  EXPECT_TRUE(change.applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 4, 2, 3, 6, 5, 7}));
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{3, 4, 5})) << "the moved block stays chosen";
  EXPECT_EQ(editor.project().currentFrame, 4) << "the current record is still current";
  EXPECT_EQ(editor.undoLabel(), "Move Frames");
  const auto after = snapshot(editor);
  const std::size_t steps = editor.undoCount();
  editor.undo();
  EXPECT_EQ(snapshot(editor), before);
  EXPECT_EQ(editor.project().currentFrame, 3);
  editor.redo();
  EXPECT_EQ(snapshot(editor), after);
  EXPECT_EQ(editor.undoCount(), steps);

  // To the end, to the front, and onto itself (nothing to record).
  moveFrames(editor, frames({1}), 8);
  EXPECT_EQ(order(editor), (std::vector<int>{4, 2, 3, 6, 5, 7, 1}));
  moveFrames(editor, frames({6, 7}), 1);
  EXPECT_EQ(order(editor), (std::vector<int>{7, 1, 4, 2, 3, 6, 5}));
  const std::size_t settled = editor.undoCount();
  moveFrames(editor, frames({3, 4}), 3);
  moveFrames(editor, frames({3, 4}), 5);
  EXPECT_EQ(order(editor), (std::vector<int>{7, 1, 4, 2, 3, 6, 5}));
  EXPECT_EQ(editor.undoCount(), settled);
}

TEST(FrameArrange, DuplicateDeleteAndReverseTheSelection) {
  Editor editor("/app/", 96);
  makeFrames(editor, 6);
  editor.selectFrames(frames({2, 4}), 4);
  const auto before = snapshot(editor);
  ASSERT_TRUE(duplicateFrames(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3, 4, 2, 4, 5, 6}));
  EXPECT_EQ(frameList(editor.selectedFrames()), (std::vector<int>{5, 6}));
  EXPECT_EQ(editor.project().currentFrame, 6) << "the copy of the current frame";
  editor.undo();
  EXPECT_EQ(snapshot(editor), before);

  editor.selectFrame(3);
  duplicateFrames(editor);  // one frame: a copy right after it, as Ctrl+D promises
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3, 3, 4, 5, 6}));
  EXPECT_EQ(editor.project().currentFrame, 4);

  makeFrames(editor, 6);
  editor.selectFrames(frames({2, 3, 5}), 5);
  const auto full = snapshot(editor);
  ASSERT_TRUE(reverseSelectedFrames(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 5, 3, 4, 2, 6}));
  EXPECT_EQ(editor.project().currentFrame, 2) << "frame 5's record now stands second";
  ASSERT_TRUE(deleteFrames(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 4, 6}));
  EXPECT_EQ(editor.project().currentFrame, 2) << "the frame after the first deleted one";
  editor.undo();
  editor.undo();
  EXPECT_EQ(snapshot(editor), full);

  editor.selectFrames(frames({1, 2, 3, 4, 5, 6}), 1);
  const Change refused = deleteFrames(editor);
  EXPECT_FALSE(refused.applied);
  EXPECT_EQ(refused.message, "Could not delete this frame.");
  EXPECT_EQ(snapshot(editor), full);

  makeFrames(editor, 127);
  editor.selectFrames(frames({1, 2}), 1);
  const Change tooMany = duplicateFrames(editor);
  EXPECT_EQ(tooMany.message, "Maximal numbers of frames is 127.");
  EXPECT_EQ(editor.project().frameCount, 127);
}

TEST(FrameArrange, SetDelayGivesEverySelectedFrameOneDelay) {
  Editor editor("/app/", 96);
  makeFrames(editor, 5);
  editor.toggleLockFrames();  // unlocked: still only the selection
  editor.selectFrame(2);
  editor.selectFrameRange(4);
  const Change change = setFrameDelays(editor, 500);
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(editor.undoLabel(), "Set Delay");
  for (int k = 1; k <= 5; ++k)
    EXPECT_EQ(editor.project().frame(k).delayMs, k >= 2 && k <= 4 ? 500 : k * 10) << "frame " << k;
  editor.selectFrame(5);
  setFrameDelays(editor, 1);
  EXPECT_EQ(editor.project().frame(5).delayMs, 30) << "kept within the delay's range";
  EXPECT_EQ(editor.project().frame(1).delayMs, 10);
}

}  // namespace
}  // namespace zefra::editor
