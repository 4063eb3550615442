#pragma once
// What steers one export: the project's GIF settings (palette kind, colour count,
// transparency) plus the "Loop" choice, which the project does not store. A caller may
// override any of them for one run without touching the project.

#include <cstdint>
#include <optional>

#include "common/color.h"
#include "gif/gif_types.h"
#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::exporter {

enum class ExportMethod {
  Standard,  // encodeProject: one palette fitted to the whole animation, exact lookup
  Classic,   // createGif: one reduction per frame, merged tables, the two optimiser passes
};

struct ExportSettings {
  model::PaletteKind paletteKind = model::PaletteKind::Windows;
  std::uint8_t colorCountIndex = 0;  // 0=256, 1=8, 2=16, 3=32, 4=64, 5=128 colours
  bool transparent = false;
  Color transparentColor = 0;
  bool loop = true;
  // How often a viewer plays the animation: 0 = for ever, 1..kMaxPlays. The project
  // stores no such field, like "Loop"; loop off means one play whatever this says.
  int plays = 0;
  ExportMethod method = ExportMethod::Standard;
};

inline constexpr int kMaxPlays = 100;

// The loop count to write in the application block, or nothing for no block: browsers
// play a GIF with a loop count of N once more than N (so N plays are written as N - 1),
// and a GIF without the block once. For ever is a count of 0.
std::optional<std::uint16_t> loopBlockCount(const ExportSettings& settings);

// The project's settings with "Loop" checked (its default).
ExportSettings exportSettingsOf(const model::LabelProject& project);

// Windows -> Octree, Netscape -> NetscapeCube, Grayscale -> Gray256. A value no radio
// button stands for (a damaged file) counts as Windows, the default button.
gif::ReductionMode reductionModeFor(model::PaletteKind kind);

// 0 -> 8 bits, 1..5 -> 3..7 bits; an index outside 0..5 counts as 256 colours.
int reductionBitsFor(std::uint8_t colorCountIndex);

// Floyd-Steinberg when any frame 1..frameCount draws its background gradient, else the
// nearest colour.
gif::DitherKind ditherKindFor(const model::LabelProject& project);

// delayMs / 10 rounded to the nearest integer, halves to even (25 -> 2, 35 -> 4), kept
// within what the 16-bit field holds (negative delays become 0).
int delayCentiseconds(int delayMs);

}  // namespace zefra::exporter
