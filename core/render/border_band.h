#pragma once
// The border band: four strips along the canvas edges, each holding one bevel object sized
// so that the strip shows its edge of one bevelled frame of the canvas's full size. The band
// lies above every other layer.

#include <array>

#include "model/frame_record.h"
#include "raster/canvas.h"
#include "raster/geometry.h"
#include "render/bevel_frame.h"

namespace zefra::render {

BevelStyle bevelStyleFor(std::uint8_t borderStyle);  // 0 None, 1 Inset, 2 Raised

struct BorderStrip {
  raster::Rect strip;  // canvas pixels
  raster::Rect bevel;  // the bevel object's rectangle, canvas pixels
};

class BorderBand {
 public:
  // Configures the band from a frame of width x height; hides it unless bordersOn is 1.
  void layout(const model::FrameRecord& record, int width, int height);
  void hide() { shown = false; }

  bool visible() const { return shown; }
  int thickness() const { return band; }
  // Left, right, top, bottom, in drawing order.
  const std::array<BorderStrip, 4>& strips() const { return parts; }
  const BevelFrame& bevel() const { return frame; }

  void paint(raster::Canvas& canvas) const;

 private:
  bool shown = false;
  int band = 0;
  BevelFrame frame;
  std::array<BorderStrip, 4> parts{};
};

}  // namespace zefra::render
