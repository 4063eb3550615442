#include "project_input.h"

#include <algorithm>
#include <filesystem>

#include "common/input_file.h"
#include "editor/app_dir.h"
#include "editor/project_file.h"
#include "render/file_resolution.h"
#include "render/frame_canvas.h"

namespace zefra::cli {

io::LblReadResult readCommandProject(const std::string& path, model::LabelProject& project) {
  project.clear();
  if (!isStreamInput(path)) return io::readLblFile(path, project);
  FileBytes bytes;
  try {
    bytes = readInputOnce(path, io::kMaxLblBytes);
  } catch (const InputFileError& e) {
    throw io::LblReadError(path, e.reason());
  }
  return io::readLbl(bytes.bytes(), project, path);
}

std::string loadFailure(const editor::LoadResult& loaded) {
  return loaded.reason.empty() ? loaded.error : loaded.error + ": " + loaded.reason;
}

std::vector<std::string> filesReadBy(const model::LabelProject& project) {
  const render::CanvasSettings settings = render::canvasSettingsFor(project);
  std::vector<std::string> files;
  const auto add = [&](const model::String255& name) {
    if (name.empty()) return;
    if (auto file = render::resolveFileName(name, settings.appDir, settings.projectDir)) files.push_back(std::move(*file));
  };
  for (int k = 1; k <= project.frameCount; ++k) {
    const model::FrameRecord& f = project.frame(k);
    for (int s = 0; s < model::kSlots; ++s) {
      add(f.pictureFile[s]);
      if (!f.text[s].empty()) add(f.textureFile[s]);
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning) {
  auto project = std::make_unique<model::LabelProject>();
  if (isStreamInput(path)) {
    warning = readCommandProject(path, *project).warning;
    project->currentFrame = 1;
    project->projectDir.assign(std::filesystem::current_path().string());
  } else {
    warning = editor::openProjectFile(path, *project).warning;
  }
  const int dpi = project->settings.designDpi > 0 ? project->settings.designDpi : 96;
  project->screenDpi = static_cast<std::int16_t>(dpi);
  project->appDir = editor::dataFolder();
  return project;
}

}  // namespace zefra::cli
