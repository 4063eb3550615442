#include "export/export_settings.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "model/field_options.h"

namespace zefra::exporter {

ExportSettings exportSettingsOf(const model::LabelProject& project) {
  ExportSettings s;
  s.paletteKind = static_cast<model::PaletteKind>(project.settings.paletteKind);
  s.colorCountIndex = project.settings.colorCountIndex;
  s.transparent = project.settings.transparent != 0;
  s.transparentColor = project.settings.transparentColor;
  s.loop = true;
  return s;
}

std::optional<std::uint16_t> loopBlockCount(const ExportSettings& settings) {
  if (!settings.loop || settings.plays == 1) return std::nullopt;
  if (settings.plays <= 0) return std::uint16_t{0};
  return static_cast<std::uint16_t>(std::min(settings.plays, kMaxPlays) - 1);
}

gif::ReductionMode reductionModeFor(model::PaletteKind kind) {
  switch (kind) {
    case model::PaletteKind::Netscape:
      return gif::ReductionMode::NetscapeCube;
    case model::PaletteKind::Grayscale:
      return gif::ReductionMode::Gray256;
    case model::PaletteKind::Windows:
    default:
      return gif::ReductionMode::Octree;
  }
}

int reductionBitsFor(std::uint8_t colorCountIndex) {
  const std::optional<int> colors = model::colorCountOf(colorCountIndex);
  return colors ? std::bit_width(static_cast<unsigned>(*colors)) - 1 : 8;
}

gif::DitherKind ditherKindFor(const model::LabelProject& project) {
  const int count = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  for (int i = 1; i <= count; ++i) {
    if (project.frame(i).gradientOn != 0) return gif::DitherKind::FloydSteinberg;
  }
  return gif::DitherKind::Nearest;
}

int delayCentiseconds(int delayMs) {
  if (delayMs <= 0) return 0;
  int whole = delayMs / 10;
  const int rest = delayMs % 10;
  if (rest > 5 || (rest == 5 && whole % 2 != 0)) ++whole;
  return std::min(whole, 0xFFFF);
}

}  // namespace zefra::exporter
