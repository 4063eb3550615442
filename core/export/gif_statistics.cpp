#include "export/gif_statistics.h"

namespace zefra::exporter {

std::vector<std::string> statisticsLines(const GifStatistics& s) {
  return {
      "File Size: " + std::to_string(s.fileSize) + " bytes",
      "Frames: " + std::to_string(s.frames),
      "Colors: " + std::to_string(s.colors),
      "Image Size: " + std::to_string(s.width) + " x " + std::to_string(s.height) + " pixels",
  };
}

}  // namespace zefra::exporter
