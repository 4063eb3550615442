#include "render/bevel_frame.h"

#include "raster/system_colors.h"

namespace zefra::render {

void drawFrame3D(raster::Canvas& canvas, raster::Rect r, int n, Color top, Color bottom) {
  int l = r.left;
  int t = r.top;
  int R = r.right - 1;
  int B = r.bottom - 1;
  for (int i = 0; i < n; ++i) {
    canvas.vLine(l, t, B, top);          // left column, t .. B - 1
    canvas.hLine(l, R, t, top);          // top row, l .. R - 1
    canvas.vLine(R, t, B, bottom);       // right column, t .. B - 1
    canvas.hLine(l, R + 1, B, bottom);   // bottom row, l .. R
    ++l;
    ++t;
    --R;
    --B;
  }
}

int BevelFrame::thickness() const {
  return (bevelOuter != BevelStyle::None ? bevelWidth : 0) + borderWidth +
         (bevelInner != BevelStyle::None ? bevelWidth : 0);
}

void BevelFrame::paint(raster::Canvas& canvas, int W, int H) const {
  const int bw = bevelWidth;
  const int b = borderWidth;
  const Color border = raster::resolveColor(color);
  const Color light = raster::resolveColor(colorHighlight);
  const Color dark = raster::resolveColor(colorShadow);
  const bool outer = bevelOuter != BevelStyle::None;
  const bool inner = bevelInner != BevelStyle::None;
  if (b > 0) {
    raster::Rect r = outer ? raster::Rect{bw, bw, W - bw, H - bw} : raster::Rect{0, 0, W, H};
    for (int i = 0; i < b; ++i) {
      canvas.vLine(r.left, r.top, r.bottom, border);
      canvas.vLine(r.right - 1, r.top, r.bottom, border);
      canvas.hLine(r.left, r.right, r.top, border);
      canvas.hLine(r.left, r.right, r.bottom - 1, border);
      r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
  }
  if (outer) {
    const bool raised = bevelOuter == BevelStyle::Raised;
    drawFrame3D(canvas, {0, 0, W, H}, bw, raised ? light : dark, raised ? dark : light);
  }
  if (inner) {
    const int o = (outer ? bw : 0) + b;
    const bool raised = bevelInner == BevelStyle::Raised;
    drawFrame3D(canvas, {o, o, W - o, H - o}, bw, raised ? light : dark, raised ? dark : light);
  }
}

}  // namespace zefra::render
