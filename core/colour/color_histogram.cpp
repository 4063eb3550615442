#include "colour/color_histogram.h"

#include <algorithm>

namespace zefra::colour {

namespace {

std::uint32_t hashOf(std::uint32_t key) {
  key *= 0x9E3779B1u;
  return key ^ (key >> 15);
}

}  // namespace

ColorHistogram::ColorHistogram(std::size_t maxDistinct) : limit(std::max<std::size_t>(maxDistinct, 256)) {
  std::size_t size = 1024;
  cells.assign(size, Cell{});
}

void ColorHistogram::insert(std::uint32_t key, std::uint64_t count, const std::uint64_t sum[3]) {
  const std::size_t mask = cells.size() - 1;
  std::size_t at = hashOf(key) & mask;
  while (cells[at].key != 0 && cells[at].key != key + 1) at = (at + 1) & mask;
  Cell& cell = cells[at];
  if (cell.key == 0) {
    cell.key = key + 1;
    ++used;
  }
  cell.count += count;
  for (int c = 0; c < 3; ++c) cell.sum[c] += sum[c];
  if (used * 2 > cells.size()) {
    // Grow while the exact bound allows it, else count coarser.
    if (used > limit) {
      coarsen();
    } else {
      std::vector<Cell> old(cells.size() * 2);
      old.swap(cells);
      used = 0;
      for (const Cell& c : old)
        if (c.key != 0) insert(c.key - 1, c.count, c.sum);
    }
  }
}

void ColorHistogram::coarsen() {
  do {
    ++shift;
    std::vector<Cell> old(cells.size());
    old.swap(cells);
    used = 0;
    const std::uint32_t keep = (0xFFu << shift) & 0xFFu;
    const std::uint32_t mask = keep | (keep << 8) | (keep << 16);
    for (const Cell& c : old)
      if (c.key != 0) insert((c.key - 1) & mask, c.count, c.sum);
  } while (used > limit && shift < 7);
}

void ColorHistogram::add(Color color, std::uint64_t count) {
  if (count == 0) return;
  color &= 0xFFFFFF;
  pixels += count;
  const std::uint64_t sum[3] = {redOf(color) * count, greenOf(color) * count, blueOf(color) * count};
  const std::uint32_t keep = (0xFFu << shift) & 0xFFu;
  insert(color & (keep | (keep << 8) | (keep << 16)), count, sum);
}

void ColorHistogram::add(const raster::FastBitmap& picture, std::optional<Color> skip) {
  const Color skipped = skip ? (*skip & 0xFFFFFF) : 0xFFFFFFFFu;
  for (int y = 0; y < picture.height(); ++y) {
    const std::uint8_t* p = picture.row(y);
    // Runs of one colour are common in banners; count each run once.
    Color run = 0xFFFFFFFFu;
    std::uint64_t length = 0;
    for (int x = 0; x < picture.width(); ++x, p += 3) {
      const Color c = rgb(p[2], p[1], p[0]);
      if (c == run) {
        ++length;
        continue;
      }
      if (length && run != skipped) add(run, length);
      run = c;
      length = 1;
    }
    if (length && run != skipped) add(run, length);
  }
}

std::vector<WeightedColor> ColorHistogram::colors() const {
  std::vector<WeightedColor> out;
  out.reserve(used);
  for (const Cell& c : cells) {
    if (c.key == 0) continue;
    WeightedColor w;
    if (shift == 0) {
      w.color = c.key - 1;
    } else {
      const std::uint64_t weight = c.count;
      w.color = rgb(static_cast<std::uint8_t>((c.sum[0] + weight / 2) / weight),
                    static_cast<std::uint8_t>((c.sum[1] + weight / 2) / weight),
                    static_cast<std::uint8_t>((c.sum[2] + weight / 2) / weight));
    }
    w.weight = c.count;
    out.push_back(w);
  }
  return out;
}

}  // namespace zefra::colour
