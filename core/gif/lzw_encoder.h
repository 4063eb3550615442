#pragma once
// The LZW compressor every exported frame goes through. Code widths grow one code after
// the table reaches 2^width entries (the behaviour decoders of the format expect) and
// never past 12 bits: a clear code is sent instead of adding code 4095.

#include <array>
#include <cstdint>
#include <memory>

#include "gif/frame_encoder.h"
#include "gif/lzw_hash_table.h"

namespace zefra::gif {

class LzwEncoder final : public FrameEncoder {
 public:
  using FrameEncoder::FrameEncoder;

 protected:
  void compressPixels() override;

 private:
  void emit(unsigned code) {
    emitBits(code);
    if (justCleared) {
      codeWidth = initialWidth;
      maxCode = (1u << initialWidth) - 1;
      justCleared = false;
    } else if (nextCode > maxCode) {
      ++codeWidth;
      maxCode = codeWidth >= 12 ? 4096u : (1u << codeWidth) - 1;
    }
  }
  void emitClear();

  std::unique_ptr<LzwHashTable> table;
  // The child each prefix code led to last, (pixel << 12) | code, or kNoChild. Pictures
  // repeat the same continuation again and again (runs, flat areas), and this answers
  // those without probing the hash table. It caches the table, so it is cleared with it.
  static constexpr std::uint32_t kNoChild = 0xFFFFFFFF;  // all bytes 0xFF, so memset fills it
  std::unique_ptr<std::array<std::uint32_t, 4096>> recentChild;
  unsigned nextCode = 0;
  unsigned maxCode = 0;
  bool justCleared = false;
};

}  // namespace zefra::gif
