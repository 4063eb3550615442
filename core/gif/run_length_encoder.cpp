#include "gif/run_length_encoder.h"

namespace zefra::gif {

namespace {

unsigned integerSqrt(unsigned x) {
  if (x < 2) return x;
  // Newton's iteration from above converges to floor(sqrt(x)).
  unsigned r = x;
  unsigned next = (r + x / r) / 2;
  while (next < r) {
    r = next;
    next = (r + x / r) / 2;
  }
  return r;
}

}  // namespace

RunLengthEncoder::RunLengthEncoder(GifStream& destination, int bitsPerPixel, int allowedColors,
                                   const std::uint8_t* pixels, bool interlaced, int height, int width)
    : FrameEncoder(destination, bitsPerPixel, allowedColors, pixels, interlaced, height, width) {
  growMarkInitial = clearCode - 1;
  clearMarkInitial = bits > 3 ? clearCode - 2 : 9;
  tableLimit = 4095 - firstFree;
}

unsigned RunLengthEncoder::costFromClear(unsigned n, unsigned limit) {
  unsigned cost = 0;
  const unsigned perFullRound = limit * (limit + 1) / 2;
  while (perFullRound > 0 && n >= perFullRound) {
    n -= perFullRound;
    cost += limit;
  }
  if (n > 0) {
    unsigned m = integerSqrt(2 * n);
    while (m > 0 && m * (m + 1) >= 2 * n) --m;
    while (m * (m + 1) < 2 * n) ++m;
    cost += m;
  }
  return cost;
}

void RunLengthEncoder::didClear() {
  codeWidth = initialWidth;
  growMark = growMarkInitial;
  clearMark = clearMarkInitial;
  emitted = 0;
  longestRun = 0;
  justCleared = true;
}

void RunLengthEncoder::emitClear() {
  emitBits(clearCode);
  didClear();
}

void RunLengthEncoder::emitCounted(unsigned code) {
  justCleared = false;
  emitBits(code);
  ++emitted;
  if (emitted >= growMark) {
    growMark += 1u << codeWidth;
    ++codeWidth;
  }
  if (emitted >= clearMark) emitClear();
}

void RunLengthEncoder::resetClearMark() {
  clearMark = clearMarkInitial;
  if (emitted >= clearMark) emitClear();
}

void RunLengthEncoder::flushFromClear(unsigned n) {
  raiseClearMark();
  longestRunPixel = runPixel;
  unsigned r = 1;
  while (n > 0) {
    if (r == 1) {
      longestRun = 1;
      emitCounted(static_cast<unsigned>(runPixel));
      --n;
    } else if (n >= r) {
      longestRun = r;
      emitCounted(firstFree + r - 2);
      n -= r;
    } else {
      ++longestRun;
      emitCounted(n == 1 ? static_cast<unsigned>(runPixel) : firstFree + n - 2);
      n = 0;
    }
    r = emitted == 0 ? 1 : r + 1;
  }
  resetClearMark();
}

void RunLengthEncoder::flushClearOrRepeat(unsigned n) {
  if (1 + costFromClear(n, tableLimit) < n) {
    emitClear();
    flushFromClear(n);
  } else {
    for (; n > 0; --n) emitCounted(static_cast<unsigned>(runPixel));
  }
}

void RunLengthEncoder::flushWithTable(unsigned n) {
  const unsigned t = longestRun;
  unsigned repeats = n / t;
  unsigned leftover = n % t;
  unsigned leftoverCost = leftover ? 1 : 0;
  if (tableLimit < repeats + emitted + leftoverCost) {
    repeats = tableLimit > emitted ? tableLimit - emitted : 0;
    leftover = n - t * repeats;
    leftoverCost = 1 + costFromClear(leftover, tableLimit);
  }
  if (1 + costFromClear(n, tableLimit) < repeats + leftoverCost) {
    emitClear();
    flushFromClear(n);
    return;
  }
  raiseClearMark();
  for (; repeats > 0; --repeats) emitCounted(firstFree + t - 2);
  if (leftover > 0) {
    if (justCleared)
      flushFromClear(leftover);
    else
      emitCounted(leftover == 1 ? static_cast<unsigned>(runPixel) : firstFree + leftover - 2);
  }
  resetClearMark();
}

void RunLengthEncoder::flush() {
  if (runCount == 1) {
    emitCounted(static_cast<unsigned>(runPixel));
  } else if (justCleared) {
    flushFromClear(runCount);
  } else if (longestRun < 2 || longestRunPixel != runPixel) {
    flushClearOrRepeat(runCount);
  } else {
    flushWithTable(runCount);
  }
  runCount = 0;
}

void RunLengthEncoder::compressPixels() {
  didClear();
  emitBits(clearCode);
  const int limit = allowed;
  forEachSpan([&](const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const int c = p[i];
      if (c >= limit) colorNotInTable();
      if (runCount > 0 && c != runPixel) flush();
      if (c == runPixel && runCount > 0) {
        ++runCount;
      } else {
        runPixel = c;
        runCount = 1;
      }
    }
  });
  if (runCount > 0) flush();
}

}  // namespace zefra::gif
