#pragma once
// The program's own folder, the base for relative picture and texture paths and for the
// folders shipped beside the program ("Demo", "Textures").

#include <string>

namespace zefra::editor {

// The folder of the running executable with a trailing separator, or an empty string
// when the system cannot tell (paths are then never shortened).
std::string executableFolder();

}  // namespace zefra::editor
