#include "render/shape_layer.h"

#include <algorithm>

#include "raster/system_colors.h"

namespace zefra::render {

ShapeGeometry shapeGeometry(int width, int height, int p) {
  const int extra = p == 0 ? 0 : 1;
  const int x0 = p / 2;
  const int w = width - p + extra;
  const int h = height - p + extra;
  return {raster::Rect::fromSize(x0, x0, w, h), std::min(w, h) / 4};
}

void ShapeLayer::paint(raster::Canvas& canvas) const {
  if (!visible() || bounds.empty()) return;
  raster::Canvas own = canvas.child(bounds);
  const ShapeGeometry g = shapeGeometry(bounds.width(), bounds.height(), penWidth);
  if (g.figure.empty()) return;
  const Color penColor = raster::resolveColor(pen);
  const Color brush = raster::resolveColor(fill);
  if (style == model::ShapeStyle::RndRectangle) {
    own.roundRect(g.figure, g.cornerSize, g.cornerSize, penColor, penWidth, brush);
  } else {
    own.rectangle(g.figure, penColor, penWidth, brush);
  }
}

}  // namespace zefra::render
