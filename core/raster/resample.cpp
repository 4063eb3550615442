#include "raster/resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace zefra::raster {
namespace {

// The weights of the source pixels that make up each target pixel along one axis.
struct Tap {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Tap> tapsFor(int from, int to) {
  std::vector<Tap> taps(static_cast<std::size_t>(to));
  const double scale = static_cast<double>(to) / from;
  for (int t = 0; t < to; ++t) {
    Tap& tap = taps[static_cast<std::size_t>(t)];
    if (scale < 1.0) {
      // Area average over [t / scale, (t + 1) / scale).
      const double begin = t / scale;
      const double end = std::min<double>(from, (t + 1) / scale);
      tap.first = static_cast<int>(std::floor(begin));
      const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
      for (int s = tap.first; s <= last; ++s) {
        const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
        tap.weights.push_back(static_cast<float>(covered / (end - begin)));
      }
    } else {
      // Linear between the two source centres around the target centre.
      const double centre = std::clamp((t + 0.5) / scale - 0.5, 0.0, static_cast<double>(from - 1));
      tap.first = std::min(static_cast<int>(centre), std::max(0, from - 2));
      const double fraction = centre - tap.first;
      tap.weights.push_back(static_cast<float>(1.0 - fraction));
      if (from > 1) tap.weights.push_back(static_cast<float>(fraction));
    }
  }
  return taps;
}

std::uint8_t toByte(float value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

}  // namespace

FastBitmap resampled(const FastBitmap& source, int width, int height) {
  if (source.empty()) return {};
  width = std::max(width, 1);
  height = std::max(height, 1);
  const int sw = source.width();
  const int sh = source.height();
  const std::vector<Tap> across = tapsFor(sw, width);
  const std::vector<Tap> down = tapsFor(sh, height);

  // Rows first into floating point, so the second pass does not round twice.
  std::vector<float> rows(static_cast<std::size_t>(sh) * static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < sh; ++y) {
    const std::uint8_t* in = source.row(y);
    float* out = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (int x = 0; x < width; ++x) {
      const Tap& tap = across[static_cast<std::size_t>(x)];
      float sum[3] = {0, 0, 0};
      for (std::size_t k = 0; k < tap.weights.size(); ++k) {
        const std::uint8_t* p = in + 3 * (tap.first + static_cast<int>(k));
        for (int c = 0; c < 3; ++c) sum[c] += tap.weights[k] * p[c];
      }
      for (int c = 0; c < 3; ++c) out[3 * x + c] = sum[c];
    }
  }
  FastBitmap result(width, height);
  for (int y = 0; y < height; ++y) {
    const Tap& tap = down[static_cast<std::size_t>(y)];
    std::uint8_t* out = result.row(y);
    for (int x = 0; x < width; ++x) {
      float sum[3] = {0, 0, 0};
      for (std::size_t k = 0; k < tap.weights.size(); ++k) {
        const float* p = rows.data() + (static_cast<std::size_t>(tap.first) + k) * static_cast<std::size_t>(width) * 3 +
                         3 * static_cast<std::size_t>(x);
        for (int c = 0; c < 3; ++c) sum[c] += tap.weights[k] * p[c];
      }
      for (int c = 0; c < 3; ++c) out[3 * x + c] = toByte(sum[c]);
    }
  }
  return result;
}

}  // namespace zefra::raster
