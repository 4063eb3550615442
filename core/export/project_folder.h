#pragma once
// Lets a project carry its pictures and textures beside it: relative names that the
// compositor's rule cannot find (neither as stored nor under the program's folder) are
// completed with the project's own folder when the file is there. The sample projects rely
// on this, so they export the same from any working directory.

#include <filesystem>
#include <string>

#include "model/label_project.h"

namespace zefra::exporter {

// Rewrites such names in frames 1..frameCount to folder/name (only when the completed name
// fits the 255-byte field) and answers how many fields changed. Absolute names, names that
// already resolve and files missing from `folder` are left alone.
int completeNamesFromProjectFolder(model::LabelProject& project, const std::filesystem::path& folder,
                                   const std::string& appDir);

}  // namespace zefra::exporter
