#include "export/project_renderer.h"

namespace zefra::exporter {

ProjectRenderer::ProjectRenderer(model::LabelProject& project, std::string appDir,
                                 render::TextLayerPainter* textPainter)
    : project(project) {
  render::CanvasSettings settings;
  settings.appDir = std::move(appDir);
  settings.screenDpi = project.screenDpi;
  settings.designDpi = project.settings.designDpi;
  canvas.setSettings(settings);
  canvas.setTextLayerPainter(textPainter);
}

raster::FastBitmap ProjectRenderer::render(int frameNumber) {
  const render::LayoutReport report = canvas.pnt(project.frame(frameNumber));
  problems.insert(problems.end(), report.failures.begin(), report.failures.end());
  return canvas.bitmap();
}

}  // namespace zefra::exporter
