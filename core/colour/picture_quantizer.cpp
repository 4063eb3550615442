#include "colour/picture_quantizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <thread>
#include <unordered_set>

#include "colour/color_histogram.h"
#include "colour/exact_color_lookup.h"
#include "colour/palette_builder.h"

namespace zefra::colour {

namespace {

constexpr std::uint64_t kLargePicture = std::uint64_t{1} << 18;

bool fewerColorsThan(const raster::FastBitmap& picture, std::size_t limit) {
  std::unordered_set<Color> seen;
  for (int y = 0; y < picture.height(); ++y) {
    const std::uint8_t* p = picture.row(y);
    for (int x = 0; x < picture.width(); ++x, p += 3) {
      seen.insert(rgb(p[2], p[1], p[0]));
      if (seen.size() >= limit) return false;
    }
  }
  return true;
}

// The colours of a large, colourful picture counted in cells of 5 bits per channel, each
// cell standing for the mean of its pixels: a table indexed by the colour, so the count
// costs no more than reading the pixels.
std::vector<WeightedColor> cellMeans(const raster::FastBitmap& picture) {
  struct Cell {
    std::uint64_t count = 0;
    std::array<std::uint64_t, 3> sum{0, 0, 0};
  };
  std::vector<Cell> cells(std::size_t{1} << 15);
  for (int y = 0; y < picture.height(); ++y) {
    const std::uint8_t* p = picture.row(y);
    for (int x = 0; x < picture.width(); ++x, p += 3) {
      Cell& c = cells[static_cast<std::size_t>(((p[2] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[0] >> 3))];
      ++c.count;
      c.sum[0] += p[2];
      c.sum[1] += p[1];
      c.sum[2] += p[0];
    }
  }
  std::vector<WeightedColor> out;
  for (const Cell& c : cells) {
    if (c.count == 0) continue;
    auto mean = [&](int k) { return static_cast<std::uint8_t>((c.sum[static_cast<std::size_t>(k)] + c.count / 2) / c.count); };
    out.push_back({rgb(mean(0), mean(1), mean(2)), c.count});
  }
  return out;
}

}  // namespace

Palette pictureFitPalette(const raster::FastBitmap& picture, int maxColors) {
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(0, picture.width())) *
                               static_cast<std::uint64_t>(std::max(0, picture.height()));
  if (pixels >= kLargePicture && !fewerColorsThan(picture, 4096)) {
    // Cell means lose nothing the k-means rounds would not average away anyway.
    return buildPalette(cellMeans(picture), maxColors, 3);
  }
  ColorHistogram histogram;
  histogram.add(picture);
  return buildPalette(histogram.colors(), maxColors);
}

IndexedBitmap quantizePicture(const raster::FastBitmap& picture, int maxColors) {
  if (picture.empty()) return {};
  const Palette palette = pictureFitPalette(picture, maxColors);
  IndexedBitmap out(picture.width(), picture.height(), 8);
  for (const Color c : palette) out.palette().push_back(toRgb(c));
  const bool large = static_cast<std::uint64_t>(picture.width()) * static_cast<std::uint64_t>(picture.height()) >=
                     kLargePicture;
  if (large) {
    // A large photo-like picture holds hundreds of thousands of distinct colours, and
    // searching each costs more than everything else together. Colours that differ only in
    // their two lowest bits per channel share the answer for the middle of their cell:
    // 2^18 cells fit in the processor's cache, and the error added is a fraction of what the
    // 256-colour palette itself leaves. The two halves of the picture are mapped at once,
    // each with its own table, so nothing is shared between the threads.
    auto mapRows = [&](int from, int to) {
      ExactColorLookup lookup(palette);
      std::vector<std::int16_t> cell(std::size_t{1} << 18, -1);
      for (int y = from; y < to; ++y) {
        const std::uint8_t* p = picture.row(y);
        std::uint8_t* q = out.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
          const std::size_t key = (std::size_t{p[2]} >> 2 << 12) | (std::size_t{p[1]} >> 2 << 6) | (std::size_t{p[0]} >> 2);
          std::int16_t& index = cell[key];
          if (index < 0)
            index = static_cast<std::int16_t>(lookup.nearest(rgb(static_cast<std::uint8_t>((p[2] & 0xFC) | 2),
                                                                 static_cast<std::uint8_t>((p[1] & 0xFC) | 2),
                                                                 static_cast<std::uint8_t>((p[0] & 0xFC) | 2))));
          q[x] = static_cast<std::uint8_t>(index);
        }
      }
    };
    const int half = picture.height() / 2;
    std::thread lower(mapRows, half, picture.height());
    mapRows(0, half);
    lower.join();
    return out;
  }
  ExactColorLookup lookup(palette);
  for (int y = 0; y < picture.height(); ++y) {
    const std::uint8_t* p = picture.row(y);
    std::uint8_t* q = out.row(y);
    Color previous = 0xFFFFFFFFu;
    std::uint8_t index = 0;
    for (int x = 0; x < picture.width(); ++x, p += 3) {
      const Color c = rgb(p[2], p[1], p[0]);
      if (c != previous) {
        previous = c;
        index = static_cast<std::uint8_t>(lookup.indexFor(c));
      }
      q[x] = index;
    }
  }
  return out;
}

}  // namespace zefra::colour
