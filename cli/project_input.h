#pragma once
// Loading a project for drawing from the command line, the same way for `render` and
// `export`, so a rendered PNG and an exported GIF show the very same frame.

#include <memory>
#include <string>

#include "model/label_project.h"

namespace zefra::cli {

// Reads the project (current or 1.02 format; a 1.02 notice goes to `warning`), sets the
// program's folder as appDir, completes picture and texture names that only resolve
// beside the project, and draws texts at the density the project was made on, since there
// is no display to take one from. Throws the reader's error.
std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning);

}  // namespace zefra::cli
