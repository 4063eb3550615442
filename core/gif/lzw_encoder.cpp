#include "gif/lzw_encoder.h"

namespace zefra::gif {

void LzwEncoder::emitClear() {
  justCleared = true;
  emit(clearCode);
  table->clear();
  nextCode = firstFree;
}

void LzwEncoder::compressPixels() {
  table = std::make_unique<LzwHashTable>();
  maxCode = (1u << codeWidth) - 1;
  emitClear();
  const unsigned limit = static_cast<unsigned>(allowed);
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
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | k;
      int slot = 0;
      const int code = table->findOrFreeSlot(key, slot);
      if (code >= 0) {
        prefix = static_cast<unsigned>(code);
        continue;
      }
      emit(prefix);
      prefix = k;
      if (nextCode < 4095) {
        table->insertAt(slot, key, static_cast<int>(nextCode));
        ++nextCode;
      } else {
        emitClear();
      }
    }
  });
  emit(prefix);
}

}  // namespace zefra::gif
