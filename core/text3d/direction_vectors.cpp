#include "text3d/direction_vectors.h"

#include <cmath>
#include <numbers>

#include "text3d/rounding.h"

namespace zefra::text3d {

namespace {

int tanTimes(int degrees, int length) {
  return roundInt(std::tan(degrees * std::numbers::pi / 180.0) * length);
}

int normalAngle(int angle) {
  int a = angle % 360;
  return a < 0 ? a + 360 : a;
}

}  // namespace

Offset directionVector(int angle, int length) {
  int a = normalAngle(angle);
  int L = length;
  if (a <= 45) return {tanTimes(a, L), -L};
  if (a <= 89) return {L, -tanTimes(90 - a, L)};
  if (a <= 135) return {L, tanTimes(a - 90, L)};
  if (a <= 180) return {tanTimes(180 - a, L), L};
  if (a <= 225) return {-tanTimes(a - 180, L), L};
  if (a <= 270) return {-L, tanTimes(270 - a, L)};
  if (a <= 314) return {-L, -tanTimes(a - 270, L)};
  return {-tanTimes(360 - a, L), -L};
}

GlyphGeometry glyphGeometry(int viewDirection, double altitude, double borderHeight, int factor) {
  GlyphGeometry g;
  int a = normalAngle(viewDirection);
  int A = roundInt(factor * altitude);
  int B = roundInt(factor * borderHeight);
  g.border = directionVector(a, B);
  g.altitude = directionVector(a, A);
  g.front.x = (a <= 180) ? 0 : -g.border.x - g.altitude.x;
  g.front.y = (a >= 90 && a <= 270) ? 0 : -g.border.y - g.altitude.y;
  double scaled = factor * borderHeight;
  g.hasBorder = scaled > 0.001;
  if (g.hasBorder) {
    g.stepX = g.border.x / scaled;
    g.stepY = g.border.y / scaled;
    g.borderSteps = roundInt(scaled) + 1;
  }
  return g;
}

}  // namespace zefra::text3d
