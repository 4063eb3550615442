#pragma once
// Reads BMP files (pictures and text textures) into a 24-bit FastBitmap: 1, 4, 8, 16, 24 and
// 32 bits per pixel; uncompressed, bit-field and RLE4/RLE8 compressed; bottom-up and
// top-down rows; the old 12-byte core header and the 40/52/56/64/108/124-byte info headers.
// Every size is checked against the data and against kMaxBmpPixels before anything is
// allocated, so garbage is rejected with a BmpError and never crashes or exhausts memory.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

#include "raster/fast_bitmap.h"

namespace zefra::io {

// Pictures on a banner are small; this bound (4096 x 4096) keeps a hostile header
// from making the reader allocate without limit.
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{1} << 24;
inline constexpr int kMaxBmpSide = 32768;

class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

raster::FastBitmap readBmp(std::span<const std::uint8_t> bytes);
raster::FastBitmap readBmpFile(const std::filesystem::path& path);

}  // namespace zefra::io
