#include "export/size_budget.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "model/field_options.h"

namespace zefra::exporter {

std::optional<std::uint64_t> parseByteSize(const std::string& text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits == 0) return std::nullopt;
  std::uint64_t unit = 1;
  const std::string suffix = text.substr(digits);
  if (suffix == "K" || suffix == "k") {
    unit = 1024;
  } else if (suffix == "M" || suffix == "m") {
    unit = 1024 * 1024;
  } else if (!suffix.empty()) {
    return std::nullopt;
  }
  const std::uint64_t value = std::stoull(text.substr(0, digits));
  if (value == 0 || value > std::numeric_limits<std::uint64_t>::max() / unit) return std::nullopt;
  return value * unit;
}

namespace {

// Project frames (1-based) kept when every `step`-th run position of the droppable frames
// is kept: a frame stays when it may not be dropped, or when it is the step-th since the
// last kept one.
std::vector<int> keptFrames(const model::LabelProject& project, int frameCount, int step) {
  std::vector<int> kept;
  int sinceKept = 0;
  for (int i = 1; i <= frameCount; ++i) {
    const bool droppable = i > 1 && project.frame(i).delayMs < kDroppableDelayMs;
    if (!droppable || ++sinceKept >= step) {
      kept.push_back(i);
      sinceKept = 0;
    }
  }
  return kept;
}

}  // namespace

BudgetChoice exportWithinBudget(const model::LabelProject& project, const ExportSettings& settings,
                                const FrameSource& frames, std::uint64_t maxBytes, gif::GifImage& image) {
  const int frameCount = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  const bool windows = settings.paletteKind == model::PaletteKind::Windows;
  std::vector<std::uint8_t> colourSteps{settings.colorCountIndex};
  if (windows) {
    // 256, 128, 64, 32, 16, 8 colours, from the chosen count down.
    const int chosenBits = reductionBitsFor(settings.colorCountIndex);
    for (int bits = chosenBits - 1; bits >= 3; --bits)
      colourSteps.push_back(static_cast<std::uint8_t>(model::colorCountIndexOf(1 << bits)));
  }

  BudgetChoice smallest;
  smallest.bytes = std::numeric_limits<std::uint64_t>::max();
  std::vector<int> previousKept;
  for (int step = 1; step <= 4; ++step) {
    const std::vector<int> kept = keptFrames(project, frameCount, step);
    if (step > 1 && kept == previousKept) break;  // nothing more may go
    previousKept = kept;
    std::vector<int> delays;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      const int end = k + 1 < kept.size() ? kept[k + 1] : frameCount + 1;
      int total = 0;
      for (int i = kept[k]; i < end; ++i) total += project.frame(i).delayMs;
      delays.push_back(total);
    }
    std::vector<int> dropped;
    for (int i = 1; i <= frameCount; ++i)
      if (!std::binary_search(kept.begin(), kept.end(), i)) dropped.push_back(i);
    for (const std::uint8_t colourIndex : colourSteps) {
      ExportSettings trial = settings;
      trial.colorCountIndex = colourIndex;
      gif::GifImage attempt;
      encodeAnimation(static_cast<int>(kept.size()), project.frame(1).width, project.frame(1).height,
                      [&](int i) { return frames(kept[static_cast<std::size_t>(i - 1)]); }, delays, trial, attempt);
      const std::uint64_t bytes = attempt.saveToBytes().size();
      BudgetChoice choice;
      choice.bytes = bytes;
      choice.colors = windows ? 1 << reductionBitsFor(colourIndex) : 0;
      choice.droppedFrames = dropped;
      choice.fits = bytes <= maxBytes;
      if (choice.fits || bytes < smallest.bytes) {
        image.assign(attempt);
        smallest = choice;
      }
      if (choice.fits) return choice;
    }
  }
  return smallest;
}

std::string describeChoice(const BudgetChoice& choice, const ExportSettings& requested) {
  std::string text;
  if (choice.colors > 0 && choice.colors != 1 << reductionBitsFor(requested.colorCountIndex)) {
    text = std::to_string(choice.colors) + " colours";
  } else {
    text = "the project's colours";
  }
  if (choice.droppedFrames.empty()) return text + ", every frame";
  text += "; frame";
  if (choice.droppedFrames.size() > 1) text += "s";
  for (std::size_t i = 0; i < choice.droppedFrames.size(); ++i) {
    text += i == 0 ? " " : (i + 1 == choice.droppedFrames.size() ? " and " : ", ");
    text += std::to_string(choice.droppedFrames[i]);
  }
  text += " left out (their time goes to the frame before)";
  return text;
}

}  // namespace zefra::exporter
