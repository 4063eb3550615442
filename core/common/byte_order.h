#pragma once
// Little-endian numbers inside byte buffers, as the file formats (BMP, GIF, old projects)
// store them. The caller has checked that the bytes are there.

#include <cstddef>
#include <cstdint>

namespace zefra {

inline std::uint16_t readLittle16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLittle32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace zefra
