// Feeds arbitrary bytes to the BMP reader: it must either return a bitmap of the size its
// header announces or throw BmpError, never crash, hang or allocate beyond its bound.
#include <cstddef>
#include <cstdint>
#include <span>

#include "io/bmp_reader.h"

// Longer inputs only hold more pixel rows; they are skipped so each run stays fast.
constexpr std::size_t kMaxInputSize = 16384;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputSize) return 0;
  try {
    const zefra::raster::FastBitmap b = zefra::io::readBmp(std::span<const std::uint8_t>(data, size));
    if (b.empty() || static_cast<std::int64_t>(b.width()) * b.height() > zefra::io::kMaxBmpPixels) __builtin_trap();
    volatile std::uint8_t sink = b.row(b.height() - 1)[3 * (b.width() - 1)];
    (void)sink;
  } catch (const zefra::io::BmpError&) {
  }
  return 0;
}
