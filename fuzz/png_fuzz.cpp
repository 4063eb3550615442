// Feeds arbitrary bytes to the PNG reader (picture layers, and pictures given to
// `zefra-cli quantize`): it must either return a bitmap within its pixel bound or throw
// PngError, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <span>

#include "io/png_reader.h"

// Longer inputs only hold more chunks and pixel data; they are skipped so each run stays fast.
constexpr std::size_t kMaxInputSize = 16384;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputSize) return 0;
  try {
    const zefra::raster::FastBitmap b = zefra::io::readPng(std::span<const std::uint8_t>(data, size));
    if (b.empty() || static_cast<std::uint64_t>(b.width()) * b.height() > zefra::io::kMaxPngPixels) __builtin_trap();
    volatile std::uint8_t sink = b.row(b.height() - 1)[3 * (b.width() - 1)];
    (void)sink;
  } catch (const zefra::io::PngError&) {
  }
  return 0;
}
