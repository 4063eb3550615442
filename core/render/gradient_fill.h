#pragma once
// The background gradient layer: a two-colour ramp of 256 entries painted in bands, corner
// hexagons, diagonal quadrilaterals or pyramid lines whose positions follow the rectangle's
// size. The rendered picture is kept in a buffer and re-rendered only when a property or
// the size changed, so repainting an unchanged gradient is a plain copy.

#include <array>
#include <cstdint>

#include "common/color.h"
#include "raster/canvas.h"
#include "raster/fast_bitmap.h"

namespace zefra::render {

// Declaration order is part of the layer's published interface.
enum class GradientStyle : std::uint8_t {
  CornerTopLeft,
  CornerTopRight,
  CornerBottomRight,
  CornerBottomLeft,
  DiagonalRising,
  DiagonalFalling,
  Ellipse,  // kept for the numbering; never selected, draws nothing
  Horizontal,
  Pyramid,
  Vertical,
};

enum class GradientDirection : std::uint8_t { DownRight, UpLeft };

class GradientFill {
 public:
  GradientFill();

  GradientStyle style() const { return styleValue; }
  Color startColor() const { return start; }
  Color endColor() const { return end; }
  GradientDirection direction() const { return directionValue; }
  int stepWidth() const { return step; }
  int width() const { return w; }
  int height() const { return h; }

  // Each setter does nothing when the value is unchanged.
  void setStyle(GradientStyle s);
  void setStartColor(Color c);
  void setEndColor(Color c);
  void setDirection(GradientDirection d);
  void setStepWidth(int width);  // 1..10; other values are ignored
  void setSize(int width, int height);

  // Entry 0 is the colour at the ramp's start, entry 255 the colour at its end.
  const std::array<Color, 256>& ramp() const { return rampColors; }

  // Draws the gradient of the current style into the whole of `target`
  // (target's size is W x H); colours are resolved before drawing.
  void render(raster::FastBitmap& target) const;

  // Copies the buffered picture to `canvas` at (x, y), rendering it first when stale or
  // when the size changed. A zero width or height draws nothing.
  void paint(raster::Canvas& canvas, int x, int y);

  // How many times the buffer has been rendered (the repaint of an unchanged gradient
  // must not render).
  int renderCount() const { return renders; }

 private:
  void rebuildRamp();

  GradientStyle styleValue = GradientStyle::Vertical;
  Color start = 0x00FF0000;
  Color end = 0;
  GradientDirection directionValue = GradientDirection::DownRight;
  int step = 1;
  int w = 100;
  int h = 80;
  std::array<Color, 256> rampColors{};
  raster::FastBitmap buffer;
  bool stale = true;
  int renders = 0;
};

}  // namespace zefra::render
