// Feeds arbitrary bytes to the GIF reader. It must either load or throw GifError, never
// crash, hang or allocate beyond its pixel limits. Whatever loads is written back, and
// what is written must read back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gif/gif_error.h"
#include "gif/gif_image.h"

namespace {

std::vector<std::vector<std::uint8_t>> imagePixels(const zefra::gif::GifImage& image) {
  std::vector<std::vector<std::uint8_t>> result;
  for (const auto& frame : image.frames())
    if (!frame->empty()) result.emplace_back(frame->pixels(), frame->pixels() + frame->pixelCount());
  return result;
}

}  // namespace

// Inputs past 16 KiB add no reader paths that smaller ones lack (frames repeat, LZW data
// only grows), but cost a slow decode and re-encode each: they are skipped, so runs stay fast.
constexpr std::size_t kMaxInputSize = 16384;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputSize) return 0;
  using namespace zefra::gif;
  GifImage image;
  // Small limits keep each run quick; the checks are the same as with the defaults.
  image.limits.maxFramePixels = std::uint64_t{1} << 14;
  image.limits.maxImagePixels = std::uint64_t{1} << 16;
  int warnings = 0;
  image.warningHandler = [&](const GifItem*, int, const std::string&) { ++warnings; };
  try {
    image.loadFromBytes(std::span<const std::uint8_t>(data, size));
  } catch (const GifError&) {
    return 0;
  }
  std::vector<std::uint8_t> written;
  try {
    written = image.saveToBytes();
  } catch (const GifError&) {
    return 0;  // e.g. pixels outside their colour table, or no frames
  }
  GifImage again;
  again.limits = image.limits;
  try {
    again.loadFromBytes(written);
  } catch (const GifError&) {
    __builtin_trap();  // what the writer produced must always read back
  }
  if (imagePixels(again) != imagePixels(image)) __builtin_trap();
  return 0;
}
