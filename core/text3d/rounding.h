#pragma once
// Rounding as the text renderer's arithmetic defines it: to the nearest integer with
// halves going to the even neighbour. std::nearbyint follows the current rounding mode,
// which is round-to-nearest-even unless someone changed it, so we do not rely on it.

#include <cmath>

namespace zefra::text3d {

inline long long roundHalfEven(double v) {
  double fl = std::floor(v);
  double diff = v - fl;
  long long base = static_cast<long long>(fl);
  if (diff > 0.5) return base + 1;
  if (diff < 0.5) return base;
  return (base % 2 == 0) ? base : base + 1;
}

inline int roundInt(double v) { return static_cast<int>(roundHalfEven(v)); }

}  // namespace zefra::text3d
