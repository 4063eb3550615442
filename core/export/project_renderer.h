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
  // `textPainter` draws the 3D texts (not owned; nullptr draws none). Picture and texture
  // names are resolved against `appDir` (with its trailing separator) by the compositor's
  // rule, which writes completed names back into the project's records.
  ProjectRenderer(model::LabelProject& project, std::string appDir, render::TextLayerPainter* textPainter);

  // Frame `frameNumber` (1..frameCount) at the project's size. Picture and texture files
  // that exist but cannot be read leave their layer out; they are listed in failures().
  raster::FastBitmap render(int frameNumber);

  const std::vector<render::LoadFailure>& failures() const { return problems; }

 private:
  model::LabelProject& project;
  render::FrameCanvas canvas;
  std::vector<render::LoadFailure> problems;
};

}  // namespace zefra::exporter
