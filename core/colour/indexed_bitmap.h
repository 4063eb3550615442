#pragma once
// A palette bitmap of 1, 4 or 8 bits per pixel: what the colour reduction produces and
// what a frame can be assigned from without reduction. Rows are top-down and packed like
// a device-independent bitmap: most significant bits first within a byte (high nibble
// first at 4 bits), each row padded to a multiple of 4 bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "colour/colour_types.h"

namespace zefra::colour {

class IndexedBitmap {
 public:
  IndexedBitmap() = default;
  // bitsPerPixel must be 1, 4 or 8 (std::invalid_argument otherwise); negative sizes count
  // as 0. All indices start at 0 and the palette is empty.
  IndexedBitmap(int width, int height, int bitsPerPixel);

  static std::size_t strideFor(int width, int bitsPerPixel) {
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return ((bits + 31) / 32) * 4;
  }

  int width() const { return w; }
  int height() const { return h; }
  int bitsPerPixel() const { return bpp; }
  std::size_t stride() const { return rowBytes; }
  bool empty() const { return w <= 0 || h <= 0; }

  std::uint8_t* row(int y) { return data.data() + static_cast<std::size_t>(y) * rowBytes; }
  const std::uint8_t* row(int y) const { return data.data() + static_cast<std::size_t>(y) * rowBytes; }

  // No bounds checks. setIndex keeps only the low bitsPerPixel bits of the value.
  std::uint8_t index(int x, int y) const;
  void setIndex(int x, int y, std::uint8_t value);

  // The colour of index i is palette()[i]; at most 2^bitsPerPixel entries are used.
  std::vector<Rgb>& palette() { return colors; }
  const std::vector<Rgb>& palette() const { return colors; }

 private:
  int w = 0;
  int h = 0;
  int bpp = 8;
  std::size_t rowBytes = 0;
  std::vector<std::uint8_t> data;
  std::vector<Rgb> colors;
};

}  // namespace zefra::colour
