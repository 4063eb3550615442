#pragma once
// Writes 24-bit uncompressed BMP files (bottom-up rows, 40-byte info header), the form
// every picture and texture loader accepts.

#include <cstdint>
#include <string>
#include <vector>

#include "raster/fast_bitmap.h"

namespace zefra::io {

// The whole file as bytes. Throws std::invalid_argument for an empty bitmap.
std::vector<std::uint8_t> encodeBmp(const raster::FastBitmap& bitmap);

// Writes the file through a temporary file renamed into place; throws
// std::system_error when it cannot be written (the previous file stays as it was).
void writeBmpFile(const raster::FastBitmap& bitmap, const std::string& path);

}  // namespace zefra::io
