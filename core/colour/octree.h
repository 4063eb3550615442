#pragma once
// Octree quantiser: builds a palette of at most `maxColors` colours from the pixels of a
// picture. Inner nodes of each level are kept on a reducible list, newest first; when the
// tree holds too many leaves the newest node of the deepest level is folded into a leaf.

#include <array>
#include <cstdint>
#include <vector>

#include "colour/palettes.h"
#include "raster/fast_bitmap.h"

namespace zefra::colour {

class OctreeQuantizer {
 public:
  // maxColors >= 1; colorBits is the depth of the leaves (1..8, 8 for full precision).
  explicit OctreeQuantizer(int maxColors, int colorBits = 8);

  void addColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void addBitmap(const raster::FastBitmap& bitmap);

  int leafCount() const { return leaves; }

  // The leaf colours in depth-first order, children 0..7: sum div pixel count per channel.
  Palette palette() const;

 private:
  struct Node {
    bool leaf = false;
    std::uint32_t pixelCount = 0;
    // Wider than a pixel count strictly needs so that very large pictures cannot overflow.
    std::uint64_t redSum = 0;
    std::uint64_t greenSum = 0;
    std::uint64_t blueSum = 0;
    std::int32_t nextReducible = -1;
    std::array<std::int32_t, 8> children{-1, -1, -1, -1, -1, -1, -1, -1};
  };

  std::int32_t newNode(int level);
  void freeNode(std::int32_t index);
  void reduce();
  void collect(std::int32_t index, Palette& out) const;

  int maxColors;
  int colorBits;
  int leaves = 0;
  std::int32_t root = -1;
  std::array<std::int32_t, 8> reducible{-1, -1, -1, -1, -1, -1, -1, -1};
  std::vector<Node> nodes;
  std::vector<std::int32_t> freeList;
};

// The octree palette of a picture (colours >= 1). With system colours, the palette is the
// first ten static system colours, the octree colours padded with black to `colors` entries,
// then the last ten system colours.
Palette octreePaletteOf(const raster::FastBitmap& bitmap, int colors, int colorBits,
                        bool withSystemColors);

}  // namespace zefra::colour
