#include "colour/octree.h"

#include <algorithm>

namespace zefra::colour {

OctreeQuantizer::OctreeQuantizer(int maxColors, int colorBits)
    : maxColors(std::max(maxColors, 1)), colorBits(std::clamp(colorBits, 1, 8)) {
  nodes.reserve(static_cast<std::size_t>(this->maxColors) * 4 + 64);
  root = newNode(0);
}

std::int32_t OctreeQuantizer::newNode(int level) {
  std::int32_t index;
  if (!freeList.empty()) {
    index = freeList.back();
    freeList.pop_back();
    nodes[static_cast<std::size_t>(index)] = Node{};
  } else {
    index = static_cast<std::int32_t>(nodes.size());
    nodes.emplace_back();
  }
  Node& node = nodes[static_cast<std::size_t>(index)];
  if (level == colorBits) {
    node.leaf = true;
    ++leaves;
  } else {
    node.nextReducible = reducible[static_cast<std::size_t>(level)];
    reducible[static_cast<std::size_t>(level)] = index;
  }
  return index;
}

void OctreeQuantizer::freeNode(std::int32_t index) { freeList.push_back(index); }

void OctreeQuantizer::addColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::int32_t index = root;
  for (int level = 0;; ++level) {
    Node* node = &nodes[static_cast<std::size_t>(index)];
    if (node->leaf) {
      ++node->pixelCount;
      node->redSum += red;
      node->greenSum += green;
      node->blueSum += blue;
      break;
    }
    const int shift = 7 - level;
    const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
    std::int32_t next = node->children[static_cast<std::size_t>(child)];
    if (next < 0) {
      next = newNode(level + 1);  // may reallocate `nodes`
      nodes[static_cast<std::size_t>(index)].children[static_cast<std::size_t>(child)] = next;
    }
    index = next;
  }
  while (leaves > maxColors) reduce();
}

void OctreeQuantizer::reduce() {
  int level = colorBits - 1;
  while (level > 0 && reducible[static_cast<std::size_t>(level)] < 0) --level;
  const std::int32_t index = reducible[static_cast<std::size_t>(level)];
  if (index < 0) return;  // only the root is left and it is already a leaf
  Node& node = nodes[static_cast<std::size_t>(index)];
  reducible[static_cast<std::size_t>(level)] = node.nextReducible;
  node.nextReducible = -1;
  int children = 0;
  for (std::int32_t& childIndex : node.children) {
    if (childIndex < 0) continue;
    const Node& child = nodes[static_cast<std::size_t>(childIndex)];
    node.pixelCount += child.pixelCount;
    node.redSum += child.redSum;
    node.greenSum += child.greenSum;
    node.blueSum += child.blueSum;
    freeNode(childIndex);
    childIndex = -1;
    ++children;
  }
  node.leaf = true;
  leaves -= children - 1;
}

void OctreeQuantizer::addBitmap(const raster::FastBitmap& bitmap) {
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 3) addColor(p[2], p[1], p[0]);
  }
}

void OctreeQuantizer::collect(std::int32_t index, Palette& out) const {
  const Node& node = nodes[static_cast<std::size_t>(index)];
  if (node.leaf) {
    if (node.pixelCount == 0) {
      out.push_back(rgb(0, 0, 0));
    } else {
      out.push_back(rgb(static_cast<std::uint8_t>(node.redSum / node.pixelCount),
                        static_cast<std::uint8_t>(node.greenSum / node.pixelCount),
                        static_cast<std::uint8_t>(node.blueSum / node.pixelCount)));
    }
    return;
  }
  for (std::int32_t child : node.children)
    if (child >= 0) collect(child, out);
}

Palette OctreeQuantizer::palette() const {
  Palette out;
  out.reserve(static_cast<std::size_t>(leaves));
  collect(root, out);
  return out;
}

Palette octreePaletteOf(const raster::FastBitmap& bitmap, int colors, int colorBits,
                        bool withSystemColors) {
  OctreeQuantizer quantizer(colors, colorBits);
  quantizer.addBitmap(bitmap);
  Palette colours = quantizer.palette();
  if (!withSystemColors) return colours;
  const Palette& system = systemPalette20();
  Palette out(system.begin(), system.begin() + 10);
  out.insert(out.end(), colours.begin(), colours.end());
  // The last ten system colours keep their fixed slots after the octree's `colors` entries.
  // Padding with black never wins a lookup: entry 0 is black already and wins ties.
  out.resize(10 + static_cast<std::size_t>(std::max(colors, 1)), rgb(0, 0, 0));
  out.insert(out.end(), system.begin() + 10, system.end());
  return out;
}

}  // namespace zefra::colour
