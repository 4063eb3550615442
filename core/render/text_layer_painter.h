#pragma once
// The seam through which 3D text layers join the frame compositor.
//
// The compositor (FrameCanvas) owns everything about a text slot that is not the text's
// look: whether the slot is shown (non-empty text), the font size in points after the DPI
// correction, the texture file (resolved by the file-name rule, read once per changed name
// into a bitmap, dropped when the slot's texture name is emptied) and the slot's place in
// the drawing order (text k above picture k, below shape k + 1 and below the border band).
// The text renderer implements this interface; FrameCanvas::setTextLayerPainter installs it
// (not owned; nullptr, the default, means texts draw nothing).
//
// For every shown text slot of a layout the compositor calls bounds() once (the box that
// hit-testing and the editor's selection use; its top-left corner is (textX, textY)) and
// paint() once per render, clipped to the canvas. Everything else a text needs (colours,
// gradient, view angle, border depth, shadow darkness, style flags, font name) is read from
// the record the request carries.

#include <string>

#include "model/frame_record.h"
#include "raster/canvas.h"
#include "raster/fast_bitmap.h"
#include "raster/geometry.h"

namespace zefra::render {

struct TextLayerRequest {
  const model::FrameRecord* record = nullptr;
  int slot = 1;        // 1..10
  int pointSize = 0;   // round(designDpi / screenDpi x fontSize), halves to even
  // The texture for the front face, or nullptr for none. Stays valid until the next layout.
  const raster::FastBitmap* texture = nullptr;
};

class TextLayerPainter {
 public:
  virtual ~TextLayerPainter() = default;

  // The text's box in canvas pixels (may lie partly outside the canvas).
  virtual raster::Rect bounds(const TextLayerRequest& request) = 0;

  // Draws the text over what `canvas` already holds (canvas coordinates, clipped).
  virtual void paint(raster::Canvas& canvas, const TextLayerRequest& request) = 0;
};

}  // namespace zefra::render
