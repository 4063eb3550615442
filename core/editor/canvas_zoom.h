#pragma once
// The zoom of the frame canvas: whole-number factors only, so every label pixel is an
// exact square of screen pixels and a mouse position names exactly one label pixel.

#include <array>

namespace zefra::editor {

inline constexpr std::array<int, 4> kZoomSteps{1, 2, 4, 8};
inline constexpr int kMaxZoom = kZoomSteps.back();

// The next larger (smaller) step from `zoom`; the largest (smallest) step stays.
int zoomIn(int zoom);
int zoomOut(int zoom);

// "Fit": the largest whole factor (1..kMaxZoom) at which a label of width x height fits
// into an area of areaWidth x areaHeight; 1 when even that does not fit.
int fitZoom(int width, int height, int areaWidth, int areaHeight);

// The label pixel under a view position: floor division, so positions left of or above
// the canvas (a drag that leaves it) give negative pixels, never pixel 0 twice.
constexpr int toLabelPixel(int viewPosition, int zoom) {
  return viewPosition >= 0 ? viewPosition / zoom : -((-viewPosition + zoom - 1) / zoom);
}

}  // namespace zefra::editor
