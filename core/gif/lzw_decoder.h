#pragma once
// Decoder for one GIF image data block: the minimum-code-size byte, then LZW codes packed
// least significant bit first in data sub-blocks, up to the zero-length terminator.
//
// Corrupt data is read the forgiving way GIF readers are expected to: data without a
// leading clear code decodes as if it had one, a code beyond the next free one repeats
// the previous string plus its first pixel, and missing pixels are left as they were.
// The tables are fixed arrays, so no input can make the decoder allocate or step outside
// them: code sizes above 11 are refused, and a table entry chain that loops back on
// itself, however long, stops the load with "Circular decoder table entry".

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "gif/gif_stream.h"

namespace zefra::gif {

class LzwDecoder {
 public:
  using WarningSink = std::function<void(const std::string& message)>;

  static constexpr int kMaxCodes = 4096;
  static constexpr int kMaxMinimumCodeSize = 11;

  // Decodes the image data block at the input's position into out (out.size() pixels in
  // coding order, i.e. before de-interlacing). Pixels the data does not reach keep their
  // values. On return the input stands after the block's terminator (or at the end of
  // input). Answers the number of pixels written.
  std::size_t decode(GifInput& input, std::span<std::uint8_t> out, const WarningSink& warn);

 private:
  // The common case inline: enough bits buffered for one code.
  bool readCode(unsigned& code) {
    if (bitCount > codeSize) {
      code = static_cast<unsigned>(bitBuffer) & codeMask;
      bitBuffer >>= codeSize;
      bitCount -= codeSize;
      return true;
    }
    return readCodeRefilling(code);
  }
  bool readCodeRefilling(unsigned& code);
  bool loadBlock();
  void skipRemainingBlocks();
  void resetTable();

  // Table: prefix code, last pixel and string length (0 = not known to be a plain chain
  // of lower codes, decoded with the checked slow path).
  std::array<std::uint16_t, kMaxCodes> prefix{};
  std::array<std::uint8_t, kMaxCodes> suffix{};
  std::array<std::uint16_t, kMaxCodes> length{};
  // Where in the output the string of an entry with a known length was written: such an
  // entry is the previous string plus the first pixel of the next, which the output holds
  // side by side, so decoding it is a copy from earlier output rather than a chain walk.
  std::array<std::uint32_t, kMaxCodes> start{};
  std::array<std::uint8_t, 2 * kMaxCodes + 1> stack{};

  GifInput* in = nullptr;
  const WarningSink* warnings = nullptr;
  const std::uint8_t* blockPtr = nullptr;
  const std::uint8_t* blockEnd = nullptr;
  std::uint64_t bitBuffer = 0;
  int bitCount = 0;
  bool dataEnded = false;
  int minimumCodeSize = 0;
  int codeSize = 0;
  unsigned codeMask = 0;
  unsigned clearCode = 0;
  unsigned endCode = 0;
  unsigned nextFree = 0;
  unsigned limit = 0;
  unsigned dirtyEnd = 0;  // entries at and above max(dirtyEnd, nextFree) are all zero
};

}  // namespace zefra::gif
