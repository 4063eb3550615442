#include "raster/system_colors.h"

#include <array>

namespace zefra::raster {

namespace {

constexpr std::array<Color, kSystemColorCount> kDefaults = {
    rgb(200, 200, 200),  // 0  scroll bar
    rgb(58, 110, 165),   // 1  desktop background
    rgb(10, 36, 106),    // 2  active caption
    rgb(128, 128, 128),  // 3  inactive caption
    rgb(212, 208, 200),  // 4  menu
    rgb(255, 255, 255),  // 5  window
    rgb(0, 0, 0),        // 6  window frame
    rgb(0, 0, 0),        // 7  menu text
    rgb(0, 0, 0),        // 8  window text
    rgb(255, 255, 255),  // 9  caption text
    rgb(212, 208, 200),  // 10 active border
    rgb(212, 208, 200),  // 11 inactive border
    rgb(128, 128, 128),  // 12 application workspace
    rgb(10, 36, 106),    // 13 highlight
    rgb(255, 255, 255),  // 14 highlight text
    rgb(212, 208, 200),  // 15 button face
    rgb(128, 128, 128),  // 16 button shadow
    rgb(128, 128, 128),  // 17 grey text
    rgb(0, 0, 0),        // 18 button text
    rgb(212, 208, 200),  // 19 inactive caption text
    rgb(255, 255, 255),  // 20 button highlight
    rgb(64, 64, 64),     // 21 3D dark shadow
    rgb(212, 208, 200),  // 22 3D light
    rgb(0, 0, 0),        // 23 info text
    rgb(255, 255, 225),  // 24 info background
    rgb(181, 181, 181),  // 25 (unassigned)
    rgb(0, 0, 128),      // 26 hot light
    rgb(166, 202, 240),  // 27 gradient active caption
    rgb(192, 192, 192),  // 28 gradient inactive caption
    rgb(49, 106, 197),   // 29 menu highlight
    rgb(236, 233, 216),  // 30 menu bar
};

}  // namespace

Color systemColor(int index) {
  if (index < 0 || index >= kSystemColorCount) return 0;
  return kDefaults[static_cast<std::size_t>(index)];
}

Color resolveColor(Color c) {
  if (!isSystemColor(c)) return c & 0x00FFFFFFu;
  return systemColor(static_cast<int>(c & 0xFFu));
}

}  // namespace zefra::raster
