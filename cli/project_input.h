#pragma once
// Loading a project for drawing from the command line, the same way for `render` and
// `export`, so a rendered PNG and an exported GIF show the very same frame.

#include <memory>
#include <string>

#include "model/label_project.h"

namespace zefra::cli {

// Opens the project as the editor does (current or 1.02 format; a 1.02 notice goes to
// `warning`), sets the program's folder as appDir, and draws texts at the density the
// project was made on, since there is no display to take one from. Pictures beside the
// project are found by the canvas settings. Throws the reader's error.
std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning);

}  // namespace zefra::cli
