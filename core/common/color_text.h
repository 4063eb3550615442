#pragma once
// Colours as text in HTML notation, "#RRGGBB": how the colour dialog, the palette panel
// and the CLI show a colour, and how the colour dialog reads one back.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/color.h"

namespace zefra {

// "#" and red, green, blue as two upper-case hex digits each. Only the RGB bytes count:
// resolve system colours first (raster::resolveColor).
inline std::string htmlColorText(Color c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
  return text;
}

// Reads what a user typed into a "#RRGGBB" field, forgivingly: a leading "#" is dropped,
// a short text is padded with zeros on the right (so "F" means #F00000 and "" black) and
// characters past the sixth are ignored. Answers nothing when one of the three pairs is
// not hexadecimal (for example "#1#2").
inline std::optional<Color> parseHtmlColorText(std::string_view text) {
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  std::string digits(text.substr(0, 6));
  digits.resize(6, '0');
  auto hex = [](char ch) -> int {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
  };
  int channel[3];
  for (int i = 0; i < 3; ++i) {
    const int high = hex(digits[2 * i]);
    const int low = hex(digits[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channel[i] = high * 16 + low;
  }
  return rgb(static_cast<std::uint8_t>(channel[0]), static_cast<std::uint8_t>(channel[1]),
             static_cast<std::uint8_t>(channel[2]));
}

}  // namespace zefra
