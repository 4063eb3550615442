#pragma once
// What the two frame compressors share: the minimum-code-size byte, packing codes least
// significant bit first into sub-blocks, the row order of interlaced frames, the colour
// check of every pixel, and the end code and terminator.

#include <cstdint>

#include "gif/gif_types.h"
#include "gif/sub_block_writer.h"

namespace zefra::gif {

// Writes one frame's image data: minimum code size, code stream in sub-blocks, 0x00.
// Pixels are width bytes per row, rows top to bottom; every value must be below
// allowedColors ("Color not in color table"). No pixels or no area: just the end code.
void compressFrame(GifStream& destination, int bitsPerPixel, int allowedColors, const std::uint8_t* pixels,
                   bool interlaced, int height, int width, CompressionKind kind);

// Row order of an interlaced image: 0, 8, 16...; 4, 12...; 2, 6...; 1, 3, 5...
// Calls visit(row) height times in that order.
template <class Visit>
void forEachInterlacedRow(int height, Visit&& visit) {
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) visit(y);
}

class FrameEncoder {
 public:
  FrameEncoder(GifStream& destination, int bitsPerPixel, int allowedColors, const std::uint8_t* pixels,
               bool interlaced, int height, int width);
  virtual ~FrameEncoder() = default;

  void encode();

 protected:
  // The compressor's main loop over all pixels (only called for a frame with pixels).
  virtual void compressPixels() = 0;

  // Calls visit(rowStart, count) for each run of consecutive pixels in coding order: the
  // whole image at once, or row by row in interlace order.
  template <class Visit>
  void forEachSpan(Visit&& visit) const {
    if (!interlaced) {
      visit(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
      return;
    }
    forEachInterlacedRow(height, [&](int y) {
      visit(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), static_cast<std::size_t>(width));
    });
  }

  [[noreturn]] static void colorNotInTable();

  // Codes are packed least significant bit first; whole 32-bit groups go to the writer
  // at once, which gives the same bytes as writing each byte as it fills.
  void emitBits(unsigned code) {
    accumulator |= static_cast<std::uint64_t>(code) << pending;
    pending += codeWidth;
    if (pending >= 32) {
      writer.put4(static_cast<std::uint32_t>(accumulator));
      accumulator >>= 32;
      pending -= 32;
    }
  }

  int bits;            // minimum code size, at least 2
  int allowed;         // pixel values must be below this
  const std::uint8_t* pixels;
  bool interlaced;
  int height;
  int width;
  SubBlockWriter writer;
  std::uint64_t accumulator = 0;
  int pending = 0;
  int codeWidth;
  int initialWidth;
  unsigned clearCode;
  unsigned endCode;
  unsigned firstFree;

 private:
  GifStream& dest;
};

}  // namespace zefra::gif
