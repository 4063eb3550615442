#pragma once
// Opening a project file: the one way the editor and the command line read a project, so
// both see the same frames and find the same pictures.

#include <filesystem>

#include "io/lbl_reader.h"
#include "model/label_project.h"

namespace zefra::editor {

// Clears `project`, reads the file (current or 1.02 format), makes frame 1 and slot 1 of
// each list current, and gives the project the file's name and folder. Picture and
// texture names stay exactly as the file holds them; drawing finds them through the
// program's folder or beside the project (render::canvasSettingsFor), so saving again
// writes the same bytes. Throws io::LblReadError; the project then holds partial data.
io::LblReadResult openProjectFile(const std::filesystem::path& path, model::LabelProject& project);

}  // namespace zefra::editor
