#pragma once
// The 3D text layers of the frame canvas: one TextLayer3D per text slot, kept for the life
// of the canvas, configured from the frame record on every layout and drawn in the slot's
// place of the drawing order. Install it with FrameCanvas::setTextLayerPainter.

#include <array>
#include <memory>

#include "model/frame_record.h"
#include "render/text_layer_painter.h"
#include "text3d/glyph_cache.h"
#include "text3d/text_layer_3d.h"

namespace zefra::render {

class TextLayerRenderer : public TextLayerPainter {
 public:
  // `screenDpi`: pixels per inch the point sizes are turned into pixels at.
  explicit TextLayerRenderer(int screenDpi = 96,
                             text3d::GlyphCache& cache = text3d::GlyphCache::shared());

  raster::Rect bounds(const TextLayerRequest& request) override;
  void paint(raster::Canvas& canvas, const TextLayerRequest& request) override;

  // The text object of slot 1..10 (as last configured).
  text3d::TextLayer3D& layer(int slot) { return *layers.at(static_cast<std::size_t>(slot - 1)); }

 private:
  text3d::TextLayer3D& configure(const TextLayerRequest& request);

  int dpi;
  std::array<std::unique_ptr<text3d::TextLayer3D>, model::kSlots> layers;
};

}  // namespace zefra::render
