#include "editor/picture_watch.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace zefra::editor {

std::vector<int> slotsShowingSameFile(const model::FrameRecord& record, int slot) {
  std::vector<int> slots;
  if (slot < 1 || slot > model::kSlots) return slots;
  const model::String255& file = record.pictureFile[slot - 1];
  if (file.empty()) return slots;
  for (int k = 1; k <= model::kSlots; ++k) {
    if (record.pictureFile[k - 1].view() == file.view()) slots.push_back(k);
  }
  return slots;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return std::nullopt;
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  return FileStamp{std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count(),
                   static_cast<std::int64_t>(size)};
}

bool PictureWatch::start(std::string file, std::vector<int> slots, std::optional<FileStamp> stamp) {
  stop();
  if (!stamp || file.empty() || slots.empty()) return false;
  path = std::move(file);
  watchedSlots = std::move(slots);
  lastStamp = *stamp;
  watching = true;
  return true;
}

void PictureWatch::stop() {
  watching = false;
  path.clear();
  watchedSlots.clear();
  lastStamp = {};
}

bool PictureWatch::changed(const std::optional<FileStamp>& now) const {
  return watching && now && !(*now == lastStamp);
}

}  // namespace zefra::editor
