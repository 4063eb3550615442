#pragma once
// Fitting an export into a file size: the best quality whose file fits, found by using
// fewer colours first and then, where the project allows it, fewer frames. A frame is only
// left out when it is shown briefly (it is one step of a motion, not a picture the viewer
// is meant to read); its time goes to the frame before, so the animation keeps its length,
// and the caller is told which frames went.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/animation_encoder.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "model/label_project.h"

namespace zefra::exporter {

// "150000", "150K" (x 1024), "1M" (x 1024 x 1024); nullopt for anything else or zero.
std::optional<std::uint64_t> parseByteSize(const std::string& text);

struct BudgetChoice {
  bool fits = false;
  std::uint64_t bytes = 0;           // of the chosen (or, when nothing fits, the smallest) export
  int colors = 0;                    // colour count used (of the Windows palette), 0 for fixed palettes
  std::vector<int> droppedFrames;    // 1-based project frame numbers left out
};

// A frame may be left out when it is not the first and is shown for less than this.
constexpr int kDroppableDelayMs = 250;

// Exports into `image` the best-quality variant whose file is at most maxBytes: the
// settings as given, then (Windows palette) 128, 64, 32, 16 and 8 colours, then the same
// again keeping only every second, third or fourth of the briefly shown frames. When none
// fits, `image` holds the smallest variant and `fits` is false.
BudgetChoice exportWithinBudget(const model::LabelProject& project, const ExportSettings& settings,
                                const FrameSource& frames, std::uint64_t maxBytes, gif::GifImage& image);

// "64 colours; frames 2, 4 and 6 left out (their time goes to the frame before)".
std::string describeChoice(const BudgetChoice& choice, const ExportSettings& requested);

}  // namespace zefra::exporter
