#include "editor/window_layout.h"

#include <algorithm>

namespace zefra::editor {

int minimumWindowWidth(int labelWidth, int pageControlWidth) {
  return std::max(labelWidth + 28, pageControlWidth + 24);
}

int minimumWorkAreaHeight(int labelHeight) { return std::max(78, labelHeight + 4); }

WindowLayout layoutWindow(const WindowLayoutInput& in) {
  WindowLayout out;
  out.windowWidth = std::max(in.windowWidth, minimumWindowWidth(in.labelWidth, in.pageControlWidth));
  out.windowHeight = in.windowHeight;
  out.pageControlLeft = (out.windowWidth - in.pageControlWidth - 8) / 2;

  const int minimumHeight = minimumWorkAreaHeight(in.labelHeight);
  const int available = in.workAreaBaselineHeight + in.windowHeight - in.windowBaselineHeight;
  if (available < minimumHeight) {
    out.workAreaHeight = minimumHeight;
    out.windowHeight = in.windowBaselineHeight + minimumHeight - in.workAreaBaselineHeight;
  } else {
    out.workAreaHeight = available;
  }

  out.workAreaWidth = out.windowWidth - 24;
  out.canvasLeft = (out.workAreaWidth - in.labelWidth) / 2;
  out.canvasTop = (out.workAreaHeight - in.labelHeight) / 2;
  return out;
}

}  // namespace zefra::editor
