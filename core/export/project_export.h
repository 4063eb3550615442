#pragma once
// The export of a project without any window: the frames are drawn by the compositor
// off-screen (3D texts included) and assembled into the animation.

#include <string>
#include <vector>

#include "export/animation_encoder.h"
#include "export/animation_export.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"
#include "text3d/glyph_cache.h"

namespace zefra::exporter {

struct ProjectExport {
  ExportReport report;
  EncodeReport details;  // filled by the standard method only
  std::vector<render::LoadFailure> failures;  // pictures and textures that could not be read
};

// Draws frames 1..frameCount as the editor draws them (render::canvasSettingsFor: the
// project's screenDpi, names found through appDir or beside the project file) without
// changing the project, and builds `image` with the settings' method (encodeProject, or
// createGif for Classic). Texts take their glyphs from `glyphs` (the program's shared
// cache when null); a caller exporting on another thread than the one that draws the
// editor's canvas passes a cache of its own, since a cache serves one thread. Further
// drawing threads of the standard method draw with renderers and caches of their own
// (options.threadSource is set here).
ProjectExport exportProject(const model::LabelProject& project, const ExportSettings& settings, gif::GifImage& image,
                            const ExportProgress& progress = {}, text3d::GlyphCache* glyphs = nullptr,
                            EncodeOptions options = {});

// What the user must be told about the transparent colour of a transparent export that
// could not do what was asked: nothing became transparent (the standard method, when the
// colour is neither drawn nor one of the GIF's colours), or another colour did (the classic
// method, when the colour is not in the table). Empty when the export did what was asked.
std::vector<std::string> transparencyWarnings(const ExportSettings& settings, const ProjectExport& exported);

}  // namespace zefra::exporter
