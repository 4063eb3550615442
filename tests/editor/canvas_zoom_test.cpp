// Canvas zoom steps, "Fit", and the mapping of view positions to label pixels.
#include <gtest/gtest.h>

#include "editor/canvas_zoom.h"

namespace zefra::editor {
namespace {

TEST(CanvasZoom, StepsInAndOutStopAtTheEnds) {
  EXPECT_EQ(zoomIn(1), 2);
  EXPECT_EQ(zoomIn(2), 4);
  EXPECT_EQ(zoomIn(3), 4);  // a fitted factor between steps goes to the next one
  EXPECT_EQ(zoomIn(8), 8);
  EXPECT_EQ(zoomOut(8), 4);
  EXPECT_EQ(zoomOut(3), 2);
  EXPECT_EQ(zoomOut(1), 1);
}

TEST(CanvasZoom, FitTakesTheLargestWholeFactor) {
  EXPECT_EQ(fitZoom(468, 60, 1000, 400), 2);   // 936 wide fits, 1404 does not
  EXPECT_EQ(fitZoom(88, 31, 1000, 400), 8);    // capped at the largest step
  EXPECT_EQ(fitZoom(88, 31, 400, 100), 3);     // any whole factor, not only the steps
  EXPECT_EQ(fitZoom(468, 60, 300, 400), 1);    // never below 1:1
  EXPECT_EQ(fitZoom(0, 60, 300, 400), 1);
}

TEST(CanvasZoom, ViewPositionsMapToWholeLabelPixels) {
  EXPECT_EQ(toLabelPixel(0, 4), 0);
  EXPECT_EQ(toLabelPixel(3, 4), 0);
  EXPECT_EQ(toLabelPixel(4, 4), 1);
  EXPECT_EQ(toLabelPixel(13, 1), 13);
  EXPECT_EQ(toLabelPixel(-1, 4), -1);
  EXPECT_EQ(toLabelPixel(-4, 4), -1);
  EXPECT_EQ(toLabelPixel(-5, 4), -2);
}

}  // namespace
}  // namespace zefra::editor
