#pragma once
// Renders the frames of a project off-screen with the frame compositor, for the export
// and for anyone who needs the exact pixels that go into the GIF.

#include <string>
#include <vector>

#include "model/label_project.h"
#include "raster/fast_bitmap.h"
#include "render/frame_canvas.h"
#include "render/text_layer_painter.h"

namespace zefra::exporter {

class ProjectRenderer {
 public:
  // `textPainter` draws the 3D texts (not owned; nullptr draws none). The frames are drawn
  // with the project's own canvas settings (render::canvasSettingsFor), as the editor
  // draws them; the project is only read.
  ProjectRenderer(const model::LabelProject& project, render::TextLayerPainter* textPainter);

  // Frame `frameNumber` (1..frameCount) at the project's size. Picture and texture files
  // that exist but cannot be read leave their layer out; they are listed in failures().
  raster::FastBitmap render(int frameNumber);

  const std::vector<render::LoadFailure>& failures() const { return problems; }

 private:
  const model::LabelProject& project;
  render::FrameCanvas canvas;
  std::vector<render::LoadFailure> problems;
};

}  // namespace zefra::exporter
