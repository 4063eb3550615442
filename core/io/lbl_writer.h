#pragma once
// Writing the current (LB1) project format: records 1..frameCount, byte for byte.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "model/label_project.h"

namespace zefra::io {

// Shortens, in place, every textureFile and pictureFile of frames 1..frameCount that
// lies inside appDir to the part after appDir, so the project can move with the
// program's folder. appDir must end with a separator; an empty appDir changes nothing.
void storeRelativePaths(model::LabelProject& project, std::string_view appDir);

// Puts the signature, frameCount and the project settings into record 1 and answers the
// bytes of records 1..frameCount (a view into the project).
std::span<const std::uint8_t> prepareLblBytes(model::LabelProject& project);

// The whole save: relative paths, record 1, then the file written through a temporary
// file and renamed over `path`. Throws std::system_error with the system's error text;
// the previous file is then intact.
void writeLblFile(const std::filesystem::path& path, model::LabelProject& project);

}  // namespace zefra::io
