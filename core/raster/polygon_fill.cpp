// Filled polygons: scanline conversion sampled at pixel centres, even-odd rule, exact in
// integers so that shared edges of neighbouring bands never overlap or leave a gap.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/canvas.h"

namespace zefra::raster {

namespace {

// floor(a / b) for b > 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && (a < 0)) --q;
  return q;
}

// ceil(a / b) for b > 0.
std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return -floorDiv(-a, b); }

}  // namespace

void Canvas::fillPolygon(std::span<const Point> vertices, Color c) {
  const std::size_t n = vertices.size();
  if (n < 3) return;
  int minY = vertices[0].y;
  int maxY = vertices[0].y;
  for (const Point& p : vertices) {
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  // Only rows whose centres can be inside and that are visible.
  const int yFrom = std::max(minY, clipRect.top - org.y);
  const int yTo = std::min(maxY, clipRect.bottom - org.y);  // exclusive
  if (yFrom >= yTo) return;

  // Crossings are kept as the first pixel column whose centre is at or right of the edge:
  // a centre x + 1/2 is inside from an edge crossing at xe when x >= xe - 1/2.
  std::vector<std::int64_t> crossings;
  crossings.reserve(n);
  for (int y = yFrom; y < yTo; ++y) {
    crossings.clear();
    for (std::size_t i = 0; i < n; ++i) {
      Point a = vertices[i];
      Point b = vertices[(i + 1) % n];
      if (a.y == b.y) continue;
      if (a.y > b.y) std::swap(a, b);
      // The centre row y + 1/2 crosses edges with a.y <= y + 1/2 < b.y, i.e. a.y <= y < b.y.
      if (y < a.y || y >= b.y) continue;
      const std::int64_t dy = b.y - a.y;
      const std::int64_t dx = b.x - a.x;
      // xe - 1/2 = (2*dy*a.x + (2y + 1 - 2*a.y)*dx - dy) / (2*dy)
      const std::int64_t num = 2 * dy * a.x + (2 * static_cast<std::int64_t>(y) + 1 - 2 * a.y) * dx - dy;
      crossings.push_back(ceilDiv(num, 2 * dy));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const std::int64_t x0 = std::max<std::int64_t>(crossings[i], clipRect.left - org.x);
      const std::int64_t x1 = std::min<std::int64_t>(crossings[i + 1], clipRect.right - org.x);
      if (x0 < x1) hLine(static_cast<int>(x0), static_cast<int>(x1), y, c);
    }
  }
}

}  // namespace zefra::raster
