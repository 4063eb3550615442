// Moving frames left and right and tweening: the records that result, the field by field
// interpolation with its rounding, the frame limit, and undo/redo of each as one step.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "editor/frame_tools.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// A project of `count` frames, frame k marked by delay k * 10, then frame `current` current.
void makeFrames(Editor& editor, int count, int current = 1) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.goToFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "Delay",
                      [k](FrameRecord& f) { f.delayMs = static_cast<std::int16_t>(k * 10); });
  }
  editor.goToFrame(current);
}

std::vector<int> order(const Editor& editor) {
  std::vector<int> marks;
  for (int k = 1; k <= editor.project().frameCount; ++k) marks.push_back(editor.project().frame(k).delayMs / 10);
  return marks;
}

bool sameRecord(const FrameRecord& a, const FrameRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(MoveFrame, SwapsWithTheNeighbourAndTheFrameStaysCurrent) {
  Editor editor("/app/", 96);
  makeFrames(editor, 4, 2);
  editor.discardChanges();
  Change change = moveFrameLeft(editor);
  ASSERT_TRUE(change.applied);
  EXPECT_EQ(order(editor), (std::vector<int>{2, 1, 3, 4}));
  EXPECT_EQ(editor.project().currentFrame, 1);
  EXPECT_TRUE(change.frames.test(1) && change.frames.test(2) && !change.frames.test(3));
  EXPECT_FALSE(change.frameCountChanged);
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), "Move Frame Left");

  // Moving it right three times carries the same frame to the end.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(moveFrameRight(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 3, 4, 2}));
  EXPECT_EQ(editor.project().currentFrame, 4);
  EXPECT_EQ(editor.undoLabel(), "Move Frame Right");
}

TEST(MoveFrame, TheEndsDoNotMoveAndRecordNothing) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, 1);
  editor.discardChanges();
  const std::string before = editor.undoLabel();
  Change left = moveFrameLeft(editor);
  EXPECT_FALSE(left.applied);
  EXPECT_TRUE(left.message.empty());
  editor.lastFrame();
  EXPECT_FALSE(moveFrameRight(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), before);

  Editor single("/app/", 96);
  EXPECT_FALSE(moveFrameLeft(single).applied);
  EXPECT_FALSE(moveFrameRight(single).applied);
}

TEST(MoveFrame, UndoAndRedoReplayTheSwapAndTheCurrentFrame) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, 3);
  editor.editSettings("Transparent", [](model::ProjectSettings& s) { s.transparent = 1; });
  ASSERT_TRUE(moveFrameLeft(editor).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 3, 2}));
  Change undone = editor.undo();
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(editor.project().currentFrame, 3);
  EXPECT_TRUE(undone.frames.test(2) && undone.frames.test(3));
  editor.redo();
  EXPECT_EQ(order(editor), (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(editor.project().currentFrame, 2);
  // The project-wide settings never travel with a record.
  EXPECT_EQ(editor.project().settings.transparent, 1);
}

TEST(TweenRecord, InterpolatesNumbersWithHalvesToEven) {
  FrameRecord a = model::newFrameRecord(96);
  FrameRecord b = a;
  a.pictureX[0] = 0;
  b.pictureX[0] = 10;
  a.textX[4] = -3;
  b.textX[4] = 0;
  a.delayMs = 100;
  b.delayMs = 200;
  a.viewAngle[0] = 0;
  b.viewAngle[0] = 300;
  a.shapeWidth[2] = 40;
  b.shapeWidth[2] = 41;
  // Quarters: 2.5 -> 2, 5, 7.5 -> 8.
  EXPECT_EQ(tweenRecord(a, b, 1, 3).pictureX[0], 2);
  EXPECT_EQ(tweenRecord(a, b, 2, 3).pictureX[0], 5);
  EXPECT_EQ(tweenRecord(a, b, 3, 3).pictureX[0], 8);
  EXPECT_EQ(tweenRecord(a, b, 1, 3).delayMs, 125);
  // Negative values round the same way: -1.5 -> -2 (even), -2.25 -> -2, -0.75 -> -1.
  EXPECT_EQ(tweenRecord(a, b, 1, 1).textX[4], -2);
  EXPECT_EQ(tweenRecord(a, b, 1, 3).textX[4], -2);
  EXPECT_EQ(tweenRecord(a, b, 3, 3).textX[4], -1);
  // The view angle takes the numeric way, not the short way round.
  EXPECT_EQ(tweenRecord(a, b, 1, 2).viewAngle[0], 100);
  EXPECT_EQ(tweenRecord(a, b, 2, 2).viewAngle[0], 200);
  // 40.5 -> 40: a one-pixel step lands on the even side.
  EXPECT_EQ(tweenRecord(a, b, 1, 1).shapeWidth[2], 40);
  // Fields that do not differ come back exactly.
  EXPECT_EQ(tweenRecord(a, b, 1, 3).pictureY[0], a.pictureY[0]);
}

TEST(TweenRecord, ColoursMixChannelByChannelAndSystemColoursAreCopied) {
  FrameRecord a = model::newFrameRecord(96);
  FrameRecord b = a;
  a.frameColor = rgb(0, 0, 0);
  b.frameColor = rgb(255, 100, 1);
  a.fontColor[1] = rgb(10, 200, 30);
  b.fontColor[1] = rgb(20, 100, 30);
  a.shapeFillColor[0] = 0x80000005u;  // a system colour
  b.shapeFillColor[0] = rgb(255, 255, 255);
  a.shadowDarkness[3] = 70;
  b.shadowDarkness[3] = 255;
  const FrameRecord mid = tweenRecord(a, b, 1, 1);
  EXPECT_EQ(mid.frameColor, rgb(128, 50, 0));  // 127.5 -> 128, 50, 0.5 -> 0
  EXPECT_EQ(mid.fontColor[1], rgb(15, 150, 30));
  EXPECT_EQ(mid.shapeFillColor[0], 0x80000005u);
  EXPECT_EQ(mid.shadowDarkness[3], 162);  // 162.5 -> 162
  EXPECT_EQ(tweenRecord(a, b, 2, 4).frameColor, rgb(102, 40, 0));  // 0.4 of the way
}

TEST(TweenRecord, EverythingThatIsNotANumberComesFromTheFirstFrame) {
  FrameRecord a = model::newFrameRecord(96);
  FrameRecord b = a;
  a.text[0].assign("Hello");
  b.text[0].assign("World");
  b.fontName[0].assign("Courier");
  a.pictureFile[2].assign("a.bmp");
  b.pictureFile[2].assign("b.bmp");
  a.shapeStyle[1] = 1;
  b.shapeStyle[1] = 2;
  b.gradientOn = 1;
  b.gradientStyle = 4;
  b.fontBold[0] = 1;
  b.textGradientKind[0] = 1;
  b.width = 300;  // the same in every frame of a real project; never mixed
  b.webSiteColor = rgb(1, 2, 3);
  const FrameRecord mid = tweenRecord(a, b, 1, 1);
  EXPECT_EQ(mid.text[0].str(), "Hello");
  EXPECT_EQ(mid.fontName[0].str(), a.fontName[0].str());
  EXPECT_EQ(mid.pictureFile[2].str(), "a.bmp");
  EXPECT_EQ(mid.shapeStyle[1], 1);
  EXPECT_EQ(mid.gradientOn, 0);
  EXPECT_EQ(mid.gradientStyle, 0);
  EXPECT_EQ(mid.fontBold[0], 0);
  EXPECT_EQ(mid.textGradientKind[0], 0);
  EXPECT_EQ(mid.width, a.width);
  EXPECT_EQ(mid.webSiteColor, a.webSiteColor);
  // Identical frames tween to copies.
  EXPECT_TRUE(sameRecord(tweenRecord(a, a, 2, 5), a));
}

TEST(TweenFrames, InsertsBetweenTheCurrentAndTheNextFrame) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, 1);
  editor.goToFrame(2);
  editor.editFrames(EditScope::CurrentFrame, "X", [](FrameRecord& f) { f.shapeX[0] = 30; });
  editor.goToFrame(1);
  editor.discardChanges();
  Change change = tweenFrames(editor, 2);
  ASSERT_TRUE(change.applied);
  // Delays 10 .. 20 in thirds: 13.3 -> 13, 16.7 -> 17.
  std::vector<int> delays;
  for (int k = 1; k <= editor.project().frameCount; ++k) delays.push_back(editor.project().frame(k).delayMs);
  EXPECT_EQ(delays, (std::vector<int>{10, 13, 17, 20, 30}));
  EXPECT_EQ(editor.project().frame(2).shapeX[0], 10);
  EXPECT_EQ(editor.project().frame(3).shapeX[0], 20);
  EXPECT_EQ(editor.project().currentFrame, 2);
  EXPECT_TRUE(change.frameCountChanged);
  EXPECT_TRUE(change.frames.test(2) && change.frames.test(5));
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), "Tween Frames");

  const FrameRecord third = editor.project().frame(3);
  editor.undo();
  EXPECT_EQ(editor.project().frameCount, 3);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(editor.project().currentFrame, 1);
  editor.redo();
  EXPECT_EQ(editor.project().frameCount, 5);
  EXPECT_TRUE(sameRecord(editor.project().frame(3), third));
}

TEST(TweenFrames, FromTheLastFrameTheAnimationLoopsBackToTheFirst) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, 2);
  ASSERT_TRUE(tweenFrames(editor, 1).applied);
  EXPECT_EQ(editor.project().frameCount, 3);
  EXPECT_EQ(editor.project().frame(3).delayMs, 15);  // between 20 and frame 1's 10
  EXPECT_EQ(editor.project().currentFrame, 3);
}

TEST(TweenFrames, RefusesPastTheFrameLimitAndWithOneFrame) {
  Editor editor("/app/", 96);
  makeFrames(editor, 125, 1);
  editor.discardChanges();
  Change refused = tweenFrames(editor, 3);
  EXPECT_FALSE(refused.applied);
  EXPECT_EQ(refused.message, "Maximal numbers of frames is 127.");
  EXPECT_EQ(editor.project().frameCount, 125);
  EXPECT_FALSE(editor.modified());
  ASSERT_TRUE(tweenFrames(editor, 2).applied);
  EXPECT_EQ(editor.project().frameCount, 127);

  Editor single("/app/", 96);
  Change alone = tweenFrames(single, 1);
  EXPECT_FALSE(alone.applied);
  EXPECT_EQ(alone.message, kTweenNeedsTwoFramesMessage);
  EXPECT_FALSE(tweenFrames(editor, 0).applied);
}

TEST(ReplaceFrames, RecordsThatDoNotChangeMakeNoStep) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, 1);
  editor.discardChanges();
  const std::string label = editor.undoLabel();
  std::vector<FrameRecord> same{editor.project().frame(1)};
  EXPECT_TRUE(editor.replaceFrames("Nothing", 1, 1, same, 2).applied);
  EXPECT_EQ(editor.undoLabel(), label);
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.project().currentFrame, 2);
  // Replacing frames shrinks the project and undo brings them back.
  ASSERT_TRUE(editor.replaceFrames("Shrink", 1, 2, {editor.project().frame(2)}, 1).applied);
  EXPECT_EQ(order(editor), (std::vector<int>{2}));
  editor.undo();
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace zefra::editor
