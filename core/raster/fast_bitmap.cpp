#include "raster/fast_bitmap.h"

#include <algorithm>

namespace zefra::raster {

void FastBitmap::resize(int width, int height) {
  w = std::max(width, 0);
  h = std::max(height, 0);
  if (w == 0 || h == 0) {
    w = h = 0;
  }
  rowBytes = strideFor(w);
  data.assign(rowBytes * static_cast<std::size_t>(h), 0);
}

void FastBitmap::fill(Color c) {
  if (empty()) return;
  std::uint8_t* first = row(0);
  for (int x = 0; x < w; ++x) {
    first[3 * x] = blueOf(c);
    first[3 * x + 1] = greenOf(c);
    first[3 * x + 2] = redOf(c);
  }
  for (int y = 1; y < h; ++y) std::copy(first, first + 3 * w, row(y));
}

bool FastBitmap::operator==(const FastBitmap& other) const {
  if (w != other.w || h != other.h) return false;
  for (int y = 0; y < h; ++y) {
    if (!std::equal(row(y), row(y) + 3 * w, other.row(y))) return false;
  }
  return true;
}

}  // namespace zefra::raster
