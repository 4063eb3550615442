#pragma once
// PNG files assembled byte by byte for tests, so every colour type, bit depth and
// transparency chunk can be written with exactly the samples a test means.
#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zefra::testing {

inline void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void pngChunk(std::vector<std::uint8_t>& out, const std::string& type, const std::vector<std::uint8_t>& data) {
  putBig32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type.begin(), type.end());
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  putBig32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

struct PngImage {
  int width = 1;
  int height = 1;
  int depth = 8;       // 1, 2, 4, 8 or 16 bits a sample
  int colourType = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  // Row by row, the channels of each pixel in the file's order (a palette index for type 3).
  std::vector<std::uint16_t> samples;
  std::vector<std::uint8_t> palette;  // PLTE: red, green, blue per entry
  std::vector<std::uint8_t> trns;     // tRNS as stored; none when empty
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> extra;  // chunks after IHDR
};

inline int pngChannels(int colourType) {
  switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}

inline std::vector<std::uint8_t> pngBytes(const PngImage& image) {
  const int channels = pngChannels(image.colourType);
  if (image.samples.size() != static_cast<std::size_t>(image.width) * image.height * channels)
    throw std::invalid_argument("pngBytes: sample count does not match the size");
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> header;
  putBig32(header, static_cast<std::uint32_t>(image.width));
  putBig32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {static_cast<std::uint8_t>(image.depth), static_cast<std::uint8_t>(image.colourType), 0, 0, 0});
  pngChunk(png, "IHDR", header);
  for (const auto& [type, data] : image.extra) pngChunk(png, type, data);
  if (!image.palette.empty()) pngChunk(png, "PLTE", image.palette);
  if (!image.trns.empty()) pngChunk(png, "tRNS", image.trns);

  std::vector<std::uint8_t> raw;
  const std::size_t perRow = static_cast<std::size_t>(image.width) * channels;
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // no filter
    const std::uint16_t* row = image.samples.data() + y * perRow;
    if (image.depth == 16) {
      for (std::size_t i = 0; i < perRow; ++i) raw.insert(raw.end(), {static_cast<std::uint8_t>(row[i] >> 8), static_cast<std::uint8_t>(row[i])});
    } else if (image.depth == 8) {
      for (std::size_t i = 0; i < perRow; ++i) raw.push_back(static_cast<std::uint8_t>(row[i]));
    } else {
      // Packed from the high bits down, the last byte of a row padded with zeros.
      std::uint32_t acc = 0;
      int bits = 0;
      for (std::size_t i = 0; i < perRow; ++i) {
        acc = (acc << image.depth) | row[i];
        bits += image.depth;
        if (bits == 8) {
          raw.push_back(static_cast<std::uint8_t>(acc));
          acc = 0;
          bits = 0;
        }
      }
      if (bits > 0) raw.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
    }
  }
  std::vector<std::uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(packed.size());
  compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(size);
  pngChunk(png, "IDAT", packed);
  pngChunk(png, "IEND", {});
  return png;
}

}  // namespace zefra::testing
