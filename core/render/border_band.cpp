#include "render/border_band.h"

namespace zefra::render {

BevelStyle bevelStyleFor(std::uint8_t borderStyle) {
  switch (borderStyle) {
    case 1: return BevelStyle::Lowered;
    case 2: return BevelStyle::Raised;
    default: return BevelStyle::None;
  }
}

void BorderBand::layout(const model::FrameRecord& r, int W, int H) {
  if (r.bordersOn != 1) {
    shown = false;
    return;
  }
  const int n = (r.borderInnerStyle > 0 ? 1 : 0) + (r.borderOuterStyle > 0 ? 1 : 0);
  const int L = r.bevelWidth * n + r.borderWidth;
  band = L;
  frame.color = r.borderColor;
  frame.colorHighlight = r.highlightColor;
  frame.colorShadow = r.shadowColor;
  frame.bevelInner = bevelStyleFor(r.borderInnerStyle);
  frame.bevelOuter = bevelStyleFor(r.borderOuterStyle);
  frame.bevelWidth = r.bevelWidth;
  frame.borderWidth = r.borderWidth;
  // Strips: left, right, top, bottom. The bevel objects are placed in their strips at
  // (0, 0), (-L, 0), (-L, 0) and (-L, -L); in canvas pixels that is as below.
  parts[0] = {{0, 0, L, H}, raster::Rect::fromSize(0, 0, 2 * L, H)};
  parts[1] = {{W - L, 0, W, H}, raster::Rect::fromSize(W - 2 * L, 0, 2 * L, H)};
  parts[2] = {{L, 0, W - L, L}, raster::Rect::fromSize(0, 0, W, 2 * L)};
  parts[3] = {{L, H - L, W - L, H}, raster::Rect::fromSize(0, H - 2 * L, W, 2 * L)};
  shown = true;
}

void BorderBand::paint(raster::Canvas& canvas) const {
  if (!shown || band <= 0) return;
  for (const BorderStrip& part : parts) {
    if (part.strip.empty()) continue;
    raster::Canvas strip = canvas.clippedTo(part.strip);
    raster::Canvas bevelCanvas = strip.child(part.bevel);
    frame.paint(bevelCanvas, part.bevel.width(), part.bevel.height());
  }
}

}  // namespace zefra::render
