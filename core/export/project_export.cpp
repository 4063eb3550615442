#include "export/project_export.h"

#include "export/project_renderer.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {

ProjectExport exportProject(model::LabelProject& project, const ExportSettings& settings, gif::GifImage& image,
                            const ExportProgress& progress) {
  render::TextLayerRenderer texts(project.screenDpi > 0 ? project.screenDpi : 96);
  ProjectRenderer renderer(project, project.appDir, &texts);
  ProjectExport result;
  result.report = createGif(
      project, settings, [&](int frame) { return renderer.render(frame); }, image, progress);
  result.failures = renderer.failures();
  return result;
}

}  // namespace zefra::exporter
