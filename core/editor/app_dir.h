#pragma once
// The program's own folder, the base for relative picture and texture paths and for the
// folders shipped beside the program ("Demo", "Textures").

#include <string>

namespace zefra::editor {

// The folder of the running executable with a trailing separator, or an empty string
// when the system cannot tell (paths are then never shortened).
std::string executableFolder();

// The folder that stands for the program's folder in projects (relative picture and
// texture names are completed against it): programFolder itself in a build tree or a
// portable copy, where "Textures" or "Demo" sit beside the program; <prefix>/share/zefra/
// for a program installed as <prefix>/bin/NAME. Ends with a separator; empty for "".
std::string dataFolderFor(const std::string& programFolder);

// The same for the running program.
std::string dataFolder();

}  // namespace zefra::editor
