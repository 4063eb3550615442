#include "gif/frame_encoder.h"

#include "gif/gif_error.h"
#include "gif/lzw_encoder.h"
#include "gif/run_length_encoder.h"

namespace zefra::gif {

FrameEncoder::FrameEncoder(GifStream& destination, int bitsPerPixel, int allowedColors, const std::uint8_t* pixelData,
                           bool isInterlaced, int frameHeight, int frameWidth)
    : bits(bitsPerPixel < 2 ? 2 : bitsPerPixel),
      allowed(allowedColors),
      pixels(pixelData),
      interlaced(isInterlaced),
      height(frameHeight),
      width(frameWidth),
      writer(destination),
      dest(destination) {
  // Codes are at most 12 bits wide, so no more than 8 bits of pixel value fit.
  if (bits > 8) throw GifError("Invalid GIF data");
  codeWidth = bits + 1;
  initialWidth = bits + 1;
  clearCode = 1u << bits;
  endCode = clearCode + 1;
  firstFree = clearCode + 2;
}

void FrameEncoder::colorNotInTable() { throw GifError("Color not in color table"); }

void FrameEncoder::encode() {
  dest.writeByte(static_cast<std::uint8_t>(bits));
  if (pixels && width > 0 && height > 0) compressPixels();
  emitBits(endCode);
  // The last partial byte is padded with zero bits.
  while (pending > 0) {
    writer.put(static_cast<std::uint8_t>(accumulator & 0xFF));
    accumulator >>= 8;
    pending -= 8;
  }
  accumulator = 0;
  pending = 0;
  writer.finish();
  dest.writeByte(0);
}

void compressFrame(GifStream& destination, int bitsPerPixel, int allowedColors, const std::uint8_t* pixels,
                   bool interlaced, int height, int width, CompressionKind kind) {
  if (kind == CompressionKind::RunLength) {
    RunLengthEncoder encoder(destination, bitsPerPixel, allowedColors, pixels, interlaced, height, width);
    encoder.encode();
  } else {
    LzwEncoder encoder(destination, bitsPerPixel, allowedColors, pixels, interlaced, height, width);
    encoder.encode();
  }
}

}  // namespace zefra::gif
