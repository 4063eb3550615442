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
#include <vector>

#include "common/color.h"
#include "colour/palettes.h"

namespace zefra::colour {

class ExactColorLookup {
 public:
  // The palette must not be empty (std::invalid_argument) and holds at most 256 colours.
  // The cache is a hash table that grows with the number of distinct colours asked.
  explicit ExactColorLookup(const Palette& palette);

  // Searches without touching the cache.
  int nearest(Color color);
  // Cached.
  int indexFor(Color color);
  const Palette& palette() const { return colors; }

 private:
  const std::vector<std::uint8_t>& candidatesOf(int cell);

  Palette colors;
  std::array<int, 256> reds{}, greens{}, blues{};
  std::vector<std::vector<std::uint8_t>> cells;  // 16 x 16 x 16, filled on first use
  std::vector<char> cellReady;
  std::vector<std::uint64_t> cache;  // (colour + 1) << 8 | index; 0 = free
  std::size_t cached = 0;
};

}  // namespace zefra::colour
