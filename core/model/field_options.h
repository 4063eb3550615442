#pragma once
// The choices a project field can take, with the captions the editor lists and the CLI
// prints, so the panels, the CLI and the export read one table instead of keeping their own.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zefra::model {

// colorCountIndex -> number of colours: 0 = 256, 1..5 = 8, 16, 32, 64, 128.
inline constexpr std::array<int, 6> kColorCounts = {256, 8, 16, 32, 64, 128};

// The colours of a colorCountIndex; nullopt for an index no button stands for.
constexpr std::optional<int> colorCountOf(int colorCountIndex) {
  if (colorCountIndex < 0 || colorCountIndex >= static_cast<int>(kColorCounts.size())) return std::nullopt;
  return kColorCounts[static_cast<std::size_t>(colorCountIndex)];
}

// The colorCountIndex of 8, 16, 32, 64, 128 or 256 colours; -1 for any other count.
constexpr int colorCountIndexOf(int colors) {
  for (std::size_t i = 0; i < kColorCounts.size(); ++i) {
    if (kColorCounts[i] == colors) return static_cast<int>(i);
  }
  return -1;
}

// Captions by stored value (PaletteKind, GradientStyle, BorderStyle, ShapeStyle,
// TextGradientKind).
inline constexpr std::array<std::string_view, 3> kPaletteKindNames = {"Windows", "Netscape", "Grayscale"};
inline constexpr std::array<std::string_view, 9> kGradientStyleNames = {
    "Horizontal",      "Vertical",         "Bottom-Left Corner", "Bottom-Right Corner", "Top-Left Corner",
    "Top-Right Corner", "Diagonal Falling", "Diagonal Rising",    "Pyramid"};
inline constexpr std::array<std::string_view, 3> kBorderStyleNames = {"None", "Inset", "Raised"};
inline constexpr std::array<std::string_view, 3> kShapeStyleNames = {"None", "Rectangle", "RndRectangle"};
inline constexpr std::array<std::string_view, 2> kTextGradientNames = {"Vertical", "Horizontal"};

// The caption of `value` in `names`; empty for a value outside the list (a damaged file).
template <std::size_t N>
constexpr std::string_view optionName(const std::array<std::string_view, N>& names, int value) {
  return value >= 0 && value < static_cast<int>(N) ? names[static_cast<std::size_t>(value)] : std::string_view();
}

}  // namespace zefra::model
