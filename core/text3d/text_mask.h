#pragma once
// The pixels one drawing of text sets, as runs on rows, relative to the drawing position
// (the top-left corner of the text cell). Runs may overlap; stamping them twice is harmless.

#include <vector>

namespace zefra::text3d {

struct MaskSpan {
  int y;
  int x0;  // first pixel
  int x1;  // one past the last pixel
};

struct TextMask {
  std::vector<MaskSpan> spans;

  void addRect(int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
      if (x1 > x0) spans.push_back({y, x0, x1});
  }
  void merge(const TextMask& other, int dx, int dy) {
    spans.reserve(spans.size() + other.spans.size());
    for (const MaskSpan& s : other.spans) spans.push_back({s.y + dy, s.x0 + dx, s.x1 + dx});
  }
  bool empty() const { return spans.empty(); }
};

}  // namespace zefra::text3d
