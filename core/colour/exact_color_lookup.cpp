#include "colour/exact_color_lookup.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace zefra::colour {

namespace {

constexpr int kCellBits = 4;
constexpr int kCellSize = 256 >> kCellBits;  // levels per channel in a cell

int cellOf(Color c) {
  return ((redOf(c) >> (8 - kCellBits)) << (2 * kCellBits)) | ((greenOf(c) >> (8 - kCellBits)) << kCellBits) |
         (blueOf(c) >> (8 - kCellBits));
}

// Squared distance from v to the nearest and to the farthest level of [lo, hi].
int nearGap(int v, int lo, int hi) {
  const int d = v < lo ? lo - v : (v > hi ? v - hi : 0);
  return d * d;
}
int farGap(int v, int lo, int hi) {
  const int d = std::max(v - lo, hi - v);
  return d * d;
}

}  // namespace

ExactColorLookup::ExactColorLookup(const Palette& palette) : colors(palette) {
  if (colors.empty()) throw std::invalid_argument("A colour lookup needs at least one colour");
  if (colors.size() > 256) colors.resize(256);
  for (Color& c : colors) c &= 0xFFFFFF;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    reds[i] = redOf(colors[i]);
    greens[i] = greenOf(colors[i]);
    blues[i] = blueOf(colors[i]);
  }
  cells.resize(std::size_t{1} << (3 * kCellBits));
  cellReady.assign(cells.size(), 0);
  cache.assign(4096, 0);
}

const std::vector<std::uint8_t>& ExactColorLookup::candidatesOf(int cell) {
  std::vector<std::uint8_t>& list = cells[static_cast<std::size_t>(cell)];
  if (cellReady[static_cast<std::size_t>(cell)]) return list;
  const int r0 = (cell >> (2 * kCellBits)) * kCellSize;
  const int g0 = ((cell >> kCellBits) & ((1 << kCellBits) - 1)) * kCellSize;
  const int b0 = (cell & ((1 << kCellBits) - 1)) * kCellSize;
  const int r1 = r0 + kCellSize - 1, g1 = g0 + kCellSize - 1, b1 = b0 + kCellSize - 1;
  // Every colour of the cell is within `bound` of some entry, so an entry farther than
  // that from the whole cell can never be the nearest for any of its colours.
  // Channels held apart so both passes run over plain arrays the compiler can vectorise.
  const std::size_t n = colors.size();
  std::array<int, 256> near{};
  int bound = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < n; ++i) {
    bound = std::min(bound, farGap(reds[i], r0, r1) + farGap(greens[i], g0, g1) + farGap(blues[i], b0, b1));
    near[i] = nearGap(reds[i], r0, r1) + nearGap(greens[i], g0, g1) + nearGap(blues[i], b0, b1);
  }
  for (std::size_t i = 0; i < n; ++i)
    if (near[i] <= bound) list.push_back(static_cast<std::uint8_t>(i));
  cellReady[static_cast<std::size_t>(cell)] = 1;
  return list;
}

int ExactColorLookup::nearest(Color color) {
  const int r = redOf(color), g = greenOf(color), b = blueOf(color);
  int best = std::numeric_limits<int>::max();
  int bestIndex = 0;
  // Candidates are in index order, so the first of equally near entries wins.
  for (const std::uint8_t i : candidatesOf(cellOf(color))) {
    const Color c = colors[i];
    const int dr = redOf(c) - r, dg = greenOf(c) - g, db = blueOf(c) - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < best) {
      best = d;
      bestIndex = i;
    }
  }
  return bestIndex;
}

int ExactColorLookup::indexFor(Color color) {
  color &= 0xFFFFFF;
  const std::uint64_t tag = color + 1;
  std::size_t mask = cache.size() - 1;
  std::size_t at = ((static_cast<std::uint32_t>(tag) * 0x9E3779B1u) >> 8) & mask;
  while (cache[at] != 0) {
    if ((cache[at] >> 8) == tag) return static_cast<int>(cache[at] & 0xFF);
    at = (at + 1) & mask;
  }
  const int index = nearest(color);
  cache[at] = (tag << 8) | static_cast<std::uint64_t>(index);
  if (++cached * 2 > cache.size()) {
    std::vector<std::uint64_t> old(cache.size() * 2, 0);
    old.swap(cache);
    mask = cache.size() - 1;
    for (std::uint64_t v : old) {
      if (v == 0) continue;
      std::size_t p = ((static_cast<std::uint32_t>(v >> 8) * 0x9E3779B1u) >> 8) & mask;
      while (cache[p] != 0) p = (p + 1) & mask;
      cache[p] = v;
    }
  }
  return index;
}

}  // namespace zefra::colour
