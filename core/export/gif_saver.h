#pragma once
// Saving the exported animation under a name the user chose, and measuring the result.

#include <cstdint>
#include <string>
#include <string_view>

#include "export/gif_statistics.h"
#include "gif/gif_image.h"

namespace zefra::exporter {

struct SaveOutcome {
  bool ok = false;
  std::string path;     // the name actually written (".gif" appended when needed)
  std::string message;  // the text to show: success or "Error writing the file NAME"
  std::string detail;   // on failure, the underlying reason (for logs and the command line)
  std::uintmax_t fileSize = 0;
};

// Writes `image` to gifFileNameFor(chosenName). The bytes go to a temporary file that
// replaces the target only once complete, so a failed write never leaves a partial GIF
// or destroys an earlier one. Never throws for write failures; they come back in the outcome.
SaveOutcome saveGif(const gif::GifImage& image, std::string_view chosenName);

// The preview's figures: file size as measured, the project's frame count, the entries of
// the global colour table and the logical screen size.
GifStatistics statisticsOf(const gif::GifImage& image, std::uintmax_t fileSize, int projectFrameCount);

}  // namespace zefra::exporter
