#pragma once
// How often each colour occurs over any number of pictures, kept exactly as long as the
// pictures hold a reasonable number of distinct colours. Past that bound the colours are
// counted at a coarser precision (one bit less per channel at a time), so the memory stays
// bounded whatever is added; the mean colour of each coarse cell is kept, so a palette
// built from it still lands on the colours that were really there.

#include <cstdint>
#include <optional>
#include <vector>

#include "common/color.h"
#include "raster/fast_bitmap.h"

namespace zefra::colour {

struct WeightedColor {
  Color color = 0;           // 0x00BBGGRR
  std::uint64_t weight = 0;  // pixels of this colour
};

class ColorHistogram {
 public:
  // maxDistinct: how many colours are counted exactly before precision drops (>= 256).
  explicit ColorHistogram(std::size_t maxDistinct = std::size_t{1} << 16);

  void add(Color color, std::uint64_t count = 1);
  // Every pixel of the picture, except those equal to `skip` when it is given.
  void add(const raster::FastBitmap& picture, std::optional<Color> skip = std::nullopt);

  // Low bits dropped per channel (0 while every colour is exact).
  int droppedBits() const { return shift; }
  std::size_t distinct() const { return used; }
  std::uint64_t total() const { return pixels; }

  // The counted colours (cell means once precision dropped), in no particular order.
  std::vector<WeightedColor> colors() const;

 private:
  struct Cell {
    std::uint32_t key = 0;  // colour key + 1; 0 = free
    std::uint64_t count = 0;
    std::uint64_t sum[3] = {0, 0, 0};
  };
  void insert(std::uint32_t key, std::uint64_t count, const std::uint64_t sum[3]);
  void coarsen();

  std::size_t limit;
  int shift = 0;
  std::size_t used = 0;
  std::uint64_t pixels = 0;
  std::vector<Cell> cells;
};

}  // namespace zefra::colour
