#pragma once
// The four figures the preview shows about an exported animation, measured on the file
// as written.

#include <cstdint>
#include <string>
#include <vector>

namespace zefra::exporter {

struct GifStatistics {
  std::uintmax_t fileSize = 0;  // bytes of the written file
  int frames = 0;               // frames of the project
  int colors = 0;               // entries of the image's global colour table
  int width = 0;                // logical screen
  int height = 0;
};

// "File Size: N bytes", "Frames: N", "Colors: N", "Image Size: W x H pixels", in that
// order, numbers in decimal without separators.
std::vector<std::string> statisticsLines(const GifStatistics& statistics);

}  // namespace zefra::exporter
