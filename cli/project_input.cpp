#include "project_input.h"

#include <filesystem>

#include "editor/app_dir.h"
#include "export/project_folder.h"
#include "io/lbl_reader.h"

namespace zefra::cli {

std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning) {
  auto project = std::make_unique<model::LabelProject>();
  project->clearLbl();
  warning = io::readLblFile(path, *project).warning;
  const int dpi = project->settings.designDpi > 0 ? project->settings.designDpi : 96;
  project->screenDpi = static_cast<std::int16_t>(dpi);
  project->appDir = editor::dataFolder();
  const auto projectFolder = std::filesystem::absolute(path).parent_path();
  exporter::completeNamesFromProjectFolder(*project, projectFolder, project->appDir);
  return project;
}

}  // namespace zefra::cli
