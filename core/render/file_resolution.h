#pragma once
// How a picture or texture name stored in a frame finds its file: the stored name when it
// names an existing file; otherwise appDir + name; otherwise, for a relative name, the name
// inside the project's own folder (projects carry their pictures beside them); otherwise
// nothing. The record is never changed: what was found is for drawing and export only, so
// a project saved again keeps the names its file held. An empty name never resolves, and
// a folder is not a file.

#include <optional>
#include <string>

#include "model/string255.h"

namespace zefra::render {

bool isExistingFile(const std::string& name);

std::optional<std::string> resolveFileName(const model::String255& field, const std::string& appDir,
                                           const std::string& projectDir = {});

}  // namespace zefra::render
