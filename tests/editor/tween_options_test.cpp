// Tweening with a choice: the eased positions (exact, rounded to the nearest pixel), the
// delays kept from the first frame, and re-tweening the frames between two frames in place
// as one undo step.
#include <gtest/gtest.h>

#include <vector>

#include "editor/editor.h"
#include "editor/frame_tools.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// Two frames: shape 1 at x = `x1` (delay 100, black) and at x = `x2` (delay 300, grey 80).
void makeTwoFrames(Editor& editor, int x1, int x2) {
  editor.newProject();
  editor.editFrames(EditScope::CurrentFrame, "From", [x1](FrameRecord& f) {
    f.shapeStyle[0] = 1;
    f.shapeX[0] = static_cast<std::int16_t>(x1);
    f.delayMs = 100;
    f.frameColor = rgb(0, 0, 0);
  });
  ASSERT_TRUE(editor.insertFrame().applied);
  editor.editFrames(EditScope::CurrentFrame, "To", [x2](FrameRecord& f) {
    f.shapeX[0] = static_cast<std::int16_t>(x2);
    f.delayMs = 300;
    f.frameColor = rgb(80, 80, 80);
  });
  editor.goToFrame(1);
}

std::vector<int> shapeXs(const Editor& editor) {
  std::vector<int> xs;
  for (int k = 1; k <= editor.project().frameCount; ++k) xs.push_back(editor.project().frame(k).shapeX[0]);
  return xs;
}

std::vector<int> delays(const Editor& editor) {
  std::vector<int> ds;
  for (int k = 1; k <= editor.project().frameCount; ++k) ds.push_back(editor.project().frame(k).delayMs);
  return ds;
}

std::vector<int> tweenedXs(int x1, int x2, Easing easing) {
  Editor editor("/app/", 96);
  makeTwoFrames(editor, x1, x2);
  EXPECT_TRUE(tweenFrames(editor, TweenOptions{3, easing}).applied);
  return shapeXs(editor);
}

TEST(TweenEasing, ThreeFramesFrom0To40FollowEachCurve) {
  // t = 1/4, 1/2, 3/4. In: 40 t^2 = 2.5, 10, 22.5; Out: 40 (1-(1-t)^2) = 17.5, 30, 37.5;
  // In-Out: 40 (3t^2 - 2t^3) = 6.25, 20, 33.75. Halves go to the even neighbour.
  EXPECT_EQ(tweenedXs(0, 40, Easing::Linear), (std::vector<int>{0, 10, 20, 30, 40}));
  EXPECT_EQ(tweenedXs(0, 40, Easing::In), (std::vector<int>{0, 2, 10, 22, 40}));
  EXPECT_EQ(tweenedXs(0, 40, Easing::Out), (std::vector<int>{0, 18, 30, 38, 40}));
  EXPECT_EQ(tweenedXs(0, 40, Easing::InOut), (std::vector<int>{0, 6, 20, 34, 40}));
  // Backwards and away from 0 the same curves mirror: Out from 40 to 0 is In run back.
  EXPECT_EQ(tweenedXs(40, 0, Easing::Out), (std::vector<int>{40, 22, 10, 2, 0}));
  EXPECT_EQ(tweenedXs(40, 0, Easing::InOut), (std::vector<int>{40, 34, 20, 6, 0}));
  EXPECT_EQ(tweenedXs(-35, 5, Easing::InOut), (std::vector<int>{-35, -29, -15, -1, 5}));
}

TEST(TweenEasing, ColoursAndDelaysFollowTheCurveAndEqualEndsStay) {
  Editor editor("/app/", 96);
  makeTwoFrames(editor, 7, 7);
  ASSERT_TRUE(tweenFrames(editor, TweenOptions{1, Easing::In}).applied);
  const FrameRecord& mid = editor.project().frame(2);
  EXPECT_EQ(mid.shapeX[0], 7);
  EXPECT_EQ(mid.frameColor, rgb(20, 20, 20));  // 80 x 1/4
  EXPECT_EQ(mid.delayMs, 150);                 // 100 + 200 x 1/4
  // Many steps: the last eased frame stays short of the end, never past it.
  const FrameRecord a = editor.project().frame(1);
  FrameRecord b = a;
  b.shapeX[0] = 1000;
  for (const Easing easing : {Easing::In, Easing::Out, Easing::InOut}) {
    int previous = a.shapeX[0];
    for (int step = 1; step <= 125; ++step) {
      const int x = tweenRecord(a, b, step, 125, easing).shapeX[0];
      EXPECT_GE(x, previous) << step;
      EXPECT_LE(x, 1000) << step;
      previous = x;
    }
  }
}

TEST(TweenEasing, NamesOfTheCommandLine) {
  EXPECT_EQ(easingFromName("linear"), Easing::Linear);
  EXPECT_EQ(easingFromName("in"), Easing::In);
  EXPECT_EQ(easingFromName("out"), Easing::Out);
  EXPECT_EQ(easingFromName("in-out"), Easing::InOut);
  EXPECT_FALSE(easingFromName("In-Out").has_value());
  EXPECT_FALSE(easingFromName("").has_value());
}

TEST(TweenKeepDelays, InsertedFramesTakeTheFirstFramesDelay) {
  Editor editor("/app/", 96);
  makeTwoFrames(editor, 0, 40);
  ASSERT_TRUE(tweenFrames(editor, TweenOptions{3}).applied);
  EXPECT_EQ(delays(editor), (std::vector<int>{100, 150, 200, 250, 300}));
  editor.undo();
  TweenOptions keep{3, Easing::InOut, true};
  ASSERT_TRUE(tweenFrames(editor, keep).applied);
  EXPECT_EQ(delays(editor), (std::vector<int>{100, 100, 100, 100, 300}));
  EXPECT_EQ(shapeXs(editor), (std::vector<int>{0, 6, 20, 34, 40}));
}

TEST(TweenReplace, ReTweensTheFramesBetweenInPlaceAsOneUndoStep) {
  Editor editor("/app/", 96);
  makeTwoFrames(editor, 0, 40);
  ASSERT_TRUE(tweenFrames(editor, TweenOptions{4}).applied);  // the first tween: 6 frames
  editor.goToFrame(1);
  ASSERT_EQ(editor.project().frameCount, 6);
  std::vector<FrameRecord> before;
  for (int k = 1; k <= 6; ++k) before.push_back(editor.project().frame(k));
  const std::string previousStep = editor.undoLabel();

  TweenOptions again{3, Easing::InOut, true, 6};
  const Change change = tweenFrames(editor, again);
  ASSERT_TRUE(change.applied);
  EXPECT_EQ(shapeXs(editor), (std::vector<int>{0, 6, 20, 34, 40}));
  EXPECT_EQ(delays(editor), (std::vector<int>{100, 100, 100, 100, 300}));
  EXPECT_TRUE(model::sameBytes(editor.project().frame(5), before[5]));
  EXPECT_EQ(editor.project().currentFrame, 2);
  EXPECT_TRUE(change.frameCountChanged);
  EXPECT_EQ(editor.undoLabel(), "Tween Frames");

  std::vector<FrameRecord> after;
  for (int k = 1; k <= 5; ++k) after.push_back(editor.project().frame(k));
  editor.undo();
  ASSERT_EQ(editor.project().frameCount, 6);
  for (int k = 1; k <= 6; ++k) EXPECT_TRUE(model::sameBytes(editor.project().frame(k), before[k - 1])) << "frame " << k;
  EXPECT_EQ(editor.undoLabel(), previousStep);
  editor.redo();
  ASSERT_EQ(editor.project().frameCount, 5);
  for (int k = 1; k <= 5; ++k) EXPECT_TRUE(model::sameBytes(editor.project().frame(k), after[k - 1])) << "frame " << k;

  // More frames than were there, and a target right after the current frame (inserts).
  editor.goToFrame(1);
  ASSERT_TRUE(tweenFrames(editor, TweenOptions{7, Easing::Linear, false, 5}).applied);
  EXPECT_EQ(shapeXs(editor), (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 35, 40}));
  editor.goToFrame(8);
  ASSERT_TRUE(tweenFrames(editor, TweenOptions{1, Easing::Linear, false, 9}).applied);
  EXPECT_EQ(editor.project().frameCount, 10);
}

TEST(TweenReplace, RefusesATargetNotAfterTheFrameAndCountsTheLimitAfterRemoving) {
  Editor editor("/app/", 96);
  makeTwoFrames(editor, 0, 40);
  editor.goToFrame(2);
  for (const int target : {1, 2, 3}) {
    const Change refused = tweenFrames(editor, TweenOptions{2, Easing::Linear, false, target});
    EXPECT_FALSE(refused.applied) << target;
    EXPECT_EQ(refused.message, kTweenTargetMessage) << target;
  }
  EXPECT_EQ(editor.project().frameCount, 2);

  // 127 frames: replacing the 4 between frames 1 and 6 with 4 fits, with 5 does not.
  for (int k = 2; k < model::kMaxFrames; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  ASSERT_EQ(editor.project().frameCount, model::kMaxFrames);
  editor.goToFrame(1);
  const Change tooMany = tweenFrames(editor, TweenOptions{5, Easing::Linear, false, 6});
  EXPECT_FALSE(tooMany.applied);
  EXPECT_EQ(tooMany.message, kMaxFramesMessage);
  EXPECT_TRUE(tweenFrames(editor, TweenOptions{4, Easing::Linear, false, 6}).applied);
  EXPECT_EQ(editor.project().frameCount, model::kMaxFrames);
  EXPECT_FALSE(tweenFrames(editor, TweenOptions{1}).applied) << "inserting still counts every frame";
}

}  // namespace
}  // namespace zefra::editor
