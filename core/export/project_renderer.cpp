#include "export/project_renderer.h"

namespace zefra::exporter {

ProjectRenderer::ProjectRenderer(const model::LabelProject& project, render::TextLayerPainter* textPainter)
    : project(project), canvas(render::canvasSettingsFor(project)) {
  canvas.setTextLayerPainter(textPainter);
}

raster::FastBitmap ProjectRenderer::render(int frameNumber) {
  const render::LayoutReport report = canvas.draw(project.frame(frameNumber));
  problems.insert(problems.end(), report.failures.begin(), report.failures.end());
  return canvas.bitmap();
}

}  // namespace zefra::exporter
