#include "io/lbl_reader.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "io/lbl_v102_reader.h"

namespace zefra::io {

LblReadError::LblReadError(std::string_view path)
    : std::runtime_error("Error reading the file " + std::string(path)) {}

std::optional<LblFormat> recognizeLbl(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0x05 || bytes[1] != 0x4C || bytes[2] != 0x42) return std::nullopt;
  if (bytes[3] == 0x4C) return LblFormat::V102;
  if (bytes[3] == 0x31) return LblFormat::Lb1;
  return std::nullopt;
}

namespace {

void readLb1(std::span<const std::uint8_t> bytes, model::LabelProject& project, std::string_view path) {
  if (bytes.size() < model::kFrameRecordSize) throw LblReadError(path);
  const int count = bytes[offsetof(model::FrameRecord, frameCount)];
  if (count < 1 || count > model::kMaxFrames) throw LblReadError(path);
  const std::size_t needed = model::kFrameRecordSize * static_cast<std::size_t>(count);
  if (bytes.size() < needed) throw LblReadError(path);
  // Bytes past the last record are ignored.
  std::memcpy(project.records.data(), bytes.data(), needed);
  project.frameCount = static_cast<std::uint8_t>(count);
  project.currentFrame = 1;
  project.takeSettingsFromRecord1();
}

}  // namespace

LblReadResult readLbl(std::span<const std::uint8_t> bytes, model::LabelProject& project, std::string_view path) {
  auto format = recognizeLbl(bytes);
  if (!format) throw LblReadError(path);
  LblReadResult result;
  result.format = *format;
  if (*format == LblFormat::Lb1) {
    readLb1(bytes, project, path);
  } else {
    if (!readOldLbl(bytes, project)) throw LblReadError(path);
    result.warning = v102WarningText(std::filesystem::path(path).filename().string());
  }
  for (int k = 1; k <= project.frameCount; ++k) {
    const auto& frame = project.frame(k);
    if (!model::isDrawableLabelSize(frame.width, frame.height)) throw LblReadError(path);
  }
  return result;
}

LblReadResult readLblFile(const std::filesystem::path& path, model::LabelProject& project) {
  const std::string shown = path.string();
  std::ifstream in(path, std::ios::binary);
  if (!in) throw LblReadError(shown);
  // Never more than the largest project, whatever the file's size: the rest is ignored.
  std::vector<std::uint8_t> bytes(kMaxLblBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) throw LblReadError(shown);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return readLbl(bytes, project, shown);
}

}  // namespace zefra::io
