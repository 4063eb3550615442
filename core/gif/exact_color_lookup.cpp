#include "gif/exact_color_lookup.h"

#include <algorithm>
#include <stdexcept>

namespace zefra::gif {

ExactColorLookup::ExactColorLookup(const Palette& palette) : colors(palette) {
  if (colors.empty()) throw std::invalid_argument("A colour lookup needs at least one colour");
  if (colors.size() > 256) colors.resize(256);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const Color c = colors[i];
    byKey.push_back(Entry{redOf(c) + greenOf(c) + blueOf(c), redOf(c), greenOf(c), blueOf(c),
                          static_cast<std::uint8_t>(i)});
  }
  std::stable_sort(byKey.begin(), byKey.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  cache.assign(4096, 0);
}

int ExactColorLookup::nearest(Color color) const {
  const int r = redOf(color), g = greenOf(color), b = blueOf(color);
  const int key = r + g + b;
  // The distance along the grey axis bounds the full distance from below:
  // (dr + dg + db)^2 <= 3 (dr^2 + dg^2 + db^2), so the search walks outwards from the
  // colour's place in key order and stops once that bound alone is too far.
  const auto start = std::lower_bound(byKey.begin(), byKey.end(), key,
                                      [](const Entry& e, int k) { return e.key < k; });
  int best = -1;
  int bestIndex = 256;
  auto consider = [&](const Entry& e) {
    const int dr = e.red - r, dg = e.green - g, db = e.blue - b;
    const int d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < best || (d == best && e.index < bestIndex)) {
      best = d;
      bestIndex = e.index;
    }
  };
  auto up = start;
  auto down = start;
  bool upOpen = up != byKey.end();
  bool downOpen = down != byKey.begin();
  while (upOpen || downOpen) {
    if (upOpen) {
      const int gap = up->key - key;
      if (best >= 0 && gap * gap > 3 * best) {
        upOpen = false;
      } else {
        consider(*up);
        ++up;
        upOpen = up != byKey.end();
      }
    }
    if (downOpen) {
      const auto& e = *(down - 1);
      const int gap = key - e.key;
      if (best >= 0 && gap * gap > 3 * best) {
        downOpen = false;
      } else {
        consider(e);
        --down;
        downOpen = down != byKey.begin();
      }
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

}  // namespace zefra::gif
