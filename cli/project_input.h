#pragma once
// Loading a project for drawing from the command line, the same way for `render` and
// `export`, so a rendered PNG and an exported GIF show the very same frame.

#include <memory>
#include <string>

#include <vector>

#include "editor/editor.h"
#include "io/lbl_reader.h"
#include "model/label_project.h"

namespace zefra::cli {

// Opens the project as the editor does (current or 1.02 format; a 1.02 notice goes to
// `warning`), sets the program's folder as appDir, and draws texts at the density the
// project was made on, since there is no display to take one from. Pictures beside the
// project are found by the canvas settings. Throws the reader's error.
// A pipe or "-" (standard input) is read once; its pictures are then found from the
// working folder.
std::unique_ptr<model::LabelProject> loadProjectForDrawing(const std::string& path, std::string& warning);

// Reads a project named on the command line (a file, a pipe or "-") without the editor's
// settings; throws the reader's error.
io::LblReadResult readCommandProject(const std::string& path, model::LabelProject& project);

// "Error reading the file NAME: reason" for a failed editor load.
std::string loadFailure(const editor::LoadResult& loaded);

// The files a project draws from: every picture and texture its frames name that
// resolves to a file, as the canvas finds them. An output may be none of them.
std::vector<std::string> filesReadBy(const model::LabelProject& project);

}  // namespace zefra::cli
