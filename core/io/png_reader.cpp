#include "io/png_reader.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/input_file.h"

namespace zefra::io {

namespace {

// png_image must be released on every path, including exceptions.
struct ImageGuard {
  png_image image;
  ImageGuard() {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
  }
  ~ImageGuard() { png_image_free(&image); }
  ImageGuard(const ImageGuard&) = delete;
  ImageGuard& operator=(const ImageGuard&) = delete;
};

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::string messageOf(const png_image& image) {
  return image.message[0] ? std::string("PNG: ") + image.message : std::string("PNG: cannot decode");
}

}  // namespace

raster::FastBitmap readPng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) throw PngError("Not a PNG file");
  maxPixels = std::min(maxPixels, kMaxPngPixels);

  ImageGuard guard;
  png_image& image = guard.image;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) throw PngError(messageOf(image));
  const std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * image.height;
  if (image.width == 0 || image.height == 0) throw PngError("PNG image is empty");
  if (pixels > maxPixels || image.width > 65535 || image.height > 65535) {
    throw PngError("PNG image too large (" + std::to_string(image.width) + " x " + std::to_string(image.height) +
                   " pixels; the limit is " + std::to_string(maxPixels) + " pixels and 65535 per side)");
  }

  const int w = static_cast<int>(image.width);
  const int h = static_cast<int>(image.height);
  raster::FastBitmap out(w, h);
  if ((image.format & PNG_FORMAT_FLAG_ALPHA) == 0) {
    // Nothing to put on white: decoded straight into the picture's own rows.
    image.format = PNG_FORMAT_BGR;
    if (!png_image_finish_read(&image, nullptr, out.bits(), static_cast<png_int_32>(out.stride()), nullptr))
      throw PngError(messageOf(image));
    return out;
  }

  image.format = PNG_FORMAT_BGRA;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  std::vector<std::uint8_t> buffer(stride * image.height);
  if (!png_image_finish_read(&image, nullptr, buffer.data(), static_cast<png_int_32>(stride), nullptr))
    throw PngError(messageOf(image));

  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = buffer.data() + static_cast<std::size_t>(y) * stride;
    std::uint8_t* dst = out.row(y);
    for (int x = 0; x < w; ++x, src += 4, dst += 3) {
      const int a = src[3];
      for (int c = 0; c < 3; ++c) dst[c] = static_cast<std::uint8_t>((src[c] * a + 255 * (255 - a) + 127) / 255);
    }
  }
  return out;
}

raster::FastBitmap readPngFile(const std::filesystem::path& path, std::uint64_t maxPixels) {
  FileBytes file;
  try {
    file = readInputFile(path, kMaxPngFileBytes, 8, [](std::span<const std::uint8_t> head) {
      if (head.size() < 8 || std::memcmp(head.data(), kSignature, 8) != 0) throw PngError("Not a PNG file");
    });
  } catch (const InputFileError& e) {
    throw PngError(e.what());
  }
  return readPng(file.bytes(), maxPixels);
}

}  // namespace zefra::io
