#pragma once
// How the main window keeps the label visible when it is resized: a minimum width, a work
// area at least as high as the label plus a margin, the page control and the canvas
// centred. Pure arithmetic on pixel sizes so it is checked without a window.

namespace zefra::editor {

struct WindowLayoutInput {
  int windowWidth = 0;
  int windowHeight = 0;
  int labelWidth = 0;   // of frame 1
  int labelHeight = 0;  // of frame 1
  int pageControlWidth = 0;
  int workAreaBaselineHeight = 0;  // height of the work area when the window was created
  int windowBaselineHeight = 0;    // height of the window when it was created
};

struct WindowLayout {
  int windowWidth = 0;   // grown to the minimum when needed
  int windowHeight = 0;  // grown so the work area reaches its minimum
  int pageControlLeft = 0;
  int workAreaLeft = 8;
  int workAreaWidth = 0;
  int workAreaHeight = 0;
  int canvasLeft = 0;  // inside the work area
  int canvasTop = 0;
};

int minimumWindowWidth(int labelWidth, int pageControlWidth);
int minimumWorkAreaHeight(int labelHeight);
WindowLayout layoutWindow(const WindowLayoutInput& in);

}  // namespace zefra::editor
