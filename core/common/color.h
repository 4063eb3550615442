#pragma once
// Colours are 32-bit values 0x00BBGGRR: red in the low byte, then green, then blue.
// A value with the top bit set names a system colour (resolved by raster/system_colors.h).

#include <cstdint>

namespace zefra {

using Color = std::uint32_t;

constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr std::uint8_t redOf(Color c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t greenOf(Color c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t blueOf(Color c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
constexpr bool isSystemColor(Color c) { return (c & 0x80000000u) != 0; }

}  // namespace zefra
