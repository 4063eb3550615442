#pragma once
// What the program needs to know about the display it runs on.

#include <cstdint>

namespace zefra::app {

// The primary screen's logical pixels per inch, 96 when there is no usable answer.
std::int16_t displayDpi();

}  // namespace zefra::app
