#include "colour/palette_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>

#include "colour/exact_color_lookup.h"

namespace zefra::colour {

namespace {

struct Point {
  std::array<double, 3> c;  // red, green, blue
  double w;
};

struct Box {
  std::size_t begin, end;
  double error;  // weighted squared distance of its colours to their mean
  bool operator<(const Box& other) const { return error < other.error; }
};

struct Moments {
  double w = 0;
  std::array<double, 3> s{0, 0, 0};
  double q = 0;  // sum of w * |c|^2
  void add(const Point& p) {
    w += p.w;
    for (int k = 0; k < 3; ++k) s[k] += p.w * p.c[k];
    q += p.w * (p.c[0] * p.c[0] + p.c[1] * p.c[1] + p.c[2] * p.c[2]);
  }
  double error() const {
    if (w <= 0) return 0;
    return std::max(0.0, q - (s[0] * s[0] + s[1] * s[1] + s[2] * s[2]) / w);
  }
};

Moments momentsOf(const std::vector<Point>& points, std::size_t begin, std::size_t end) {
  Moments m;
  for (std::size_t i = begin; i < end; ++i) m.add(points[i]);
  return m;
}

// Sorts the box along its widest channel and answers where to cut so that the two halves'
// errors add up to the least; 0 when the box cannot be cut.
std::size_t splitBox(std::vector<Point>& points, const Box& box) {
  if (box.end - box.begin < 2) return 0;
  const Moments m = momentsOf(points, box.begin, box.end);
  int axis = 0;
  double widest = -1;
  for (int k = 0; k < 3; ++k) {
    double q = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) q += points[i].w * points[i].c[k] * points[i].c[k];
    const double variance = q - m.s[k] * m.s[k] / m.w;
    if (variance > widest) {
      widest = variance;
      axis = k;
    }
  }
  std::sort(points.begin() + static_cast<std::ptrdiff_t>(box.begin), points.begin() + static_cast<std::ptrdiff_t>(box.end),
            [axis](const Point& a, const Point& b) { return a.c[axis] < b.c[axis]; });
  Moments left;
  std::size_t bestCut = 0;
  double bestError = 0;
  for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
    left.add(points[i]);
    if (points[i].c[axis] == points[i + 1].c[axis]) continue;
    Moments right;
    right.w = m.w - left.w;
    for (int k = 0; k < 3; ++k) right.s[k] = m.s[k] - left.s[k];
    right.q = m.q - left.q;
    const double e = left.error() + right.error();
    if (bestCut == 0 || e < bestError) {
      bestError = e;
      bestCut = i + 1;
    }
  }
  return bestCut;
}

Color rounded(const std::array<double, 3>& c) {
  auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return rgb(channel(c[0]), channel(c[1]), channel(c[2]));
}

}  // namespace

double paletteError(const std::vector<WeightedColor>& colors, const Palette& palette) {
  if (palette.empty()) return 0;
  ExactColorLookup lookup(palette);
  double sum = 0;
  for (const WeightedColor& wc : colors) {
    const Color p = palette[static_cast<std::size_t>(lookup.nearest(wc.color))];
    const int dr = redOf(p) - redOf(wc.color), dg = greenOf(p) - greenOf(wc.color), db = blueOf(p) - blueOf(wc.color);
    sum += static_cast<double>(wc.weight) * (dr * dr + dg * dg + db * db);
  }
  return sum;
}

Palette buildPalette(std::vector<WeightedColor> colors, int maxColors, int refineRounds) {
  maxColors = std::clamp(maxColors, 1, 256);
  colors.erase(std::remove_if(colors.begin(), colors.end(), [](const WeightedColor& c) { return c.weight == 0; }),
               colors.end());
  Palette palette;
  if (colors.empty()) return palette;
  if (colors.size() <= static_cast<std::size_t>(maxColors)) {
    std::stable_sort(colors.begin(), colors.end(), [](const WeightedColor& a, const WeightedColor& b) {
      return a.weight != b.weight ? a.weight > b.weight : a.color < b.color;
    });
    for (const WeightedColor& c : colors) palette.push_back(c.color & 0xFFFFFF);
    return palette;
  }

  std::vector<Point> points;
  points.reserve(colors.size());
  for (const WeightedColor& c : colors)
    points.push_back(Point{{double(redOf(c.color)), double(greenOf(c.color)), double(blueOf(c.color))},
                           static_cast<double>(c.weight)});

  std::priority_queue<Box> boxes;
  std::vector<Box> done;  // boxes that cannot be cut any further
  boxes.push(Box{0, points.size(), momentsOf(points, 0, points.size()).error()});
  while (!boxes.empty() && static_cast<int>(boxes.size() + done.size()) < maxColors) {
    const Box box = boxes.top();
    boxes.pop();
    const std::size_t cut = splitBox(points, box);
    if (cut == 0) {
      done.push_back(box);
      continue;
    }
    boxes.push(Box{box.begin, cut, momentsOf(points, box.begin, cut).error()});
    boxes.push(Box{cut, box.end, momentsOf(points, cut, box.end).error()});
  }
  while (!boxes.empty()) {
    done.push_back(boxes.top());
    boxes.pop();
  }
  std::vector<std::array<double, 3>> centres;
  for (const Box& b : done) {
    const Moments m = momentsOf(points, b.begin, b.end);
    centres.push_back({m.s[0] / m.w, m.s[1] / m.w, m.s[2] / m.w});
  }

  // k-means: every colour goes to its nearest centre, every centre to the mean of its
  // colours, until nothing moves.
  std::vector<int> owner(points.size(), -1);
  for (int round = 0; round < refineRounds; ++round) {
    Palette current;
    for (const auto& c : centres) current.push_back(rounded(c));
    ExactColorLookup lookup(current);
    std::vector<Moments> sums(centres.size());
    bool moved = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point& p = points[i];
      const int k = lookup.nearest(rgb(static_cast<std::uint8_t>(p.c[0]), static_cast<std::uint8_t>(p.c[1]),
                                       static_cast<std::uint8_t>(p.c[2])));
      if (k != owner[i]) moved = true;
      owner[i] = k;
      sums[static_cast<std::size_t>(k)].add(p);
    }
    std::vector<std::array<double, 3>> next;
    for (const Moments& m : sums)
      if (m.w > 0) next.push_back({m.s[0] / m.w, m.s[1] / m.w, m.s[2] / m.w});
    const bool dropped = next.size() != centres.size();
    centres = std::move(next);
    if (dropped) std::fill(owner.begin(), owner.end(), -1);
    if (!moved) break;
  }
  for (const auto& c : centres) {
    const Color colour = rounded(c);
    if (std::find(palette.begin(), palette.end(), colour) == palette.end()) palette.push_back(colour);
  }
  return palette;
}

}  // namespace zefra::colour
