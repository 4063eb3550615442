#include "render/file_resolution.h"

#include <filesystem>
#include <system_error>

namespace zefra::render {

bool isExistingFile(const std::string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(name), ec);
}

std::optional<std::string> resolveFileName(const model::String255& field, const std::string& appDir,
                                           const std::string& projectDir) {
  if (field.empty()) return std::nullopt;
  const std::string stored = field.str();
  if (isExistingFile(stored)) return stored;
  std::string completed = appDir + stored;
  if (isExistingFile(completed)) return completed;
  if (projectDir.empty() || std::filesystem::path(stored).is_absolute()) return std::nullopt;
  completed = (std::filesystem::path(projectDir) / stored).lexically_normal().string();
  if (isExistingFile(completed)) return completed;
  return std::nullopt;
}

}  // namespace zefra::render
