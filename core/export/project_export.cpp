#include "export/project_export.h"

#include <algorithm>

#include "common/color_text.h"
#include "export/project_renderer.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {

ProjectExport exportProject(const model::LabelProject& project, const ExportSettings& settings, gif::GifImage& image,
                            const ExportProgress& progress, text3d::GlyphCache* glyphs) {
  render::TextLayerRenderer texts(project.screenDpi > 0 ? project.screenDpi : 96,
                                  glyphs ? *glyphs : text3d::GlyphCache::shared());
  ProjectRenderer renderer(project, &texts);
  const FrameSource frames = [&](int frame) { return renderer.render(frame); };
  ProjectExport result;
  if (settings.method == ExportMethod::Classic) {
    result.report = createGif(project, settings, frames, image, progress);
  } else {
    result.report = encodeProject(project, settings, frames, image, progress, &result.details);
  }
  // Frames drawn more than once report the same unreadable file each time; say it once.
  for (const render::LoadFailure& failure : renderer.failures()) {
    const bool known = std::any_of(result.failures.begin(), result.failures.end(), [&](const render::LoadFailure& f) {
      return f.file == failure.file && f.message == failure.message;
    });
    if (!known) result.failures.push_back(failure);
  }
  return result;
}

std::vector<std::string> transparencyWarnings(const ExportSettings& settings, const ProjectExport& exported) {
  std::vector<std::string> warnings;
  if (!settings.transparent) return warnings;
  if (settings.method == ExportMethod::Standard && exported.details.transparentPixels == 0)
    warnings.push_back(htmlColorText(settings.transparentColor) + " does not occur in the banner; nothing is transparent");
  const std::optional<Color>& made = exported.report.transparentColor;
  if (made && (*made & 0xFFFFFF) != (settings.transparentColor & 0xFFFFFF)) {
    warnings.push_back(htmlColorText(settings.transparentColor) + " is not among the GIF's colours; " +
                       htmlColorText(*made) + " was made transparent");
  }
  return warnings;
}

}  // namespace zefra::exporter
