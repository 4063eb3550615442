#include "export/export_settings.h"

#include <algorithm>

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
  if (colorCountIndex >= 1 && colorCountIndex <= 5) return colorCountIndex + 2;
  return 8;
}

int colorCountIndexOf(int colors) {
  switch (colors) {
    case 256: return 0;
    case 8: return 1;
    case 16: return 2;
    case 32: return 3;
    case 64: return 4;
    case 128: return 5;
    default: return -1;
  }
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
