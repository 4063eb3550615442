#pragma once
// Where the 3D border and the shadow of a glyph go: the border vector, the altitude vector
// and the position of the front face inside the glyph cell, in supersampled pixels.

namespace zefra::text3d {

struct Offset {
  int x = 0;
  int y = 0;
  bool operator==(const Offset&) const = default;
};

// The vector of length `length` (its larger component) pointing toward `angle` degrees
// clockwise from straight up (screen y grows downward). `angle` is reduced mod 360.
Offset directionVector(int angle, int length);

struct GlyphGeometry {
  Offset border;    // (bx, by)
  Offset altitude;  // (ax, ay)
  Offset front;     // (x0, y0)
  bool hasBorder = false;  // f x border height above the drawing threshold
  double stepX = 0;        // unit step along the border, valid when hasBorder
  double stepY = 0;
  int borderSteps = 0;     // number of border drawings
};

GlyphGeometry glyphGeometry(int viewDirection, double altitude, double borderHeight, int factor);

}  // namespace zefra::text3d
