// Resize rules of the main window, on the sizes a user meets: the label's width sets the
// minimum window width, its height the work area's, and the canvas stays centred.
#include <gtest/gtest.h>

#include "editor/window_layout.h"

namespace zefra::editor {
namespace {

WindowLayoutInput baseInput() {
  WindowLayoutInput in;
  in.windowWidth = 700;
  in.windowHeight = 500;
  in.labelWidth = 468;
  in.labelHeight = 60;
  in.pageControlWidth = 600;
  in.workAreaBaselineHeight = 100;
  in.windowBaselineHeight = 500;
  return in;
}

TEST(WindowLayout, MinimumWidthFollowsLabelOrPageControl) {
  EXPECT_EQ(minimumWindowWidth(500, 400), 528);
  EXPECT_EQ(minimumWindowWidth(100, 600), 624);
  WindowLayoutInput in = baseInput();
  in.labelWidth = 500;
  in.pageControlWidth = 400;
  in.windowWidth = 100;
  EXPECT_EQ(layoutWindow(in).windowWidth, 528);
  in.windowWidth = 900;
  EXPECT_EQ(layoutWindow(in).windowWidth, 900) << "a wide window is not narrowed";
}

TEST(WindowLayout, WorkAreaHeightMinimum) {
  EXPECT_EQ(minimumWorkAreaHeight(60), 78);
  EXPECT_EQ(minimumWorkAreaHeight(100), 104);
  EXPECT_EQ(minimumWorkAreaHeight(1), 78);
}

TEST(WindowLayout, ShrinkingBelowTheMinimumGrowsTheWindowBack) {
  WindowLayoutInput in = baseInput();
  in.labelHeight = 100;
  in.windowHeight = 450;  // available 100 + 450 - 500 = 50 < 104
  WindowLayout out = layoutWindow(in);
  EXPECT_EQ(out.workAreaHeight, 104);
  EXPECT_EQ(out.windowHeight, 500 + 104 - 100);
}

TEST(WindowLayout, GrowingTheWindowGrowsTheWorkArea) {
  WindowLayoutInput in = baseInput();
  in.windowHeight = 640;
  WindowLayout out = layoutWindow(in);
  EXPECT_EQ(out.workAreaHeight, 240);
  EXPECT_EQ(out.windowHeight, 640);
}

TEST(WindowLayout, CentringTruncates) {
  WindowLayoutInput in = baseInput();
  in.windowWidth = 701;
  in.labelWidth = 468;
  in.labelHeight = 61;
  in.windowHeight = 500;  // work area stays 100
  WindowLayout out = layoutWindow(in);
  EXPECT_EQ(out.workAreaLeft, 8);
  EXPECT_EQ(out.workAreaWidth, 677);
  EXPECT_EQ(out.pageControlLeft, (701 - 600 - 8) / 2);  // 46.5 -> 46
  EXPECT_EQ(out.pageControlLeft, 46);
  EXPECT_EQ(out.canvasLeft, 104);  // (677 - 468) / 2 = 104.5
  EXPECT_EQ(out.canvasTop, 19);    // (100 - 61) / 2 = 19.5
}

}  // namespace
}  // namespace zefra::editor
