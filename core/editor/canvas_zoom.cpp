#include "editor/canvas_zoom.h"

#include <algorithm>

namespace zefra::editor {

int zoomIn(int zoom) {
  for (int step : kZoomSteps)
    if (step > zoom) return step;
  return kZoomSteps.back();
}

int zoomOut(int zoom) {
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (*it < zoom) return *it;
  return kZoomSteps.front();
}

int fitZoom(int width, int height, int areaWidth, int areaHeight) {
  if (width <= 0 || height <= 0) return 1;
  const int fit = std::min(areaWidth / width, areaHeight / height);
  return std::clamp(fit, 1, kMaxZoom);
}

}  // namespace zefra::editor
