#include "export/project_renderer.h"

#include <utility>

namespace zefra::exporter {

ProjectRenderer::ProjectRenderer(const model::LabelProject& project, render::TextLayerPainter* textPainter)
    : project(project), canvas(render::canvasSettingsFor(project)) {
  canvas.setTextLayerPainter(textPainter);
}

raster::FastBitmap ProjectRenderer::render(int frameNumber) {
  const render::LayoutReport report = canvas.draw(project.frame(frameNumber));
  for (render::LoadFailure failure : report.failures) {
    failure.frame = frameNumber;
    problems.push_back(std::move(failure));
  }
  return canvas.bitmap();
}

}  // namespace zefra::exporter
