#pragma once
// Reads PNG files of any colour type and depth into a 24-bit FastBitmap. Transparent
// pixels are blended over white, the usual page colour of a banner. The size in the header
// is checked against kMaxPngPixels before any pixel memory is allocated.

#include <cstdint>
#include <filesystem>
#include <span>

#include "io/png_writer.h"  // PngError
#include "raster/fast_bitmap.h"

namespace zefra::io {

inline constexpr std::uint64_t kMaxPngPixels = std::uint64_t{1} << 26;

// Throws PngError("Not a PNG file", "PNG image too large", or libpng's own message).
raster::FastBitmap readPng(std::span<const std::uint8_t> bytes);
// Also throws PngError("Cannot read " + path) when the file cannot be read.
raster::FastBitmap readPngFile(const std::filesystem::path& path);

}  // namespace zefra::io
