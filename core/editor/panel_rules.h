#pragma once
// The rules of the property panels that are plain arithmetic on a record or on what the
// user typed: the computed limits of the border spins, the label size and delay texts,
// the window growth a wider or taller label needs, and the bevel colours derived from a
// border colour. The panels ask these instead of deciding for themselves.

#include <optional>
#include <string>
#include <string_view>

#include "common/color.h"
#include "model/frame_record.h"

namespace zefra::editor {

inline constexpr int kMinDelayMs = 30;
inline constexpr int kMinLabelSide = 1;

// Upper limits of the bevel width and the border width for a label of width x height with
// the border styles and widths of `record`. Each limit keeps the frame band at most half
// of the smaller side once the other width is counted.
struct BorderLimits {
  int bevelMax = 1;
  int borderMax = 0;
};
BorderLimits borderLimits(const model::FrameRecord& record, int width, int height);

// Lowers the bevel and border widths of `record` to the limits its own size and styles
// allow (both limits taken before either width moves, as the spins show them), so what is
// stored is what the panel shows. True when a width changed.
bool fitBorderBand(model::FrameRecord& record);

// The bevel highlight and shadow that go with a border colour, channel by channel:
// highlight = 0.67 * 255 + 0.33 * c, shadow = 0.66 * c, rounded half to even.
struct BevelColors {
  Color highlight = 0;
  Color shadow = 0;
};
BevelColors derivedBevelColors(Color border);

// Width, height and delay fields. Text that is not a number means 1 for a side and 30 for
// the delay; smaller values are raised to those minima. Values too large for the record
// are limited to what it can hold.
int labelSideFromText(std::string_view text);
int delayFromText(std::string_view text);
// Only digits, Backspace and Tab may be typed into those fields.
bool acceptedSizeKey(char32_t key);
// The text a size field takes when the user leaves it: "1" for an empty field or "0"
// (otherwise unchanged); for the delay field "30" when it is not a number of at least 30.
std::string sideTextOnLeave(std::string_view text);
std::string delayTextOnLeave(std::string_view text);

// Whether a label side fits the editor window, growing it within the work area if needed.
// One axis at a time: `panelExtent` is the work panel's width (or height), `windowStart`
// and `windowExtent` the window's left and width (top and height), `workAreaEnd` the work
// area's right (bottom).
struct LabelFit {
  bool fits = true;
  int growBy = 0;       // pixels the window must grow (0 when the panel is large enough)
  int maximum = 0;      // the largest side that would fit, for the message
  std::string message;  // set when it does not fit
};
enum class Axis { Width, Height };
LabelFit fitLabelSide(Axis axis, int side, int panelExtent, int windowStart, int windowExtent, int workAreaEnd);

}  // namespace zefra::editor
