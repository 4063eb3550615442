#include "colour/dither.h"

#include <algorithm>
#include <cstdlib>

namespace zefra::colour {

int DitherEngine::pickIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  Color chosen;
  const int index = lookup.indexFor(red, green, blue, chosen);
  col += dir;
  return index;
}

void DitherEngine::endRow() {
  dir = -dir;
  col = dir > 0 ? 0 : width - 1;
}

ErrorDiffusionDitherer::ErrorDiffusionDitherer(int width, ColorLookup& lookup,
                                               std::vector<KernelTap> taps, int divisor)
    : DitherEngine(width, lookup), kernel(std::move(taps)), div(divisor), rows(1), guard(0) {
  for (const KernelTap& t : kernel) {
    rows = std::max(rows, t.rowOffset + 1);
    guard = std::max(guard, std::abs(t.ahead));
  }
  span = static_cast<std::size_t>(std::max(width, 0)) + 2 * static_cast<std::size_t>(guard);
  errors.assign(static_cast<std::size_t>(rows) * 3 * span, 0);
  order.resize(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) order[static_cast<std::size_t>(i)] = i;
}

int ErrorDiffusionDitherer::pickIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const std::size_t cell = static_cast<std::size_t>(col + guard);
  const int source[3] = {red, green, blue};
  int adjusted[3];
  for (int c = 0; c < 3; ++c) {
    const std::int32_t accumulated = accumulator(order[0], c)[cell];
    // C++ division truncates toward zero, which is the rounding these kernels are tuned for.
    const int v = source[c] + (accumulated + div / 2) / div;
    adjusted[c] = std::clamp(v, 0, 255);
  }
  Color chosen;
  const int index = lookup.indexFor(static_cast<std::uint8_t>(adjusted[0]),
                                    static_cast<std::uint8_t>(adjusted[1]),
                                    static_cast<std::uint8_t>(adjusted[2]), chosen);
  const int picked[3] = {redOf(chosen), greenOf(chosen), blueOf(chosen)};
  for (int c = 0; c < 3; ++c) {
    const int error = adjusted[c] - picked[c];
    if (error == 0) continue;
    for (const KernelTap& t : kernel) {
      const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(cell) + t.ahead * dir;
      accumulator(order[static_cast<std::size_t>(t.rowOffset)], c)[at] += error * t.weight;
    }
  }
  col += dir;
  return index;
}

void ErrorDiffusionDitherer::endRow() {
  const int done = order[0];
  for (int c = 0; c < 3; ++c) std::fill_n(accumulator(done, c), span, 0);
  std::rotate(order.begin(), order.begin() + 1, order.end());
  DitherEngine::endRow();
}

FloydSteinbergDitherer::FloydSteinbergDitherer(int width, ColorLookup& lookup)
    : ErrorDiffusionDitherer(width, lookup, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}, 16) {}

StuckiDitherer::StuckiDitherer(int width, ColorLookup& lookup)
    : FiveByThreeDitherer(width, lookup,
                          {{0, 1, 8}, {0, 2, 4},
                           {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
                           {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1}},
                          42) {}

SierraDitherer::SierraDitherer(int width, ColorLookup& lookup)
    : FiveByThreeDitherer(width, lookup,
                          {{0, 1, 5}, {0, 2, 3},
                           {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
                           {2, -1, 2}, {2, 0, 3}, {2, 1, 2}},
                          32) {}

JarvisJudiceNinkeDitherer::JarvisJudiceNinkeDitherer(int width, ColorLookup& lookup)
    : FiveByThreeDitherer(width, lookup,
                          {{0, 1, 7}, {0, 2, 5},
                           {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
                           {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1}},
                          48) {}

StevensonArceDitherer::StevensonArceDitherer(int width, ColorLookup& lookup)
    : ErrorDiffusionDitherer(width, lookup,
                             {{0, 2, 32},
                              {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
                              {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
                              {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5}},
                             200) {}

BurkesDitherer::BurkesDitherer(int width, ColorLookup& lookup)
    : ErrorDiffusionDitherer(width, lookup,
                             {{0, 1, 8}, {0, 2, 4},
                              {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}},
                             32) {}

std::unique_ptr<DitherEngine> createDitherer(DitherKind kind, int width, ColorLookup& lookup) {
  switch (kind) {
    case DitherKind::Nearest: return std::make_unique<DitherEngine>(width, lookup);
    case DitherKind::FloydSteinberg: return std::make_unique<FloydSteinbergDitherer>(width, lookup);
    case DitherKind::Stucki: return std::make_unique<StuckiDitherer>(width, lookup);
    case DitherKind::Sierra: return std::make_unique<SierraDitherer>(width, lookup);
    case DitherKind::JaJuNi: return std::make_unique<JarvisJudiceNinkeDitherer>(width, lookup);
    case DitherKind::SteveArche: return std::make_unique<StevensonArceDitherer>(width, lookup);
    case DitherKind::Burkes: return std::make_unique<BurkesDitherer>(width, lookup);
  }
  return nullptr;
}

}  // namespace zefra::colour
