#include "gif/lzw_encoder.h"

#include <algorithm>
#include <cstring>

namespace zefra::gif {

void LzwEncoder::emitClear() {
  justCleared = true;
  emit(clearCode);
  table->clear();
  // Only codes in use can have been a prefix since the last clear. (kNoChild is all ones.)
  std::memset(recentChild->data(), 0xFF, sizeof(std::uint32_t) * std::min<unsigned>(nextCode, 4096));
  nextCode = firstFree;
}

void LzwEncoder::compressPixels() {
  table = std::make_unique<LzwHashTable>();
  recentChild = std::make_unique<std::array<std::uint32_t, 4096>>();
  std::memset(recentChild->data(), 0xFF, sizeof(*recentChild));
  nextCode = firstFree;
  maxCode = (1u << codeWidth) - 1;
  emitClear();
  const unsigned limit = static_cast<unsigned>(allowed);
  // Held in locals: the byte stores of the sub-block writer would otherwise make the
  // compiler reload these pointers for every pixel.
  LzwHashTable& hash = *table;
  std::array<std::uint32_t, 4096>& recent = *recentChild;
  bool first = true;
  unsigned prefix = 0;
  forEachSpan([&](const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    if (first) {
      if (p[0] >= limit) colorNotInTable();
      prefix = p[0];
      first = false;
      i = 1;
    }
    for (; i < n; ++i) {
      const unsigned k = p[i];
      if (k >= limit) colorNotInTable();
      const std::uint32_t cached = recent[prefix];
      if ((cached >> 12) == k) {
        prefix = cached & 0xFFF;
        continue;
      }
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | k;
      int slot = 0;
      const int code = hash.findOrFreeSlot(key, slot);
      if (code >= 0) {
        recent[prefix] = (k << 12) | static_cast<std::uint32_t>(code);
        prefix = static_cast<unsigned>(code);
        continue;
      }
      emit(prefix);
      if (nextCode < 4095) {
        hash.insertAt(slot, key, static_cast<int>(nextCode));
        recent[prefix] = (k << 12) | nextCode;
        prefix = k;
        ++nextCode;
      } else {
        prefix = k;
        emitClear();
      }
    }
  });
  emit(prefix);
}

}  // namespace zefra::gif
