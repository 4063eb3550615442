#include "io/png_reader.h"

#include <png.h>
#include <zlib.h>

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

std::uint32_t bigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void appendChunk(std::vector<std::uint8_t>& out, const char* type, std::span<const std::uint8_t> data) {
  const std::uint8_t length[4] = {static_cast<std::uint8_t>(data.size() >> 24), static_cast<std::uint8_t>(data.size() >> 16),
                                  static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size())};
  out.insert(out.end(), length, length + 4);
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  const std::uint8_t crcBytes[4] = {static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
                                    static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)};
  out.insert(out.end(), crcBytes, crcBytes + 4);
}

// The chunks are walked before libpng sees them. A chunk claiming more bytes than the
// file holds is refused (libpng would allocate what it claims first). Text chunks, which
// a picture never needs and whose compressed forms can unpack to gigabytes, are dropped.
// And 16-bit samples of a file that says nothing of its colour encoding are sRGB, as
// other programs read them, where libpng alone takes them as linear light: such a file
// gets the gAMA chunk of sRGB. Answers the bytes libpng should read: `bytes` itself, or
// the edited copy in `edited`.
std::span<const std::uint8_t> preparedPng(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& edited) {
  std::size_t at = 8;
  bool sixteenBit = false, tagged = false, dropText = false;
  std::size_t afterHeader = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 8) throw PngError("PNG: file ends inside a chunk");
    const std::uint32_t length = bigEndian32(bytes.data() + at);
    if (length > 0x7FFFFFFFu || bytes.size() - at < std::size_t{12} + length) {
      throw PngError("PNG: a chunk claims " + std::to_string(length) + " bytes, more than the file holds");
    }
    const std::string type(reinterpret_cast<const char*>(bytes.data() + at + 4), 4);
    if (type == "IHDR" && length >= 13) {
      sixteenBit = bytes[at + 8 + 8] == 16;
      afterHeader = at + 12 + length;
    }
    if (type == "gAMA" || type == "sRGB" || type == "iCCP" || type == "cHRM") tagged = true;
    if (type == "tEXt" || type == "zTXt" || type == "iTXt") dropText = true;
    at += 12 + length;
    if (type == "IEND") break;
  }
  const bool addGamma = sixteenBit && !tagged && afterHeader > 0;
  if (!addGamma && !dropText) return bytes;
  edited.reserve(bytes.size() + 16);
  edited.assign(bytes.begin(), bytes.begin() + 8);
  for (at = 8; at < bytes.size();) {
    const std::uint32_t length = bigEndian32(bytes.data() + at);
    const std::string type(reinterpret_cast<const char*>(bytes.data() + at + 4), 4);
    const std::size_t end = at + 12 + length;
    if (type != "tEXt" && type != "zTXt" && type != "iTXt") edited.insert(edited.end(), bytes.begin() + at, bytes.begin() + end);
    if (addGamma && end == afterHeader) {
      const std::uint8_t gamma[4] = {0, 0, 0xB1, 0x8F};  // 45455: 1 / 2.2, the sRGB curve's
      appendChunk(edited, "gAMA", gamma);
    }
    at = end;
    if (type == "IEND") break;
  }
  return edited;
}

std::string messageOf(const png_image& image) {
  return image.message[0] ? std::string("PNG: ") + image.message : std::string("PNG: cannot decode");
}

}  // namespace

PngPicture readPngPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) throw PngError("Not a PNG file");
  maxPixels = std::min(maxPixels, kMaxPngPixels);

  std::vector<std::uint8_t> edited;
  bytes = preparedPng(bytes, edited);

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
  PngPicture out;
  out.image.resize(w, h);
  if ((image.format & PNG_FORMAT_FLAG_ALPHA) == 0) {
    // No transparency: decoded straight into the picture's own rows.
    image.format = PNG_FORMAT_BGR;
    if (!png_image_finish_read(&image, nullptr, out.image.bits(), static_cast<png_int_32>(out.image.stride()), nullptr))
      throw PngError(messageOf(image));
    return out;
  }

  // 8-bit output keeps the colours straight (libpng premultiplies only linear 16-bit output).
  image.format = PNG_FORMAT_BGRA;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  std::vector<std::uint8_t> buffer(stride * image.height);
  if (!png_image_finish_read(&image, nullptr, buffer.data(), static_cast<png_int_32>(stride), nullptr))
    throw PngError(messageOf(image));

  out.alpha = raster::AlphaMask(w, h);
  std::uint8_t* opacity = out.alpha.values.data();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = buffer.data() + static_cast<std::size_t>(y) * stride;
    std::uint8_t* dst = out.image.row(y);
    for (int x = 0; x < w; ++x, src += 4, dst += 3) {
      std::memcpy(dst, src, 3);
      *opacity++ = src[3];
    }
  }
  return out;
}

raster::FastBitmap readPng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
  PngPicture picture = readPngPicture(bytes, maxPixels);
  if (picture.alpha.empty()) return std::move(picture.image);
  const std::uint8_t* opacity = picture.alpha.values.data();
  for (int y = 0; y < picture.image.height(); ++y) {
    std::uint8_t* p = picture.image.row(y);
    for (int x = 0; x < picture.image.width(); ++x, p += 3, ++opacity) {
      for (int c = 0; c < 3; ++c) p[c] = raster::blendOver(p[c], 255, *opacity);
    }
  }
  return std::move(picture.image);
}

namespace {

FileBytes pngFileBytes(const std::filesystem::path& path) {
  try {
    return readInputFile(path, kMaxPngFileBytes, 8, [](std::span<const std::uint8_t> head) {
      if (head.size() < 8 || std::memcmp(head.data(), kSignature, 8) != 0) throw PngError("Not a PNG file");
    });
  } catch (const InputFileError& e) {
    throw PngError(e.what());
  }
}

}  // namespace

raster::FastBitmap readPngFile(const std::filesystem::path& path, std::uint64_t maxPixels) {
  const FileBytes file = pngFileBytes(path);
  return readPng(file.bytes(), maxPixels);
}

PngPicture readPngPictureFile(const std::filesystem::path& path, std::uint64_t maxPixels) {
  const FileBytes file = pngFileBytes(path);
  return readPngPicture(file.bytes(), maxPixels);
}

}  // namespace zefra::io
