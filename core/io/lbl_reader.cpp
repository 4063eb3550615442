#include "io/lbl_reader.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/input_file.h"
#include "io/lbl_v102_reader.h"

namespace zefra::io {

LblReadError::LblReadError(std::string_view path, std::string reason)
    : std::runtime_error("Error reading the file " + std::string(path)), why(std::move(reason)) {}

std::optional<LblFormat> recognizeLbl(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0x05 || bytes[1] != 0x4C || bytes[2] != 0x42) return std::nullopt;
  if (bytes[3] == 0x4C) return LblFormat::V102;
  if (bytes[3] == 0x31) return LblFormat::Lb1;
  return std::nullopt;
}

namespace {

std::string frameCountReason(int count) {
  return "frame count " + std::to_string(count) + " is outside 1 to " + std::to_string(model::kMaxFrames);
}

void readLb1(std::span<const std::uint8_t> bytes, model::LabelProject& project, std::string_view path) {
  if (bytes.size() < model::kFrameRecordSize) throw LblReadError(path, "too short for a project");
  const int count = bytes[offsetof(model::FrameRecord, frameCount)];
  if (count < 1 || count > model::kMaxFrames) throw LblReadError(path, frameCountReason(count));
  const std::size_t needed = model::kFrameRecordSize * static_cast<std::size_t>(count);
  if (bytes.size() < needed) {
    throw LblReadError(path, "too short for its " + std::to_string(count) + " frames (" + std::to_string(bytes.size()) +
                                 " of " + std::to_string(needed) + " bytes)");
  }
  // Bytes past the last record are ignored.
  std::memcpy(project.records.data(), bytes.data(), needed);
  project.frameCount = static_cast<std::uint8_t>(count);
  project.currentFrame = 1;
  project.takeSettingsFromRecord1();
}

}  // namespace

LblReadResult readLbl(std::span<const std::uint8_t> bytes, model::LabelProject& project, std::string_view path) {
  auto format = recognizeLbl(bytes);
  if (!format) throw LblReadError(path, bytes.size() < 4 ? "too short for a project" : "not a Zefra project");
  LblReadResult result;
  result.format = *format;
  if (*format == LblFormat::Lb1) {
    readLb1(bytes, project, path);
  } else {
    if (!readOldLbl(bytes, project)) throw LblReadError(path, "damaged 1.02 project (too short or bad frame count)");
    result.warning = v102WarningText(std::filesystem::path(path).filename().string());
  }
  for (int k = 1; k <= project.frameCount; ++k) {
    const auto& frame = project.frame(k);
    if (!model::isDrawableLabelSize(frame.width, frame.height)) {
      throw LblReadError(path, "frame " + std::to_string(k) + " is " + std::to_string(frame.width) + " x " +
                                   std::to_string(frame.height) + " pixels, over the limit of " +
                                   std::to_string(model::kMaxLabelSide) + " per side and " +
                                   std::to_string(model::kMaxLabelPixels) + " pixels in all, or empty");
    }
  }
  return result;
}

LblReadResult readLblFile(const std::filesystem::path& path, model::LabelProject& project) {
  const std::string shown = path.string();
  FileBytes file;
  try {
    // Never more than the largest project, whatever the file's size: the rest is ignored.
    file = readInputFileStart(path, kMaxLblBytes);
  } catch (const InputFileError& e) {
    throw LblReadError(shown, e.reason());
  }
  return readLbl(file.bytes(), project, shown);
}

}  // namespace zefra::io
