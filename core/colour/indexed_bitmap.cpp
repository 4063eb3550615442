#include "colour/indexed_bitmap.h"

#include <stdexcept>

namespace zefra::colour {

IndexedBitmap::IndexedBitmap(int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
    throw std::invalid_argument("IndexedBitmap: bits per pixel must be 1, 4 or 8");
  w = width > 0 ? width : 0;
  h = height > 0 ? height : 0;
  bpp = bitsPerPixel;
  rowBytes = strideFor(w, bpp);
  data.assign(rowBytes * static_cast<std::size_t>(h), 0);
}

std::uint8_t IndexedBitmap::index(int x, int y) const {
  const std::uint8_t* r = row(y);
  switch (bpp) {
    case 8: return r[x];
    case 4: return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    default: return (r[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

void IndexedBitmap::setIndex(int x, int y, std::uint8_t value) {
  std::uint8_t* r = row(y);
  switch (bpp) {
    case 8: r[x] = value; break;
    case 4:
      if (x & 1)
        r[x >> 1] = static_cast<std::uint8_t>((r[x >> 1] & 0xF0) | (value & 0x0F));
      else
        r[x >> 1] = static_cast<std::uint8_t>((r[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
      break;
    default: {
      const int shift = 7 - (x & 7);
      r[x >> 3] = static_cast<std::uint8_t>((r[x >> 3] & ~(1 << shift)) | ((value & 1) << shift));
    }
  }
}

}  // namespace zefra::colour
