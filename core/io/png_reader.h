#pragma once
// Reads PNG files of any colour type and depth into a 24-bit FastBitmap, either with the
// file's transparency as an opacity per pixel (pictures drawn over a banner) or blended
// over white, the usual page colour of a banner (pictures reduced on their own). The size
// in the header is checked against kMaxPngPixels before any pixel memory is allocated.

#include <cstdint>
#include <filesystem>
#include <span>

#include "io/png_writer.h"  // PngError
#include "raster/canvas.h"
#include "raster/fast_bitmap.h"

namespace zefra::io {

inline constexpr std::uint64_t kMaxPngPixels = std::uint64_t{1} << 26;

// The largest PNG file read (compressed data describes at most ~1032 pixels per byte, so
// no allowed picture needs more).
inline constexpr std::uint64_t kMaxPngFileBytes = std::uint64_t{1} << 30;

// Throws PngError("Not a PNG file", "PNG image too large (W x H pixels; the limit is N)",
// or libpng's own message). The size is checked against maxPixels (at most kMaxPngPixels)
// from the header, before anything is decoded.
raster::FastBitmap readPng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels = kMaxPngPixels);
// Also throws PngError("FILE: reason") when the file cannot be read, is not a regular file
// or is larger than kMaxPngFileBytes; the signature is checked before the rest is read.
raster::FastBitmap readPngFile(const std::filesystem::path& path, std::uint64_t maxPixels = kMaxPngPixels);

// The colours as stored (8 bits a sample, not premultiplied) and, when the file has an
// alpha channel or a transparent colour or palette entries (tRNS), the opacity of each
// pixel; `alpha` stays empty for a file without transparency.
struct PngPicture {
  raster::FastBitmap image;
  raster::AlphaMask alpha;
};
PngPicture readPngPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels = kMaxPngPixels);
PngPicture readPngPictureFile(const std::filesystem::path& path, std::uint64_t maxPixels = kMaxPngPixels);

}  // namespace zefra::io
