// Rectangles and rounded rectangles outlined with a wide pen. The pen is centred on the
// outline, so a pen of width p reaches p div 2 pixels outside the rectangle on the left and
// top and (p - 1) div 2 pixels past its last column and row; what lies inside the pen band is
// the brush.
#include <algorithm>
#include <cmath>

#include "raster/canvas.h"

namespace zefra::raster {

namespace {

Rect outerBox(const Rect& r, int penWidth) {
  const int p = std::max(penWidth, 1);
  return {r.left - p / 2, r.top - p / 2, r.right + (p - 1) / 2, r.bottom + (p - 1) / 2};
}

// Horizontal extent [x0, x1) at pixel row y (centre y + 1/2) of a box with corners
// rounded by an ellipse of radii (rx, ry). Empty when the row lies outside the box.
bool roundedSpan(const Rect& box, double rx, double ry, int y, int& x0, int& x1) {
  if (box.empty() || y < box.top || y >= box.bottom) return false;
  x0 = box.left;
  x1 = box.right;
  rx = std::min(rx, box.width() / 2.0);
  ry = std::min(ry, box.height() / 2.0);
  if (rx <= 0 || ry <= 0) return true;
  const double cy = y + 0.5;
  double dy = 0;
  if (cy < box.top + ry) {
    dy = box.top + ry - cy;
  } else if (cy > box.bottom - ry) {
    dy = cy - (box.bottom - ry);
  } else {
    return true;
  }
  const double t = 1.0 - (dy * dy) / (ry * ry);
  if (t <= 0) return false;
  const double inset = rx - rx * std::sqrt(t);
  // Pixel centres x + 1/2 inside [left + inset, right - inset].
  x0 = static_cast<int>(std::ceil(box.left + inset - 0.5));
  x1 = static_cast<int>(std::floor(box.right - inset - 0.5)) + 1;
  return x0 < x1;
}

}  // namespace

void Canvas::rectangle(const Rect& r, Color pen, int penWidth, Color brush) {
  const int p = std::max(penWidth, 1);
  const Rect outer = outerBox(r, p);
  if (outer.empty()) return;
  const Rect inner{outer.left + p, outer.top + p, outer.right - p, outer.bottom - p};
  if (inner.empty()) {
    fillRect(outer, pen);
    return;
  }
  fillRect({outer.left, outer.top, outer.right, inner.top}, pen);
  fillRect({outer.left, inner.bottom, outer.right, outer.bottom}, pen);
  fillRect({outer.left, inner.top, inner.left, inner.bottom}, pen);
  fillRect({inner.right, inner.top, outer.right, inner.bottom}, pen);
  fillRect(inner, brush);
}

void Canvas::roundRect(const Rect& r, int ellipseWidth, int ellipseHeight, Color pen, int penWidth,
                       Color brush) {
  const int p = std::max(penWidth, 1);
  const Rect outer = outerBox(r, p);
  if (outer.empty()) return;
  // The corner ellipse belongs to the outline's centre line; the pen widens it outward.
  const double rx = std::max(ellipseWidth, 0) / 2.0 + p / 2;
  const double ry = std::max(ellipseHeight, 0) / 2.0 + p / 2;
  const Rect inner{outer.left + p, outer.top + p, outer.right - p, outer.bottom - p};
  const double irx = std::max(rx - p, 0.0);
  const double iry = std::max(ry - p, 0.0);
  const int yFrom = std::max(outer.top, clipRect.top - org.y);
  const int yTo = std::min(outer.bottom, clipRect.bottom - org.y);
  for (int y = yFrom; y < yTo; ++y) {
    int ox0, ox1;
    if (!roundedSpan(outer, rx, ry, y, ox0, ox1)) continue;
    int ix0, ix1;
    if (!roundedSpan(inner, irx, iry, y, ix0, ix1)) {
      hLine(ox0, ox1, y, pen);
      continue;
    }
    hLine(ox0, ix0, y, pen);
    hLine(ix0, ix1, y, brush);
    hLine(ix1, ox1, y, pen);
  }
}

}  // namespace zefra::raster
