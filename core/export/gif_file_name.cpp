#include "export/gif_file_name.h"

#include <cctype>

namespace zefra::exporter {

namespace {

bool endsWithGifExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".gif";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

std::string gifFileNameFor(std::string_view chosenName) {
  std::string name(chosenName);
  if (!endsWithGifExtension(name)) name += ".gif";
  return name;
}

std::string fileNameWithoutDirectory(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string proposedGifBaseName(std::string_view projectFileName) {
  std::string name = fileNameWithoutDirectory(projectFileName);
  const auto dot = name.find_last_of('.');
  // A leading dot names a hidden file, not an extension.
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string gifSavedMessage(std::string_view path) {
  return "File " + fileNameWithoutDirectory(path) + " has been successfully created!";
}

std::string gifWriteErrorMessage(std::string_view path) {
  return "Error writing the file " + fileNameWithoutDirectory(path);
}

}  // namespace zefra::exporter
