#pragma once
// A rectangular bevelled frame: an optional outer bevel, a solid border and an optional
// inner bevel, drawn as rings from the rectangle's edge inward. The object has no
// background: pixels its rings do not touch keep what lies below.

#include <cstdint>

#include "common/color.h"
#include "raster/canvas.h"

namespace zefra::render {

// Declaration order is part of the published interface.
enum class BevelStyle : std::uint8_t { Lowered, None, Raised };

class BevelFrame {
 public:
  BevelStyle bevelOuter = BevelStyle::Raised;
  BevelStyle bevelInner = BevelStyle::None;
  int bevelWidth = 1;
  int borderWidth = 0;
  Color color = rgb(136, 136, 136);
  Color colorHighlight = rgb(255, 255, 255);
  Color colorShadow = rgb(128, 128, 128);

  // Total thickness of outer bevel, border and inner bevel.
  int thickness() const;

  // Draws the frame of the rectangle (0, 0, width, height) of `canvas` (whose origin is the
  // object's top-left corner; its clip decides what shows).
  void paint(raster::Canvas& canvas, int width, int height) const;
};

// One 3D ring set of `n` rings on `r` (right and bottom exclusive): top colour on the top
// and left edges of every ring, bottom colour on the right and bottom edges; the top-left
// corner takes the top colour, the other three corners the bottom colour.
void drawFrame3D(raster::Canvas& canvas, raster::Rect r, int n, Color top, Color bottom);

}  // namespace zefra::render
