#include "raster/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zefra::raster {

namespace {

Rect bitmapRect(const FastBitmap& b) { return {0, 0, b.width(), b.height()}; }

inline void putBgr(std::uint8_t* p, Color c) {
  p[0] = blueOf(c);
  p[1] = greenOf(c);
  p[2] = redOf(c);
}

}  // namespace

Canvas::Canvas(FastBitmap& t) : target(&t), org{0, 0}, clipRect(bitmapRect(t)) {}

Canvas::Canvas(FastBitmap& t, Point origin, Rect clip)
    : target(&t), org(origin), clipRect(clip.intersected(bitmapRect(t))) {}

Canvas Canvas::child(const Rect& bounds) const {
  Rect inBitmap = bounds.translated(org.x, org.y);
  return Canvas(*target, {inBitmap.left, inBitmap.top}, inBitmap.intersected(clipRect));
}

Canvas Canvas::clippedTo(const Rect& rect) const {
  return Canvas(*target, org, rect.translated(org.x, org.y).intersected(clipRect));
}

void Canvas::setPixel(int x, int y, Color c) {
  x += org.x;
  y += org.y;
  if (clipRect.contains(x, y)) target->setPixel(x, y, c);
}

void Canvas::fillRect(const Rect& r, Color c) {
  Rect d = r.translated(org.x, org.y).intersected(clipRect);
  if (d.empty()) return;
  std::uint8_t* first = target->row(d.top) + 3 * d.left;
  for (int x = 0; x < d.width(); ++x) putBgr(first + 3 * x, c);
  const std::size_t bytes = static_cast<std::size_t>(3 * d.width());
  for (int y = d.top + 1; y < d.bottom; ++y) std::memcpy(target->row(y) + 3 * d.left, first, bytes);
}

void Canvas::hLine(int x0, int x1, int y, Color c) { fillRect({x0, y, x1, y + 1}, c); }

void Canvas::vLine(int x, int y0, int y1, Color c) { fillRect({x, y0, x + 1, y1}, c); }

void Canvas::line(Point from, Point to, Color c, int penWidth) {
  const int dx = std::abs(to.x - from.x);
  const int dy = std::abs(to.y - from.y);
  const int stepX = from.x < to.x ? 1 : -1;
  const int stepY = from.y < to.y ? 1 : -1;
  const int before = (std::max(penWidth, 1) - 1) / 2;
  const int size = std::max(penWidth, 1);
  auto plot = [&](int x, int y) {
    if (size == 1) {
      setPixel(x, y, c);
    } else {
      fillRect(Rect::fromSize(x - before, y - before, size, size), c);
    }
  };
  int x = from.x;
  int y = from.y;
  // The usual case of the gradient's fans: a thin line wholly inside the clip is walked
  // on the pixel bytes directly.
  // The walk stops one step short of `to` on the major axis and may reach it on the other.
  Point last = to;
  if (dx >= dy) {
    last.x -= stepX;
  } else {
    last.y -= stepY;
  }
  if (size == 1 && (dx > 0 || dy > 0) && clipRect.contains(from.x + org.x, from.y + org.y) &&
      clipRect.contains(last.x + org.x, last.y + org.y)) {
    walkInside(from, to, c);
    return;
  }
  if (dx >= dy) {
    int err = 2 * dy - dx;
    for (int i = 0; i < dx; ++i) {
      plot(x, y);
      if (err > 0) {
        y += stepY;
        err -= 2 * dx;
      }
      err += 2 * dy;
      x += stepX;
    }
  } else {
    int err = 2 * dx - dy;
    for (int i = 0; i < dy; ++i) {
      plot(x, y);
      if (err > 0) {
        x += stepX;
        err -= 2 * dy;
      }
      err += 2 * dx;
      y += stepY;
    }
  }
}

void Canvas::walkInside(Point from, Point to, Color c) {
  const int dx = std::abs(to.x - from.x);
  const int dy = std::abs(to.y - from.y);
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(target->stride());
  const std::ptrdiff_t stepX = from.x < to.x ? 3 : -3;
  const std::ptrdiff_t stepY = from.y < to.y ? stride : -stride;
  std::uint8_t* p = target->row(from.y + org.y) + 3 * (from.x + org.x);
  const std::uint8_t b = blueOf(c), g = greenOf(c), r = redOf(c);
  const bool shallow = dx >= dy;
  const int major = shallow ? dx : dy;
  const int minor = shallow ? dy : dx;
  const std::ptrdiff_t majorStep = shallow ? stepX : stepY;
  const std::ptrdiff_t minorStep = shallow ? stepY : stepX;
  int err = 2 * minor - major;
  for (int i = 0; i < major; ++i) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (err > 0) {
      p += minorStep;
      err -= 2 * major;
    }
    err += 2 * minor;
    p += majorStep;
  }
}

namespace {

// The rows of a w x h picture with its top-left pixel at bitmap pixel (left, top) that
// `clip` keeps: visit(sourceX, sourceY, targetX, targetY, width) once per row.
template <typename Visit>
void forEachClippedRow(const Rect& clip, int left, int top, int w, int h, Visit visit) {
  const Rect d = Rect::fromSize(left, top, w, h).intersected(clip);
  if (d.empty()) return;
  for (int row = 0; row < d.height(); ++row) visit(d.left - left, d.top - top + row, d.left, d.top + row, d.width());
}

}  // namespace

void Canvas::draw(int x, int y, const FastBitmap& src) {
  forEachClippedRow(clipRect, x + org.x, y + org.y, src.width(), src.height(), [&](int sx, int sy, int tx, int ty, int n) {
    std::memcpy(target->row(ty) + 3 * tx, src.row(sy) + 3 * sx, static_cast<std::size_t>(3 * n));
  });
}

void Canvas::drawMasked(int x, int y, const FastBitmap& src, const BitMask& mask) {
  if (mask.width != src.width() || mask.height != src.height()) return;
  forEachClippedRow(clipRect, x + org.x, y + org.y, src.width(), src.height(), [&](int sx, int sy, int tx, int ty, int n) {
    const std::uint8_t* s = src.row(sy) + 3 * sx;
    const std::uint8_t* m = mask.bits.data() + static_cast<std::size_t>(sy) * mask.width + sx;
    std::uint8_t* t = target->row(ty) + 3 * tx;
    for (int col = 0; col < n; ++col) {
      if (m[col]) std::memcpy(t + 3 * col, s + 3 * col, 3);
    }
  });
}

void Canvas::drawBlended(int x, int y, const FastBitmap& src, const AlphaMask& alpha) {
  if (alpha.width != src.width() || alpha.height != src.height()) return;
  forEachClippedRow(clipRect, x + org.x, y + org.y, src.width(), src.height(), [&](int sx, int sy, int tx, int ty, int n) {
    const std::uint8_t* s = src.row(sy) + 3 * sx;
    const std::uint8_t* a = alpha.values.data() + static_cast<std::size_t>(sy) * alpha.width + sx;
    std::uint8_t* t = target->row(ty) + 3 * tx;
    for (int col = 0; col < n; ++col, s += 3, t += 3) {
      // Most pixels of a picture are fully opaque or fully clear.
      if (a[col] == 255) {
        std::memcpy(t, s, 3);
      } else if (a[col] != 0) {
        for (int c = 0; c < 3; ++c) t[c] = blendOver(s[c], t[c], a[col]);
      }
    }
  });
}

}  // namespace zefra::raster
