#pragma once
// A minimal, independent reading of a GIF file's block structure for the export tests:
// header, logical screen, global table, and for every image its placement and the
// extensions in front of it. Pixel data is skipped. It shares no code with the library,
// so a fault in the library's reader cannot hide a fault in its writer.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zefra::exporter::testing {

struct WalkedExtension {
  std::uint8_t label = 0;
  std::vector<std::vector<std::uint8_t>> blocks;  // data sub-blocks, without length bytes
};

struct WalkedGce {
  int disposal = 0;
  bool transparent = false;
  int delayCs = 0;
  int transparentIndex = 0;
};

struct WalkedImage {
  int left = 0, top = 0, width = 0, height = 0;
  bool hasLocalTable = false;
  std::vector<WalkedExtension> extensions;  // those between the previous image and this one
  std::optional<WalkedGce> gce() const {
    for (const auto& e : extensions) {
      if (e.label != 0xF9 || e.blocks.empty() || e.blocks[0].size() < 4) continue;
      const auto& b = e.blocks[0];
      return WalkedGce{(b[0] >> 2) & 7, (b[0] & 1) != 0, b[1] | (b[2] << 8), b[3]};
    }
    return std::nullopt;
  }
  // The loop count of a NETSCAPE2.0 extension in front of this image, if any.
  std::optional<int> loopCount() const {
    for (const auto& e : extensions) {
      if (e.label != 0xFF || e.blocks.size() < 2) continue;
      if (std::string(e.blocks[0].begin(), e.blocks[0].end()) != "NETSCAPE2.0") continue;
      const auto& d = e.blocks[1];
      if (d.size() >= 3 && d[0] == 1) return d[1] | (d[2] << 8);
    }
    return std::nullopt;
  }
};

struct WalkedGif {
  std::string version;  // "87a" or "89a"
  int width = 0, height = 0;
  int globalTableSize = 0;  // entries as stored (a power of two), 0 without a table
  std::vector<std::uint8_t> globalTable;  // RGB triples
  std::vector<WalkedImage> images;
  std::vector<WalkedExtension> trailingExtensions;  // after the last image
  int extensionCount() const {
    int n = static_cast<int>(trailingExtensions.size());
    for (const auto& i : images) n += static_cast<int>(i.extensions.size());
    return n;
  }
  std::uint32_t globalColor(int index) const {  // 0x00BBGGRR
    const auto at = static_cast<std::size_t>(3 * index);
    return globalTable.at(at) | (globalTable.at(at + 1) << 8) | (globalTable.at(at + 2) << 16);
  }
};

inline WalkedGif walkGif(const std::vector<std::uint8_t>& bytes) {
  std::size_t pos = 0;
  auto need = [&](std::size_t n) {
    if (pos + n > bytes.size()) throw std::runtime_error("GIF ends early at byte " + std::to_string(pos));
  };
  auto u8 = [&]() { need(1); return bytes[pos++]; };
  auto u16 = [&]() { need(2); const int v = bytes[pos] | (bytes[pos + 1] << 8); pos += 2; return v; };
  auto subBlocks = [&]() {
    std::vector<std::vector<std::uint8_t>> blocks;
    for (int len = u8(); len != 0; len = u8()) {
      need(static_cast<std::size_t>(len));
      blocks.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                          bytes.begin() + static_cast<std::ptrdiff_t>(pos + len));
      pos += static_cast<std::size_t>(len);
    }
    return blocks;
  };
  WalkedGif gif;
  need(6);
  if (std::string(bytes.begin(), bytes.begin() + 3) != "GIF") throw std::runtime_error("no GIF signature");
  gif.version = std::string(bytes.begin() + 3, bytes.begin() + 6);
  pos = 6;
  gif.width = u16();
  gif.height = u16();
  const int packed = u8();
  u8();
  u8();
  if (packed & 0x80) {
    gif.globalTableSize = 1 << ((packed & 7) + 1);
    need(static_cast<std::size_t>(3 * gif.globalTableSize));
    gif.globalTable.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                           bytes.begin() + static_cast<std::ptrdiff_t>(pos + 3 * gif.globalTableSize));
    pos += static_cast<std::size_t>(3 * gif.globalTableSize);
  }
  std::vector<WalkedExtension> pending;
  for (;;) {
    const int b = u8();
    if (b == 0x3B) break;
    if (b == 0x21) {
      WalkedExtension e;
      e.label = u8();
      e.blocks = subBlocks();
      pending.push_back(std::move(e));
    } else if (b == 0x2C) {
      WalkedImage image;
      image.left = u16();
      image.top = u16();
      image.width = u16();
      image.height = u16();
      const int p = u8();
      image.hasLocalTable = (p & 0x80) != 0;
      if (image.hasLocalTable) {
        need(static_cast<std::size_t>(3 * (1 << ((p & 7) + 1))));
        pos += static_cast<std::size_t>(3 * (1 << ((p & 7) + 1)));
      }
      u8();  // LZW minimum code size
      subBlocks();
      image.extensions = std::move(pending);
      pending.clear();
      gif.images.push_back(std::move(image));
    } else {
      throw std::runtime_error("unexpected byte " + std::to_string(b) + " at " + std::to_string(pos - 1));
    }
  }
  gif.trailingExtensions = std::move(pending);
  return gif;
}

}  // namespace zefra::exporter::testing
