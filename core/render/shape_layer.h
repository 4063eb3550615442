#pragma once
// A rectangle or rounded rectangle shape of a frame. Inside its bounds it draws, for pen
// width p, the figure from (p div 2, p div 2) of size (width - p + 1) x (height - p + 1)
// (+ 0 instead of + 1 when p is 0); a rounded one has corners rounded by an ellipse of
// (s div 4) x (s div 4), s the smaller of those two sizes.

#include "common/color.h"
#include "model/frame_record.h"
#include "raster/canvas.h"
#include "raster/geometry.h"

namespace zefra::render {

struct ShapeGeometry {
  raster::Rect figure;  // in the shape's own coordinates, right and bottom exclusive
  int cornerSize = 0;   // s div 4 for rounded rectangles
};

ShapeGeometry shapeGeometry(int width, int height, int penWidth);

struct ShapeLayer {
  model::ShapeStyle style = model::ShapeStyle::None;
  raster::Rect bounds;  // canvas pixels
  Color fill = 0;
  Color pen = 0;
  int penWidth = 1;

  bool visible() const { return style != model::ShapeStyle::None; }

  // Draws into `canvas` (canvas coordinates), clipped to the shape's bounds.
  void paint(raster::Canvas& canvas) const;
};

}  // namespace zefra::render
