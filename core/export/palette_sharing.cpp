#include "export/palette_sharing.h"

#include <array>
#include <bitset>

#include "colour/color_lookup.h"

namespace zefra::exporter {

namespace {

constexpr std::uint32_t kColorSpace = 1u << 24;

using CubeSet = std::bitset<216>;

// The cube step (0..5) of each channel value, as the cube reduction picks it.
std::array<std::uint8_t, 256> cubeSteps() {
  std::array<std::uint8_t, 256> steps{};
  colour::WebCubeLookup lookup;
  Color chosen = 0;
  for (int c = 0; c < 256; ++c)
    steps[static_cast<std::size_t>(c)] =
        static_cast<std::uint8_t>(lookup.indexFor(static_cast<std::uint8_t>(c), 0, 0, chosen) / 36);
  return steps;
}

// The web-cube entries a picture uses when reduced to the cube with the nearest colour.
CubeSet cubeColorsOf(const raster::FastBitmap& bitmap) {
  static const std::array<std::uint8_t, 256> step = cubeSteps();
  CubeSet used;
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 3)
      used.set(static_cast<std::size_t>(step[p[2]] * 36 + step[p[1]] * 6 + step[p[0]]));
  }
  return used;
}

}  // namespace

int DistinctColorCounter::count(const raster::FastBitmap& bitmap) {
  if (seen.empty()) seen.assign(kColorSpace / 64, 0);
  touched.clear();
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 3) {
      const std::uint32_t c = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
      std::uint64_t& word = seen[c >> 6];
      const std::uint64_t bit = std::uint64_t{1} << (c & 63);
      if ((word & bit) == 0) {
        word |= bit;
        touched.push_back(c);
      }
    }
  }
  for (std::uint32_t c : touched) seen[c >> 6] = 0;
  return static_cast<int>(touched.size());
}

int paletteSourceFrame(std::span<const raster::FastBitmap> frames) {
  DistinctColorCounter counter;
  int best = 0;
  int source = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int n = counter.count(frames[i]);
    if (n > best) {
      best = n;
      source = static_cast<int>(i);
    }
  }
  return source;
}

bool isUsePalette(std::span<const raster::FastBitmap> frames, int source) {
  if (source < 0 || static_cast<std::size_t>(source) >= frames.size()) return false;
  if (frames[static_cast<std::size_t>(source)].empty()) return false;
  const CubeSet sourceColors = cubeColorsOf(frames[static_cast<std::size_t>(source)]);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (static_cast<int>(i) == source) continue;
    if (frames[i].empty()) return false;
    const CubeSet colors = cubeColorsOf(frames[i]);
    const std::size_t shared = (colors & sourceColors).count();
    // shared / colors < 0.9, kept in integers so that exactly 90 % shares.
    if (shared * 10 < colors.count() * 9) return false;
  }
  return true;
}

}  // namespace zefra::exporter
