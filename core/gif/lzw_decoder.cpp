#include "gif/lzw_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "gif/gif_error.h"

namespace zefra::gif {

void LzwDecoder::resetTable() {
  // Roots stand for themselves; everything from the clear code up is zeroed, so a corrupt
  // reference to an undefined code decodes as pixels 0 rather than stale data.
  for (unsigned c = 0; c < clearCode; ++c) {
    prefix[c] = 0;
    suffix[c] = static_cast<std::uint8_t>(c);
    length[c] = 1;
  }
  // Only entries written since the last reset can be non-zero: zeroing just those keeps a
  // stream of back-to-back clear codes from costing a whole-table wipe each.
  const unsigned dirty = std::min<unsigned>(std::max(dirtyEnd, nextFree), kMaxCodes);
  if (dirty > clearCode) {
    std::fill(prefix.begin() + clearCode, prefix.begin() + dirty, 0);
    std::fill(suffix.begin() + clearCode, suffix.begin() + dirty, 0);
    std::fill(length.begin() + clearCode, length.begin() + dirty, 0);
  }
  dirtyEnd = clearCode;
  codeSize = minimumCodeSize + 1;
  codeMask = (1u << codeSize) - 1;
  limit = 1u << codeSize;
  nextFree = clearCode + 2;
}

bool LzwDecoder::loadBlock() {
  std::uint8_t size = 0;
  if (!in->readByte(size) || size == 0) {
    dataEnded = true;
    return false;
  }
  std::size_t n = size;
  if (n > in->remaining()) {
    (*warnings)("Premature end of data");
    n = in->remaining();
  }
  const auto bytes = in->take(n);
  blockPtr = bytes.data();
  blockEnd = blockPtr + bytes.size();
  return true;
}

bool LzwDecoder::readCodeRefilling(unsigned& code) {
  for (;;) {
    if (std::endian::native == std::endian::little && blockEnd - blockPtr >= 8 && bitCount <= 56) {
      // Take as many whole bytes as fit into the buffer in one load.
      std::uint64_t word;
      std::memcpy(&word, blockPtr, 8);
      const int take = (64 - bitCount) / 8;
      if (take < 8) word &= (std::uint64_t{1} << (8 * take)) - 1;
      bitBuffer |= word << bitCount;
      bitCount += 8 * take;
      blockPtr += take;
    }
    while (bitCount <= 56 && blockPtr != blockEnd) {
      bitBuffer |= static_cast<std::uint64_t>(*blockPtr++) << bitCount;
      bitCount += 8;
    }
    if (bitCount > codeSize || dataEnded) break;
    // The block is used up and at most one code's worth of bits is left: the next block
    // is needed (or its terminator, which ends the data).
    loadBlock();
    if (dataEnded) break;
  }
  if (bitCount < codeSize) {
    if (bitCount == 0) (*warnings)("Decoder bit buffer under-run");
    return false;
  }
  code = static_cast<unsigned>(bitBuffer) & codeMask;
  bitBuffer >>= codeSize;
  bitCount -= codeSize;
  return true;
}

void LzwDecoder::skipRemainingBlocks() {
  std::uint8_t size = 0;
  while (in->readByte(size) && size != 0) in->skip(size);
  dataEnded = true;
}

std::size_t LzwDecoder::decode(GifInput& input, std::span<std::uint8_t> out, const WarningSink& warn) {
  in = &input;
  warnings = &warn;
  blockPtr = blockEnd = nullptr;
  bitBuffer = 0;
  bitCount = 0;
  dataEnded = false;

  std::uint8_t n = 0;
  if (!input.readByte(n)) return 0;
  // Wider roots would need codes beyond the 12 bits the tables hold.
  if (n > kMaxMinimumCodeSize) throw GifError("Invalid LZW minimum code size");
  minimumCodeSize = n;
  clearCode = 1u << n;
  endCode = clearCode + 1;

  std::uint8_t* dst = out.data();
  std::size_t left = out.size();
  bool endSeen = false;
  bool cleared = true;  // the data behaves as if it began with a clear code
  unsigned prev = 0;
  std::size_t prevStart = 0;  // where the previous code's string begins in the output
  std::uint8_t first = 0;

  while (left > 0) {
    unsigned code = 0;
    if (cleared) {
      resetTable();
      bool got = false;
      while ((got = readCode(code)) && code == clearCode) {
      }
      if (!got) break;
      if (code == endCode) {
        endSeen = true;
        break;
      }
      first = code < clearCode ? suffix[code] : static_cast<std::uint8_t>(code);
      prevStart = static_cast<std::size_t>(dst - out.data());
      *dst++ = first;
      --left;
      prev = code;
      cleared = false;
      continue;
    }
    if (!readCode(code)) break;
    if (code == clearCode) {
      cleared = true;
      continue;
    }
    if (code == endCode) {
      endSeen = true;
      break;
    }

    // The string of this code: its table chain, or for a code not yet in the table the
    // previous string followed by that string's first pixel.
    const bool known = code < nextFree;
    const unsigned chain = known ? code : prev;
    const unsigned chainLength = (known || prev < nextFree) ? length[chain] : 0;
    const std::size_t written = static_cast<std::size_t>(dst - out.data());
    std::uint8_t root;
    if (chainLength > 1) {
      // A copy of earlier output, which ends before dst.
      const std::size_t total = chainLength + (known ? 0 : 1);
      const std::uint8_t* from = out.data() + start[chain];
      root = from[0];
      if (total <= left) {
        if (chainLength <= 16 && left >= 16) {
          // Short strings, the usual case: one fixed-size copy; the bytes after the string
          // are overwritten by the strings that follow (or filled by the caller).
          std::uint8_t block[16];
          std::memcpy(block, from, 16);
          std::memcpy(dst, block, 16);
        } else {
          std::memmove(dst, from, chainLength);
        }
        if (!known) dst[chainLength] = first;
        dst += total;
        left -= total;
      } else {
        const std::size_t put = std::min<std::size_t>(left, chainLength);
        std::memmove(dst, from, put);
        if (!known && put < left) dst[put] = first;
        dst += left;
        left = 0;
      }
    } else if (chainLength == 1) {
      root = suffix[chain];
      *dst++ = root;
      --left;
      if (!known && left > 0) {
        *dst++ = first;
        --left;
      }
    } else {
      // Corrupt data can make entries refer to codes above their own; walk such chains
      // one step at a time and refuse any that revisits a code.
      std::size_t sp = 0;
      unsigned c = code;
      if (!known) {
        stack[sp++] = first;
        c = prev;
      }
      int steps = 0;
      while (c >= clearCode) {
        if (prefix[c] == c || ++steps > kMaxCodes) throw GifError("Circular decoder table entry");
        stack[sp++] = suffix[c];
        c = prefix[c];
      }
      root = suffix[c];
      stack[sp++] = root;
      while (sp > 0 && left > 0) {
        *dst++ = stack[--sp];
        --left;
      }
    }
    first = root;

    if (nextFree < static_cast<unsigned>(kMaxCodes)) {
      prefix[nextFree] = static_cast<std::uint16_t>(prev);
      suffix[nextFree] = first;
      start[nextFree] = static_cast<std::uint32_t>(prevStart);
      length[nextFree] = (prev < nextFree && length[prev] != 0) ? static_cast<std::uint16_t>(length[prev] + 1) : 0;
      ++nextFree;
      if (nextFree >= limit && limit < static_cast<unsigned>(kMaxCodes)) {
        limit <<= 1;
        ++codeSize;
        codeMask = (1u << codeSize) - 1;
      }
    }
    prev = code;
    prevStart = written;
  }

  if (left == 0 && !endSeen && !dataEnded) {
    // The end code normally follows the last pixel.
    unsigned extra = 0;
    readCode(extra);
  }
  // Whatever follows the pixels (an end code, or surplus codes) belongs to this block.
  if (!dataEnded) skipRemainingBlocks();
  return out.size() - left;
}

}  // namespace zefra::gif
