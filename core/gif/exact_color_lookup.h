#pragma once
// Nearest palette colour by the full squared RGB distance, for any 24-bit colour: no
// precision is dropped, so two colours that differ in the last bit may well get
// different entries, and a colour of the palette always gets its own entry (the lowest
// index among equal entries). Answers are cached per colour, so each distinct colour of a
// picture is searched once.

#include <cstdint>
#include <vector>

#include "common/color.h"
#include "gif/palettes.h"

namespace zefra::gif {

class ExactColorLookup {
 public:
  // The palette must not be empty (std::invalid_argument) and holds at most 256 colours.
  explicit ExactColorLookup(const Palette& palette);

  // Searches without touching the cache.
  int nearest(Color color) const;
  // Cached.
  int indexFor(Color color);
  const Palette& palette() const { return colors; }

 private:
  struct Entry {
    int key;  // red + green + blue
    std::uint8_t red, green, blue, index;
  };
  Palette colors;
  std::vector<Entry> byKey;  // sorted by key
  std::vector<std::uint64_t> cache;  // (colour + 1) << 8 | index; 0 = free
  std::size_t cached = 0;
};

}  // namespace zefra::gif
