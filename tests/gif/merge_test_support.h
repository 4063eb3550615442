#pragma once
// Builders for colour-table and optimisation tests: frames from explicit indices and
// palettes, with an optional graphic control extension.

#include <memory>
#include <vector>

#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "colour/indexed_bitmap.h"

namespace zefra::gif::testing {

inline GifFrame& addIndexedFrame(GifImage& image, int w, int h, const std::vector<Color>& palette,
                                 const std::vector<std::uint8_t>& indices) {
  IndexedBitmap bmp(w, h, 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.setIndex(x, y, indices[static_cast<std::size_t>(y * w + x)]);
  for (Color c : palette) bmp.palette().push_back(toRgb(c));
  const int index = image.addFrame(bmp);
  return image.frames()[index];
}

inline GraphicControlExtension& addControl(GifFrame& frame, int delayCs, Disposal disposal = Disposal::Unspecified,
                                           int transparentIndex = -1) {
  auto control = std::make_unique<GraphicControlExtension>(frame);
  GraphicControlExtension& ref = *control;
  frame.extensions().add(std::move(control));
  ref.setDelayCs(static_cast<std::uint16_t>(delayCs));
  ref.setDisposal(disposal);
  if (transparentIndex >= 0) {
    ref.setTransparencyOn(true);
    ref.setTransparentIndex(transparentIndex);
  }
  return ref;
}

inline Color colourOf(const GifFrame& frame, int x, int y) {
  return toColor(frame.effectiveColorMap()[frame.pixelAt(x, y)]);
}

}  // namespace zefra::gif::testing
