#pragma once
// The 24-bit top-down bitmap all pixel work is done on. Pixels are stored blue, green,
// red; a row takes 3 * width + (width mod 4) bytes, which is always a multiple of 4, so
// rows can be handed unchanged to code that expects 32-bit aligned device-independent rows.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/color.h"

namespace zefra::raster {

class FastBitmap {
 public:
  FastBitmap() = default;
  FastBitmap(int width, int height) { resize(width, height); }

  static constexpr std::size_t strideFor(int width) {
    return static_cast<std::size_t>(3 * width + width % 4);
  }

  // Changes the size; all pixels become black. Negative sizes count as 0.
  void resize(int width, int height);

  int width() const { return w; }
  int height() const { return h; }
  std::size_t stride() const { return rowBytes; }
  bool empty() const { return w <= 0 || h <= 0; }

  std::uint8_t* row(int y) { return data.data() + static_cast<std::size_t>(y) * rowBytes; }
  const std::uint8_t* row(int y) const { return data.data() + static_cast<std::size_t>(y) * rowBytes; }
  std::uint8_t* bits() { return data.data(); }
  const std::uint8_t* bits() const { return data.data(); }
  std::size_t sizeBytes() const { return data.size(); }

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }

  // Colour as 0x00BBGGRR; no bounds check (use contains()).
  Color pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + 3 * x;
    return rgb(p[2], p[1], p[0]);
  }
  void setPixel(int x, int y, Color c) {
    std::uint8_t* p = row(y) + 3 * x;
    p[0] = blueOf(c);
    p[1] = greenOf(c);
    p[2] = redOf(c);
  }

  void fill(Color c);

  bool operator==(const FastBitmap& other) const;

 private:
  int w = 0;
  int h = 0;
  std::size_t rowBytes = 0;
  std::vector<std::uint8_t> data;
};

}  // namespace zefra::raster
