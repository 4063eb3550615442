#include "io/lbl_writer.h"

#include "common/atomic_file.h"

namespace zefra::io {
namespace {

void shorten(model::String255& path, std::string_view appDir) {
  // Compared exactly: on a case-sensitive file system a folder that differs only in
  // case is another folder, and shortening it would point the path at the wrong file.
  const std::string_view stored = path.view();
  if (stored.size() > appDir.size() && stored.substr(0, appDir.size()) == appDir) {
    path.assign(std::string(stored.substr(appDir.size())));
  }
}

}  // namespace

void storeRelativePaths(model::LabelProject& project, std::string_view appDir) {
  if (appDir.empty()) return;
  for (int k = 1; k <= project.frameCount; ++k) {
    model::FrameRecord& record = project.frame(k);
    for (int slot = 0; slot < model::kSlots; ++slot) {
      shorten(record.textureFile[slot], appDir);
      shorten(record.pictureFile[slot], appDir);
    }
  }
}

std::span<const std::uint8_t> prepareLblBytes(model::LabelProject& project) {
  project.storeSettingsInRecord1();
  return {reinterpret_cast<const std::uint8_t*>(project.records.data()),
          model::kFrameRecordSize * project.frameCount};
}

void writeLblFile(const std::filesystem::path& path, model::LabelProject& project) {
  storeRelativePaths(project, project.appDir);
  common::writeFileAtomically(path, prepareLblBytes(project));
}

}  // namespace zefra::io
