#pragma once
// Writes small GIF files byte by byte for tests that need exact control over what a file
// holds: frame rectangles, disposal, transparency, delays, and blocks Zefra's own writer
// never produces (unknown extensions, odd application blocks, huge screens). The image
// data is valid LZW made of literal codes only, with a clear code often enough that the
// code width never grows, as any decoder reads it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zefra::testing {

struct BuiltFrame {
  int left = 0, top = 0, width = 1, height = 1;
  std::vector<std::uint8_t> indices;  // width * height palette indices (0 when shorter)
  int delayCs = 10;
  int disposal = 0;
  int transparent = -1;              // the transparent index, or -1
  std::vector<std::uint8_t> before;  // raw blocks written before the frame's control block
};

struct BuiltGif {
  int width = 1, height = 1;
  std::vector<std::array<std::uint8_t, 3>> palette = {{0, 0, 0}, {255, 255, 255}};
  bool loop = true;
  std::vector<BuiltFrame> frames;
};

inline void putLittle16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Literal-code LZW image data (minimum code size byte, sub-blocks, terminator).
inline void putImageData(std::vector<std::uint8_t>& out, int bits, const std::vector<std::uint8_t>& indices,
                         std::size_t count) {
  const int minimum = bits < 2 ? 2 : bits;
  const int clear = 1 << minimum;
  const int width = minimum + 1;
  std::vector<std::uint8_t> packed;
  std::uint32_t accumulator = 0;
  int filled = 0;
  const auto put = [&](int code) {
    accumulator |= static_cast<std::uint32_t>(code) << filled;
    filled += width;
    while (filled >= 8) {
      packed.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
      accumulator >>= 8;
      filled -= 8;
    }
  };
  const std::size_t perClear = static_cast<std::size_t>(clear) - 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % perClear == 0) put(clear);
    put(i < indices.size() ? indices[i] : 0);
  }
  put(clear + 1);
  if (filled > 0) packed.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
  out.push_back(static_cast<std::uint8_t>(minimum));
  for (std::size_t at = 0; at < packed.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at), packed.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  out.push_back(0);
}

inline std::vector<std::uint8_t> gifBytes(const BuiltGif& gif) {
  int bits = 1;
  while ((1u << bits) < gif.palette.size()) ++bits;
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  putLittle16(out, gif.width);
  putLittle16(out, gif.height);
  out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1)));
  out.push_back(0);
  out.push_back(0);
  for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
    const auto c = i < gif.palette.size() ? gif.palette[i] : std::array<std::uint8_t, 3>{0, 0, 0};
    out.insert(out.end(), c.begin(), c.end());
  }
  if (gif.loop) {
    const std::uint8_t netscape[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    out.insert(out.end(), std::begin(netscape), std::end(netscape));
  }
  for (const BuiltFrame& f : gif.frames) {
    out.insert(out.end(), f.before.begin(), f.before.end());
    out.insert(out.end(), {0x21, 0xF9, 4});
    out.push_back(static_cast<std::uint8_t>((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
    putLittle16(out, f.delayCs);
    out.push_back(static_cast<std::uint8_t>(f.transparent >= 0 ? f.transparent : 0));
    out.push_back(0);
    out.push_back(0x2C);
    putLittle16(out, f.left);
    putLittle16(out, f.top);
    putLittle16(out, f.width);
    putLittle16(out, f.height);
    out.push_back(0);
    putImageData(out, bits, f.indices, static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height));
  }
  out.push_back(0x3B);
  return out;
}

inline std::filesystem::path writeGif(const std::filesystem::path& path, const BuiltGif& gif) {
  const std::vector<std::uint8_t> bytes = gifBytes(gif);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// A frame of one colour index.
inline BuiltFrame solidFrame(int left, int top, int width, int height, std::uint8_t index, int delayCs = 10) {
  BuiltFrame f;
  f.left = left;
  f.top = top;
  f.width = width;
  f.height = height;
  f.indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), index);
  f.delayCs = delayCs;
  return f;
}

}  // namespace zefra::testing
