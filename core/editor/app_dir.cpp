#include "editor/app_dir.h"

#include <filesystem>
#include <system_error>

namespace zefra::editor {

std::string executableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return {};
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string dataFolderFor(const std::string& programFolder) {
  if (programFolder.empty()) return {};
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base(programFolder);
  if (fs::exists(base / "Textures", error) || fs::exists(base / "Demo", error)) return programFolder;
  const fs::path shared = base / ".." / "share" / "zefra";
  if (fs::is_directory(shared, error)) {
    std::string folder = fs::weakly_canonical(shared, error).string();
    if (!error && !folder.empty()) {
      if (folder.back() != '/') folder += '/';
      return folder;
    }
  }
  return programFolder;
}

std::string dataFolder() { return dataFolderFor(executableFolder()); }

}  // namespace zefra::editor
