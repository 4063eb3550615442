#pragma once
// The two measurements behind the choice of one shared palette for the whole animation:
// how colourful each rendered frame is, and whether the other frames' colours are (nearly)
// all present in the colourful one.

#include <cstdint>
#include <span>
#include <vector>

#include "raster/fast_bitmap.h"

namespace zefra::exporter {

// Counts distinct red-green-blue triples. Keeps a 2 MB presence table between calls and
// clears only what it set, so counting a frame costs a pass over its pixels.
class DistinctColorCounter {
 public:
  int count(const raster::FastBitmap& bitmap);

 private:
  std::vector<std::uint64_t> seen;  // one bit per 24-bit colour
  std::vector<std::uint32_t> touched;
};

// The frame (0-based) with strictly more distinct colours than every frame before it;
// ties keep the earlier frame. 0 for an empty list.
int paletteSourceFrame(std::span<const raster::FastBitmap> frames);

// Whether every frame may share the palette of frames[source]: each other frame, seen
// through the 216-colour web cube, must find at least 90 % of its cube colours among those
// of the source frame. Frames without area answer false.
bool isUsePalette(std::span<const raster::FastBitmap> frames, int source);

}  // namespace zefra::exporter
