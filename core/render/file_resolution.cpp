#include "render/file_resolution.h"

#include <filesystem>
#include <system_error>

namespace zefra::render {

bool isExistingFile(const std::string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(name), ec);
}

std::optional<std::string> resolveFileName(model::String255& field, const std::string& appDir) {
  if (field.empty()) return std::nullopt;
  const std::string stored = field.str();
  if (isExistingFile(stored)) return stored;
  const std::string completed = appDir + stored;
  if (!isExistingFile(completed)) return std::nullopt;
  // A record holds at most 255 characters; a completed name that does not fit would be cut
  // into a name that points nowhere, so such a name is used without being written back.
  if (completed.size() <= model::String255::kCapacity) field.assign(completed);
  return completed;
}

}  // namespace zefra::render
