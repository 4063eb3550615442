#include "export/export_limits.h"

#include <algorithm>
#include <stdexcept>

#include "gif/gif_types.h"

namespace zefra::exporter {

std::uint64_t exportPixels(const model::LabelProject& project) {
  std::uint64_t pixels = 0;
  const int frames = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  for (int k = 1; k <= frames; ++k) {
    const model::FrameRecord& r = project.frame(k);
    pixels += static_cast<std::uint64_t>(std::max<int>(r.width, 0)) * static_cast<std::uint64_t>(std::max<int>(r.height, 0));
  }
  return pixels;
}

std::optional<std::string> exportSizeProblem(const model::LabelProject& project) {
  const gif::PixelLimits limits;
  const std::uint64_t pixels = exportPixels(project);
  if (pixels <= limits.maxImagePixels) return std::nullopt;
  const std::uint64_t megabytes = (pixels * 4) >> 20;  // true-colour frames plus their indices
  return "the export needs " + std::to_string(pixels) + " pixels (about " + std::to_string(megabytes) +
         " MB of memory) for " + std::to_string(int{project.frameCount}) + " frames; the limit is " +
         std::to_string(limits.maxImagePixels) + " pixels, the most a GIF Zefra reads back may hold";
}

void checkExportSize(const model::LabelProject& project) {
  if (auto problem = exportSizeProblem(project)) throw std::runtime_error(*problem);
}

}  // namespace zefra::exporter
