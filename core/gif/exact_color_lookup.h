#pragma once
// Nearest palette colour by the full squared RGB distance, for any 24-bit colour: no
// precision is dropped, so two colours that differ in the last bit may well get
// different entries, and a colour of the palette always gets its own entry (the lowest
// index among equal entries). The colour space is divided into 4096 cells, and each cell
// lists, when first needed, the only entries that can be nearest to some colour inside
// it, so a search compares a handful of entries. Answers are cached per colour, so each
// distinct colour of a picture is searched once.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/color.h"
#include "gif/palettes.h"

namespace zefra::gif {

class ExactColorLookup {
 public:
  // The palette must not be empty (std::invalid_argument) and holds at most 256 colours.
  // A dense cache answers from a 16 MB table indexed by the colour itself, which pays off
  // for pictures of a million pixels and more; otherwise a hash table grows with the
  // number of distinct colours asked.
  explicit ExactColorLookup(const Palette& palette, bool denseCache = false);

  // Searches without touching the cache.
  int nearest(Color color);
  // Cached.
  int indexFor(Color color) {
    color &= 0xFFFFFF;
    if (dense) {
      if (known[color >> 6] & (std::uint64_t{1} << (color & 63))) return denseIndex[color];
      return denseMiss(color);
    }
    return hashedIndexFor(color);
  }
  const Palette& palette() const { return colors; }

 private:
  int denseMiss(Color color);
  int hashedIndexFor(Color color);
  const std::vector<std::uint8_t>& candidatesOf(int cell);

  Palette colors;
  std::array<int, 256> reds{}, greens{}, blues{};
  std::vector<std::vector<std::uint8_t>> cells;  // 16 x 16 x 16, filled on first use
  std::vector<char> cellReady;
  std::vector<std::uint64_t> cache;  // (colour + 1) << 8 | index; 0 = free
  std::size_t cached = 0;
  bool dense = false;
  // Read only where `known` says it was written, so its pages are never cleared up front.
  std::unique_ptr<std::uint8_t[]> denseIndex;
  std::vector<std::uint64_t> known;
};

}  // namespace zefra::gif
