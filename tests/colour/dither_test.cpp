// Ditherers: serpentine order, kernel shares and their direction, guard cells, clamping.

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "colour/dither.h"

namespace zefra::colour {
namespace {

// Nearest grey by red channel only, first entry on a tie; no caching, so answers never
// depend on earlier questions.
class GreyLookup final : public ColorLookup {
 public:
  explicit GreyLookup(std::vector<int> levels) : ColorLookup(static_cast<int>(levels.size())), levels(std::move(levels)) {}
  int indexFor(std::uint8_t red, std::uint8_t, std::uint8_t, Color& chosen) override {
    int best = 0;
    for (int i = 1; i < static_cast<int>(levels.size()); ++i)
      if (std::abs(levels[static_cast<std::size_t>(i)] - red) < std::abs(levels[static_cast<std::size_t>(best)] - red)) best = i;
    const auto v = static_cast<std::uint8_t>(levels[static_cast<std::size_t>(best)]);
    chosen = rgb(v, v, v);
    return best;
  }

 private:
  std::vector<int> levels;
};

// Answers every colour exactly (index 0) except on call number `errorCall`, where it answers
// black, so that exactly one pixel makes an error. Records what each call was asked.
class OneErrorLookup final : public ColorLookup {
 public:
  explicit OneErrorLookup(int errorCall) : ColorLookup(1), errorCall(errorCall) {}
  int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) override {
    asked.push_back(rgb(red, green, blue));
    chosen = (calls++ == errorCall) ? rgb(0, 0, 0) : rgb(red, green, blue);
    return 0;
  }
  std::vector<Color> asked;

 private:
  int errorCall;
  int calls = 0;
};

// Runs an engine over a grey picture the way mapToPalette does; returns indices by position.
std::vector<std::vector<int>> run(DitherEngine& engine, const std::vector<std::vector<int>>& grey,
                                  std::vector<std::pair<int, int>>* order = nullptr) {
  const int w = engine.pictureWidth();
  std::vector<std::vector<int>> out(grey.size(), std::vector<int>(static_cast<std::size_t>(w), -1));
  for (std::size_t y = 0; y < grey.size(); ++y) {
    for (int x = engine.column(); x >= 0 && x < w; x = engine.column()) {
      const auto v = static_cast<std::uint8_t>(grey[y][static_cast<std::size_t>(x)]);
      if (order) order->emplace_back(x, static_cast<int>(y));
      out[y][static_cast<std::size_t>(x)] = engine.pickIndex(v, v, v);
    }
    engine.endRow();
  }
  return out;
}

TEST(DitherTest, EveryKindWalksRowsInSerpentineOrder) {
  for (int k = 0; k < 7; ++k) {
    GreyLookup lookup({0, 255});
    auto engine = createDitherer(static_cast<DitherKind>(k), 3, lookup);
    ASSERT_NE(engine, nullptr);
    std::vector<std::pair<int, int>> order;
    run(*engine, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, &order);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1},
                                                       {0, 1}, {0, 2}, {1, 2}, {2, 2}};
    EXPECT_EQ(order, expected) << "kind " << k;
  }
  GreyLookup lookup({0});
  EXPECT_EQ(createDitherer(static_cast<DitherKind>(7), 3, lookup), nullptr);
}

struct KernelCase {
  DitherKind kind;
  int divisor;
  // weight by (rows below, columns ahead in the direction of the row that made the error)
  std::map<std::pair<int, int>, int> weights;
};

std::vector<KernelCase> kernels() {
  return {
      {DitherKind::FloydSteinberg, 16, {{{0, 1}, 7}, {{1, -1}, 3}, {{1, 0}, 5}, {{1, 1}, 1}}},
      {DitherKind::Stucki, 42, {{{0, 1}, 8}, {{0, 2}, 4}, {{1, -2}, 2}, {{1, -1}, 4}, {{1, 0}, 8}, {{1, 1}, 4}, {{1, 2}, 2},
                                {{2, -2}, 1}, {{2, -1}, 2}, {{2, 0}, 4}, {{2, 1}, 2}, {{2, 2}, 1}}},
      {DitherKind::Sierra, 32, {{{0, 1}, 5}, {{0, 2}, 3}, {{1, -2}, 2}, {{1, -1}, 4}, {{1, 0}, 5}, {{1, 1}, 4}, {{1, 2}, 2},
                                {{2, -1}, 2}, {{2, 0}, 3}, {{2, 1}, 2}}},
      {DitherKind::JaJuNi, 48, {{{0, 1}, 7}, {{0, 2}, 5}, {{1, -2}, 3}, {{1, -1}, 5}, {{1, 0}, 7}, {{1, 1}, 5}, {{1, 2}, 3},
                                {{2, -2}, 1}, {{2, -1}, 3}, {{2, 0}, 5}, {{2, 1}, 3}, {{2, 2}, 1}}},
      {DitherKind::SteveArche, 200, {{{0, 2}, 32}, {{1, -3}, 12}, {{1, -1}, 26}, {{1, 1}, 30}, {{1, 3}, 16},
                                     {{2, -2}, 12}, {{2, 0}, 26}, {{2, 2}, 12},
                                     {{3, -3}, 5}, {{3, -1}, 12}, {{3, 1}, 12}, {{3, 3}, 5}}},
      {DitherKind::Burkes, 32, {{{0, 1}, 8}, {{0, 2}, 4}, {{1, -2}, 2}, {{1, -1}, 4}, {{1, 0}, 8}, {{1, 1}, 4}, {{1, 2}, 2}}},
  };
}

// One pixel at column 4 of row `sourceRow` makes an error of 200 in every channel; every other
// pixel is answered exactly. Each later pixel must then be asked for
// 0 + (200 * weight + D div 2) div D, with "ahead" measured in that row's direction.
void checkKernel(const KernelCase& kc, int sourceRow) {
  const int w = 9;
  const int h = 6;
  const int sourceCol = 4;
  // Calls before the source pixel: full rows, then the columns done in its row (row 0 runs
  // left to right, row 1 right to left, so column 4 is the fifth call either way).
  OneErrorLookup lookup(sourceRow * w + 4);
  auto engine = createDitherer(kc.kind, w, lookup);
  std::vector<std::vector<int>> picture(static_cast<std::size_t>(h), std::vector<int>(static_cast<std::size_t>(w), 0));
  picture[static_cast<std::size_t>(sourceRow)][static_cast<std::size_t>(sourceCol)] = 200;
  std::vector<std::pair<int, int>> order;
  run(*engine, picture, &order);
  const int dir = sourceRow % 2 == 0 ? 1 : -1;
  ASSERT_EQ(lookup.asked.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto [x, y] = order[i];
    int expected = picture[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
    const int below = y - sourceRow;
    const bool later = below > 0 || (below == 0 && (x - sourceCol) * dir > 0);
    if (later) {
      const auto it = kc.weights.find({below, (x - sourceCol) * dir});
      if (it != kc.weights.end()) expected += (200 * it->second + kc.divisor / 2) / kc.divisor;
    }
    EXPECT_EQ(lookup.asked[i], rgb(static_cast<std::uint8_t>(expected), static_cast<std::uint8_t>(expected),
                                   static_cast<std::uint8_t>(expected)))
        << "kind " << static_cast<int>(kc.kind) << " source row " << sourceRow << " at (" << x << "," << y << ")";
  }
}

TEST(DitherTest, KernelsSpreadTheErrorWithTheirWeightsRelativeToTheRowDirection) {
  for (const KernelCase& kc : kernels()) {
    checkKernel(kc, 0);  // error made while going right
    checkKernel(kc, 1);  // error made while going left: the kernel is mirrored
  }
}

TEST(DitherTest, OnePixelWideColumnKeepsOnlyVerticalShares) {
  // Floyd-Steinberg on a 1-pixel column of grey 100 over black/white. Worked by hand:
  // row0 100 -> 0, e 100, below += 500; row1 100+31=131 -> 255, e -124, below += -620;
  // row2 100+(-612/16=-38)=62 -> 0, e 62, below += 310; row3 100+19=119 -> 0, e 119,
  // below += 595; row4 100+37=137 -> 255.
  GreyLookup lookup({0, 255});
  FloydSteinbergDitherer engine(1, lookup);
  const auto out = run(engine, {{100}, {100}, {100}, {100}, {100}});
  EXPECT_EQ(out, (std::vector<std::vector<int>>{{0}, {1}, {0}, {0}, {1}}));
}

TEST(DitherTest, AdjustedValuesAreClampedAndTheErrorComesFromTheClampedValue) {
  // Palette greys 0 and 200. Row 0: 250 -> 200 (e 50, right += 350); 250+22 = 272 clamps to
  // 255 -> 200 with e 55. Row 1 (right to left) starts at column 1 with 50 + 5*55 = 325
  // accumulated: 78 + 20 = 98 -> 0. Had the error been taken unclamped (72), column 1 would
  // see 78 + 26 = 104 -> 200. Column 0: 415 + 7*98 = 1101 -> 78 + 69 = 147 -> 200.
  GreyLookup lookup({0, 200});
  FloydSteinbergDitherer engine(2, lookup);
  const auto out = run(engine, {{250, 250}, {78, 78}});
  EXPECT_EQ(out, (std::vector<std::vector<int>>{{1, 1}, {1, 0}}));
}

TEST(DitherTest, WithAnExactPaletteEveryKindEqualsNearest) {
  std::vector<std::vector<int>> picture(5, std::vector<int>(7));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) picture[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = ((x + y) % 3) * 100;
  GreyLookup nearestLookup({0, 100, 200});
  DitherEngine plain(7, nearestLookup);
  const auto expected = run(plain, picture);
  for (int k = 1; k < 7; ++k) {
    GreyLookup lookup({0, 100, 200});
    auto engine = createDitherer(static_cast<DitherKind>(k), 7, lookup);
    EXPECT_EQ(run(*engine, picture), expected) << "kind " << k;
  }
}

TEST(DitherTest, ErrorDiffusionKeepsTheAverageOfAFlatArea) {
  // A flat 30% grey dithered to black and white must come out roughly 30% white; the plain
  // engine gives all black. This guards the sign and size of the error shares.
  for (int k = 1; k < 7; ++k) {
    GreyLookup lookup({0, 255});
    const int w = 40;
    const int h = 40;
    auto engine = createDitherer(static_cast<DitherKind>(k), w, lookup);
    const auto out = run(*engine, std::vector<std::vector<int>>(h, std::vector<int>(w, 77)));
    int white = 0;
    for (const auto& row : out)
      for (int v : row) white += v;
    const double share = static_cast<double>(white) / (w * h);
    EXPECT_NEAR(share, 77.0 / 255.0, 0.03) << "kind " << k;
  }
}

}  // namespace
}  // namespace zefra::colour
