#pragma once
// Integer points and rectangles in pixel coordinates. Rectangles are half-open: right and
// bottom are excluded, so a rectangle's width is right - left.

#include <algorithm>

namespace zefra::raster {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static constexpr Rect fromSize(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
  }
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool empty() const { return right <= left || bottom <= top; }
  constexpr bool contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr Rect intersected(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  constexpr Rect translated(int dx, int dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace zefra::raster
