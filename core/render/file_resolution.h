#pragma once
// How a picture or texture name stored in a frame finds its file: the stored name when it
// names an existing file; otherwise appDir + name, which is then written back into the
// record so the project keeps the full name (a completed name longer than a record field
// can hold is used but not written back, as a cut name would name no file); otherwise nothing.
// An empty name never resolves, and a folder is not a file.

#include <optional>
#include <string>

#include "model/string255.h"

namespace zefra::render {

bool isExistingFile(const std::string& name);

std::optional<std::string> resolveFileName(model::String255& field, const std::string& appDir);

}  // namespace zefra::render
