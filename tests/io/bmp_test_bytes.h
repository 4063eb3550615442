#pragma once
// Builds BMP files byte by byte for tests, independent of any BMP writer in the code under
// test: the caller gives the header fields, the palette and the raw pixel bytes.

#include <cstdint>
#include <vector>

namespace zefra::bmptest {

struct BmpLayout {
  std::int32_t width = 1;
  std::int32_t height = 1;      // negative = top-down
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;  // 12 writes the old core header
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB each
  std::vector<std::uint32_t> masks;    // written after a 40-byte header (bit fields)
  std::vector<std::uint8_t> pixels;    // exactly as stored in the file
  std::uint32_t colorsUsed = 0;
  std::int64_t dataOffset = -1;        // -1: right after the palette
};

inline void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

inline std::vector<std::uint8_t> makeBmp(const BmpLayout& s) {
  std::vector<std::uint8_t> b;
  const bool core = s.infoSize == 12;
  const std::uint32_t paletteBytes = static_cast<std::uint32_t>(s.palette.size() * (core ? 3 : 4));
  const std::uint32_t offset = s.dataOffset >= 0
                                   ? static_cast<std::uint32_t>(s.dataOffset)
                                   : 14 + s.infoSize + static_cast<std::uint32_t>(4 * s.masks.size()) + paletteBytes;
  b.push_back('B');
  b.push_back('M');
  put32(b, 0);  // file size: readers must not trust it
  put32(b, 0);
  put32(b, offset);
  put32(b, s.infoSize);
  if (core) {
    put16(b, static_cast<std::uint32_t>(s.width));
    put16(b, static_cast<std::uint32_t>(s.height));
    put16(b, 1);
    put16(b, s.bitCount);
  } else {
    put32(b, static_cast<std::uint32_t>(s.width));
    put32(b, static_cast<std::uint32_t>(s.height));
    put16(b, 1);
    put16(b, s.bitCount);
    put32(b, s.compression);
    put32(b, static_cast<std::uint32_t>(s.pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, s.colorsUsed);
    put32(b, 0);
    for (std::uint32_t i = 40; i < s.infoSize; ++i) b.push_back(0);
  }
  for (std::uint32_t m : s.masks) put32(b, m);
  for (std::uint32_t c : s.palette) {
    b.push_back(static_cast<std::uint8_t>(c));        // blue
    b.push_back(static_cast<std::uint8_t>(c >> 8));   // green
    b.push_back(static_cast<std::uint8_t>(c >> 16));  // red
    if (!core) b.push_back(0);
  }
  while (b.size() < offset) b.push_back(0);
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  return b;
}

// A 24-bit bottom-up BMP of a w x h image whose pixel (x, y) is colour(x, y) (0x00BBGGRR).
template <typename F>
std::vector<std::uint8_t> makeBmp24(int w, int h, F colour) {
  BmpLayout s;
  s.width = w;
  s.height = h;
  const int stride = (3 * w + 3) / 4 * 4;
  s.pixels.assign(static_cast<std::size_t>(stride * h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      std::uint8_t* p = &s.pixels[static_cast<std::size_t>((h - 1 - y) * stride + 3 * x)];
      p[0] = static_cast<std::uint8_t>(c >> 16);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);
    }
  return makeBmp(s);
}

}  // namespace zefra::bmptest
