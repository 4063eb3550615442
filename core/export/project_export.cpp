#include "export/project_export.h"

#include <algorithm>
#include <memory>

#include "common/color_text.h"
#include "export/project_renderer.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {

namespace {

// A renderer for one more drawing thread. Its glyph cache stays in memory: the program's
// cache owns the disk copy.
struct ThreadRenderer {
  ThreadRenderer(const model::LabelProject& project, int dpi) : texts(dpi, glyphs), renderer(project, &texts) {
    glyphs.setUseDiskCache(false);
  }
  text3d::GlyphCache glyphs;
  render::TextLayerRenderer texts;
  ProjectRenderer renderer;
};

}  // namespace

ProjectExport exportProject(const model::LabelProject& project, const ExportSettings& settings, gif::GifImage& image,
                            const ExportProgress& progress, text3d::GlyphCache* glyphs, EncodeOptions options) {
  const int dpi = project.screenDpi > 0 ? project.screenDpi : 96;
  render::TextLayerRenderer texts(dpi, glyphs ? *glyphs : text3d::GlyphCache::shared());
  ProjectRenderer renderer(project, &texts);
  const FrameSource frames = [&](int frame) { return renderer.render(frame); };
  std::vector<std::unique_ptr<ThreadRenderer>> helpers;
  options.threadSource = [&]() -> FrameSource {
    helpers.push_back(std::make_unique<ThreadRenderer>(project, dpi));
    ProjectRenderer* own = &helpers.back()->renderer;
    return [own](int frame) { return own->render(frame); };
  };
  ProjectExport result;
  if (settings.method == ExportMethod::Classic) {
    result.report = createGif(project, settings, frames, image, progress);
  } else {
    result.report = encodeProject(project, settings, frames, image, progress, &result.details, options);
  }
  // Frames drawn more than once, or by several renderers, report the same unreadable file
  // each time; say it once, in frame order.
  std::vector<render::LoadFailure> failures = renderer.failures();
  for (const auto& helper : helpers)
    failures.insert(failures.end(), helper->renderer.failures().begin(), helper->renderer.failures().end());
  std::stable_sort(failures.begin(), failures.end(),
                   [](const render::LoadFailure& a, const render::LoadFailure& b) { return a.frame < b.frame; });
  for (const render::LoadFailure& failure : failures) {
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
