#include "editor/project_file.h"

namespace zefra::editor {

io::LblReadResult openProjectFile(const std::filesystem::path& path, model::LabelProject& project) {
  project.clear();
  io::LblReadResult read = io::readLblFile(path, project);
  project.currentFrame = 1;
  project.currentText = project.currentPicture = project.currentShape = 1;
  project.fileName.assign(path.string());
  project.projectDir.assign(path.parent_path().string());
  return read;
}

}  // namespace zefra::editor
