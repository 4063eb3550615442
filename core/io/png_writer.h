#pragma once
// Writes a FastBitmap as an 8-bit RGB PNG (no alpha, no interlace).

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "raster/fast_bitmap.h"

namespace zefra::io {

class PngError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole PNG file as bytes. Throws PngError for an empty bitmap or an encoder failure.
std::vector<std::uint8_t> encodePng(const raster::FastBitmap& bitmap);

// Writes the file through a temporary file renamed into place, so a failed write leaves
// any previous file untouched. Throws PngError or std::system_error.
void writePngFile(const raster::FastBitmap& bitmap, const std::filesystem::path& path);

}  // namespace zefra::io
