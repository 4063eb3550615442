#include "export/gif_saver.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "export/gif_file_name.h"
#include "common/atomic_file.h"

namespace zefra::exporter {

SaveOutcome saveGif(const gif::GifImage& image, std::string_view chosenName) {
  SaveOutcome outcome;
  outcome.path = gifFileNameFor(chosenName);
  try {
    const std::vector<std::uint8_t> bytes = image.saveToBytes();
    common::writeFileAtomically(outcome.path, bytes);
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(outcome.path, ec);
    outcome.fileSize = ec ? bytes.size() : size;
    outcome.ok = true;
    outcome.message = gifSavedMessage(outcome.path);
  } catch (const std::exception& e) {
    outcome.ok = false;
    outcome.message = gifWriteErrorMessage(outcome.path);
    outcome.detail = e.what();
  }
  return outcome;
}

GifStatistics statisticsOf(const gif::GifImage& image, std::uintmax_t fileSize, int projectFrameCount) {
  GifStatistics s;
  s.fileSize = fileSize;
  s.frames = projectFrameCount;
  s.colors = image.globalTable().count();
  s.width = image.width();
  s.height = image.height();
  return s;
}

}  // namespace zefra::exporter
