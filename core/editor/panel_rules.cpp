#include "editor/panel_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace zefra::editor {

BorderLimits borderLimits(const model::FrameRecord& record, int width, int height) {
  int bevels = (record.borderInnerStyle != 0 ? 1 : 0) + (record.borderOuterStyle != 0 ? 1 : 0);
  BorderLimits limits;
  limits.borderMax = std::min((width - 2 * bevels * record.bevelWidth) / 2, (height - 2 * bevels * record.bevelWidth) / 2);
  if (bevels == 0) bevels = 1;
  limits.bevelMax = std::min((width - 2 * record.borderWidth) / (2 * bevels), (height - 2 * record.borderWidth) / (2 * bevels));
  // A tiny label can leave no room at all; the spins still need a sane range.
  limits.borderMax = std::max(limits.borderMax, 0);
  limits.bevelMax = std::max(limits.bevelMax, 1);
  return limits;
}

bool fitBorderBand(model::FrameRecord& record) {
  const BorderLimits limits = borderLimits(record, record.width, record.height);
  const auto bevel = static_cast<decltype(record.bevelWidth)>(std::clamp<int>(record.bevelWidth, 1, limits.bevelMax));
  const auto border = static_cast<decltype(record.borderWidth)>(std::clamp<int>(record.borderWidth, 0, limits.borderMax));
  const bool changed = bevel != record.bevelWidth || border != record.borderWidth;
  record.bevelWidth = bevel;
  record.borderWidth = border;
  return changed;
}

namespace {

std::uint8_t roundChannel(double value) {
  // nearbyint rounds half to even in the default rounding mode.
  return static_cast<std::uint8_t>(std::clamp(std::nearbyint(value), 0.0, 255.0));
}

// The leading decimal number of the whole text, or nothing.
std::optional<long long> wholeNumber(std::string_view text) {
  long long value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range && end == last) {
    // All digits but too large for the type: as large as anything the fields hold.
    return (first != last && *first == '-') ? std::numeric_limits<long long>::min()
                                            : std::numeric_limits<long long>::max();
  }
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

int limitToField(long long value, int minimum) {
  return static_cast<int>(std::clamp<long long>(value, minimum, std::numeric_limits<std::int16_t>::max()));
}

}  // namespace

BevelColors derivedBevelColors(Color border) {
  auto highlight = [](std::uint8_t c) { return roundChannel(0.67 * 255 + 0.33 * c); };
  auto shadow = [](std::uint8_t c) { return roundChannel(0.66 * c); };
  const std::uint8_t r = redOf(border), g = greenOf(border), b = blueOf(border);
  return {rgb(highlight(r), highlight(g), highlight(b)), rgb(shadow(r), shadow(g), shadow(b))};
}

int labelSideFromText(std::string_view text) {
  const auto value = wholeNumber(text);
  return limitToField(value.value_or(kMinLabelSide), kMinLabelSide);
}

int delayFromText(std::string_view text) {
  const auto value = wholeNumber(text);
  return limitToField(value.value_or(kMinDelayMs), kMinDelayMs);
}

bool acceptedSizeKey(char32_t key) { return (key >= U'0' && key <= U'9') || key == U'\b' || key == U'\t'; }

std::string sideTextOnLeave(std::string_view text) {
  if (text.empty() || text == "0") return "1";
  return std::string(text);
}

std::string delayTextOnLeave(std::string_view text) {
  const auto value = wholeNumber(text);
  if (!value || *value < kMinDelayMs) return std::to_string(kMinDelayMs);
  return std::string(text);
}

LabelFit fitLabelSide(Axis axis, int side, int panelExtent, int windowStart, int windowExtent, int workAreaEnd) {
  LabelFit fit;
  fit.maximum = panelExtent + workAreaEnd - windowStart - windowExtent - 5;
  const int missing = side - (panelExtent - 4);
  if (missing <= 0) return fit;
  if (windowStart + windowExtent + missing < workAreaEnd) {
    fit.growBy = missing;
    return fit;
  }
  fit.fits = false;
  fit.message = std::string(axis == Axis::Width ? "Invalid label width" : "Invalid label height") +
                ". Valid values 1 to " + std::to_string(fit.maximum) + ".";
  return fit;
}

}  // namespace zefra::editor
