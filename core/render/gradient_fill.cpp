#include "render/gradient_fill.h"

#include <algorithm>
#include <cmath>

#include "raster/system_colors.h"

namespace zefra::render {

using raster::Point;
using raster::Rect;

namespace {

// Truncation of an integer times a 32-bit float; the product is exact in double precision,
// so this matches a computation in any wider format.
int truncMul(int i, float f) { return static_cast<int>(std::trunc(static_cast<double>(i) * static_cast<double>(f))); }

std::uint8_t rampChannel(int from, int to, int i) {
  const double v = from + std::nearbyint(static_cast<double>(i) * (to - from) / 255.0);
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

void renderBands(raster::Canvas& c, const std::array<Color, 256>& ramp, GradientStyle style, int W, int H) {
  const float sx = static_cast<float>(W) / 255.0f;
  const float sy = static_cast<float>(H) / 255.0f;
  const int bw = static_cast<int>(std::trunc(static_cast<double>(sx) + 1));
  const int bh = static_cast<int>(std::trunc(static_cast<double>(sy) + 1));
  for (int i = 0; i < 256; ++i) {
    const Color col = ramp[static_cast<std::size_t>(i)];
    switch (style) {
      case GradientStyle::Horizontal: {
        const int x = truncMul(i, sx);
        c.fillRect({x, 0, x + bw, H}, col);
        break;
      }
      case GradientStyle::Vertical: {
        const int y = truncMul(i, sy);
        c.fillRect({0, y, W, y + bh}, col);
        break;
      }
      case GradientStyle::CornerTopLeft: {
        const int x = truncMul(255 - i, sx);
        const int y = truncMul(255 - i, sy);
        const Point v[] = {{0, y}, {x, y}, {x, 0}, {x + bw, 0}, {x + bw, y + bh}, {0, y + bh}};
        c.fillPolygon(v, col);
        break;
      }
      case GradientStyle::CornerTopRight: {
        const int x = truncMul(i, sx);
        const int y = truncMul(255 - i, sy);
        const Point v[] = {{x + bw, 0}, {x + bw, y}, {W, y}, {W, y + bh}, {x, y + bh}, {x, 0}};
        c.fillPolygon(v, col);
        break;
      }
      case GradientStyle::CornerBottomRight: {
        const int x = truncMul(i, sx);
        const int y = truncMul(i, sy);
        const Point v[] = {{W, y + bh}, {x + bw, y + bh}, {x + bw, H}, {x, H}, {x, y}, {W, y}};
        c.fillPolygon(v, col);
        break;
      }
      case GradientStyle::CornerBottomLeft: {
        const int x = truncMul(255 - i, sx);
        const int y = truncMul(i, sy);
        const Point v[] = {{x, H}, {x, y + bh}, {0, y + bh}, {0, y}, {x + bw, y}, {x + bw, H}};
        c.fillPolygon(v, col);
        break;
      }
      default:
        return;
    }
  }
}

void renderDiagonal(raster::Canvas& c, const std::array<Color, 256>& ramp, bool falling, int W, int H) {
  const float dx = static_cast<float>(W) / 127.0f;
  const float dy = static_cast<float>(H) / 127.0f;
  const int bw = static_cast<int>(std::trunc(static_cast<double>(dx) + 1));
  const int bh = static_cast<int>(std::trunc(static_cast<double>(dy) + 1));
  for (int i = 0; i < 256; ++i) {
    const int j = i & 127;
    const bool secondHalf = i >= 128;
    const int xj = truncMul(j, dx);
    const Color col = ramp[static_cast<std::size_t>(i)];
    if (falling) {
      const int yj = truncMul(j, dy);
      if (!secondHalf) {
        const Point v[] = {{xj, 0}, {xj + bw, 0}, {0, yj + bh}, {0, yj}};
        c.fillPolygon(v, col);
      } else {
        const Point v[] = {{W, yj}, {W, yj + bh}, {xj + bw, H}, {xj, H}};
        c.fillPolygon(v, col);
      }
    } else {
      const int yj = truncMul(127 - j, dy);
      if (!secondHalf) {
        const Point v[] = {{xj, H}, {xj + bw, H}, {0, yj}, {0, yj + bh}};
        c.fillPolygon(v, col);
      } else {
        const Point v[] = {{W, yj + bh}, {W, yj}, {xj + bw, 0}, {xj, 0}};
        c.fillPolygon(v, col);
      }
    }
  }
}

void renderPyramid(raster::Canvas& c, const std::array<Color, 256>& ramp, int step, int W, int H) {
  const int cx = W / 2;
  const int cy = H / 2;
  const float f = 255.0f / static_cast<float>(W + H);
  auto at = [&](int m) { return ramp[static_cast<std::size_t>(std::clamp(truncMul(m, f), 0, 255))]; };
  const Point centre{cx, cy};
  for (int m = 0; m <= W; m += step) {
    c.line({m, 0}, centre, at(m), step);
    c.line(centre, {m, H}, at(m + H), step);
  }
  for (int m = 0; m <= H; m += step) {
    c.line({W, m}, centre, at(m + W), step);
    c.line(centre, {-1, m}, at(m), step);
  }
}

}  // namespace

GradientFill::GradientFill() { rebuildRamp(); }

void GradientFill::rebuildRamp() {
  Color from = raster::resolveColor(start);
  Color to = raster::resolveColor(end);
  if (directionValue == GradientDirection::UpLeft) std::swap(from, to);
  for (int i = 0; i < 256; ++i) {
    rampColors[static_cast<std::size_t>(i)] =
        rgb(rampChannel(redOf(from), redOf(to), i), rampChannel(greenOf(from), greenOf(to), i),
            rampChannel(blueOf(from), blueOf(to), i));
  }
}

void GradientFill::setStyle(GradientStyle s) {
  if (s == styleValue) return;
  styleValue = s;
  stale = true;
}

void GradientFill::setStartColor(Color c) {
  if (c == start) return;
  start = c;
  rebuildRamp();
  stale = true;
}

void GradientFill::setEndColor(Color c) {
  if (c == end) return;
  end = c;
  rebuildRamp();
  stale = true;
}

void GradientFill::setDirection(GradientDirection d) {
  if (d == directionValue) return;
  directionValue = d;
  rebuildRamp();
  stale = true;
}

void GradientFill::setStepWidth(int width) {
  if (width < 1 || width > 10 || width == step) return;
  step = width;
  stale = true;
}

void GradientFill::setSize(int width, int height) {
  w = std::max(width, 0);
  h = std::max(height, 0);
}

void GradientFill::render(raster::FastBitmap& target) const {
  const int W = target.width();
  const int H = target.height();
  if (W <= 0 || H <= 0) return;
  raster::Canvas c(target);
  switch (styleValue) {
    case GradientStyle::DiagonalFalling:
      renderDiagonal(c, rampColors, true, W, H);
      break;
    case GradientStyle::DiagonalRising:
      renderDiagonal(c, rampColors, false, W, H);
      break;
    case GradientStyle::Pyramid:
      renderPyramid(c, rampColors, step, W, H);
      break;
    case GradientStyle::Ellipse:
      break;
    default:
      renderBands(c, rampColors, styleValue, W, H);
      break;
  }
}

void GradientFill::paint(raster::Canvas& canvas, int x, int y) {
  if (w <= 0 || h <= 0) return;
  if (stale || buffer.width() != w || buffer.height() != h) {
    if (buffer.width() != w || buffer.height() != h) buffer.resize(w, h);
    render(buffer);
    stale = false;
    ++renders;
  }
  canvas.draw(x, y, buffer);
}

}  // namespace zefra::render
