#include "io/bmp_writer.h"

#include <algorithm>
#include <stdexcept>

#include "common/atomic_file.h"

namespace zefra::io {

namespace {

void putU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  putU16(out, at, v & 0xFFFF);
  putU16(out, at + 2, v >> 16);
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMeter = 3780;  // 96 pixels per inch

}  // namespace

std::vector<std::uint8_t> encodeBmp(const raster::FastBitmap& bitmap) {
  if (bitmap.empty()) throw std::invalid_argument("Cannot write an empty bitmap");
  // FastBitmap rows are padded exactly like BMP rows, so each row is copied as it is.
  const std::size_t stride = bitmap.stride();
  const std::size_t imageSize = stride * static_cast<std::size_t>(bitmap.height());
  const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
  if (offset + imageSize > 0xFFFFFFFFu) throw std::invalid_argument("Bitmap too large for BMP");
  std::vector<std::uint8_t> out(offset + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  putU32(out, 2, static_cast<std::uint32_t>(out.size()));
  putU32(out, 10, static_cast<std::uint32_t>(offset));
  putU32(out, 14, kInfoHeaderSize);
  putU32(out, 18, static_cast<std::uint32_t>(bitmap.width()));
  putU32(out, 22, static_cast<std::uint32_t>(bitmap.height()));  // positive: bottom-up
  putU16(out, 26, 1);                                            // planes
  putU16(out, 28, 24);                                           // bits per pixel
  putU32(out, 30, 0);                                            // BI_RGB
  putU32(out, 34, static_cast<std::uint32_t>(imageSize));
  putU32(out, 38, kPixelsPerMeter);
  putU32(out, 42, kPixelsPerMeter);
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint8_t* src = bitmap.row(bitmap.height() - 1 - y);
    std::copy(src, src + stride, out.begin() + static_cast<std::ptrdiff_t>(offset + stride * y));
  }
  return out;
}

void writeBmpFile(const raster::FastBitmap& bitmap, const std::string& path) {
  common::writeFileAtomically(path, encodeBmp(bitmap));
}

}  // namespace zefra::io
