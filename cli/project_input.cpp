#include "project_input.h"

#include "editor/app_dir.h"
#include "editor/project_file.h"

namespace zefra::cli {

std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning) {
  auto project = std::make_unique<model::LabelProject>();
  warning = editor::openProjectFile(path, *project).warning;
  const int dpi = project->settings.designDpi > 0 ? project->settings.designDpi : 96;
  project->screenDpi = static_cast<std::int16_t>(dpi);
  project->appDir = editor::dataFolder();
  return project;
}

}  // namespace zefra::cli
