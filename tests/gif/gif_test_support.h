#pragma once
// Helpers shared by the GIF codec tests: a giflib front end (the peer every written file
// is checked against), a textbook LZW code-stream reader written independently of the
// library's decoder, and generators for random frames.

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef ZEFRA_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace zefra::gif::testing {

// --- giflib -------------------------------------------------------------------------------

struct PeerFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int localColors = 0;
  std::vector<std::uint8_t> pixels;  // de-interlaced
  std::vector<std::vector<std::uint8_t>> extensions;  // function code, then the data bytes
};

struct PeerImage {
  bool ok = false;
  int error = 0;
  int width = 0, height = 0;
  int globalColors = 0;
  std::vector<std::uint8_t> globalTable;  // r, g, b triples
  std::vector<PeerFrame> frames;
};

#ifdef ZEFRA_HAVE_GIFLIB
struct MemoryReader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t pos = 0;
};

inline int readFromMemory(GifFileType* gif, GifByteType* buffer, int size) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), reader->bytes->size() - reader->pos);
  std::memcpy(buffer, reader->bytes->data() + reader->pos, n);
  reader->pos += n;
  return static_cast<int>(n);
}

inline PeerImage giflibDecode(const std::vector<std::uint8_t>& bytes) {
  PeerImage result;
  MemoryReader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
  if (!gif) {
    result.error = error;
    return result;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    result.error = gif->Error;
    DGifCloseFile(gif, &error);
    return result;
  }
  result.ok = true;
  result.width = gif->SWidth;
  result.height = gif->SHeight;
  if (gif->SColorMap) {
    result.globalColors = gif->SColorMap->ColorCount;
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
      const GifColorType& c = gif->SColorMap->Colors[i];
      result.globalTable.insert(result.globalTable.end(), {c.Red, c.Green, c.Blue});
    }
  }
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& saved = gif->SavedImages[i];
    PeerFrame frame;
    frame.left = saved.ImageDesc.Left;
    frame.top = saved.ImageDesc.Top;
    frame.width = saved.ImageDesc.Width;
    frame.height = saved.ImageDesc.Height;
    frame.interlaced = saved.ImageDesc.Interlace;
    frame.localColors = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap->ColorCount : 0;
    const std::size_t n = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
    frame.pixels.assign(saved.RasterBits, saved.RasterBits + n);
    for (int e = 0; e < saved.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = saved.ExtensionBlocks[e];
      std::vector<std::uint8_t> data{static_cast<std::uint8_t>(block.Function)};
      data.insert(data.end(), block.Bytes, block.Bytes + block.ByteCount);
      frame.extensions.push_back(std::move(data));
    }
    result.frames.push_back(std::move(frame));
  }
  DGifCloseFile(gif, &error);
  return result;
}

inline int writeToVector(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

// One frame written with giflib: the frame covers the whole screen, global colour table of
// 2^bits grey entries, not interlaced.
inline std::vector<std::uint8_t> giflibEncode(int width, int height, int bits,
                                              const std::vector<std::vector<std::uint8_t>>& frames) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, writeToVector, &error);
  if (!gif) return {};
  ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
  for (int i = 0; i < (1 << bits); ++i) {
    const auto v = static_cast<GifByteType>(i * 255 / ((1 << bits) - 1));
    map->Colors[i] = GifColorType{v, v, v};
  }
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, bits, 0, map);
  for (const auto& pixels : frames) {
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    for (int y = 0; y < height; ++y)
      EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data() + static_cast<std::size_t>(y) * width), width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}
#endif

// --- an independent look at code streams ---------------------------------------------------

// The data of an image data block: minimum code size, then the sub-block payloads joined.
struct CodeStream {
  int minimumCodeSize = 0;
  std::vector<std::uint8_t> data;
  std::vector<int> blockSizes;
  std::size_t end = 0;  // offset after the terminator
};

inline CodeStream unpackSubBlocks(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  CodeStream s;
  s.minimumCodeSize = bytes.at(offset++);
  for (;;) {
    const int n = bytes.at(offset++);
    if (n == 0) break;
    s.blockSizes.push_back(n);
    s.data.insert(s.data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                  bytes.begin() + static_cast<std::ptrdiff_t>(offset) + n);
    offset += static_cast<std::size_t>(n);
  }
  s.end = offset;
  return s;
}

// A plain textbook decoder that records each code and the width it was read with.
struct CodeTrace {
  std::vector<unsigned> codes;
  std::vector<int> widths;
  std::vector<std::uint8_t> pixels;
  bool sawEnd = false;
};

inline CodeTrace traceCodes(const CodeStream& s) {
  CodeTrace t;
  const unsigned clear = 1u << s.minimumCodeSize;
  const unsigned end = clear + 1;
  int width = s.minimumCodeSize + 1;
  unsigned next = clear + 2;
  std::vector<std::vector<std::uint8_t>> table;
  auto reset = [&] {
    table.assign(4096, {});
    for (unsigned i = 0; i < clear; ++i) table[i] = {static_cast<std::uint8_t>(i)};
    width = s.minimumCodeSize + 1;
    next = clear + 2;
  };
  reset();
  std::size_t bit = 0;
  int prev = -1;
  while (bit + static_cast<std::size_t>(width) <= s.data.size() * 8) {
    unsigned code = 0;
    for (int i = 0; i < width; ++i, ++bit)
      code |= ((s.data[bit / 8] >> (bit % 8)) & 1u) << i;
    t.codes.push_back(code);
    t.widths.push_back(width);
    if (code == clear) {
      reset();
      prev = -1;
      continue;
    }
    if (code == end) {
      t.sawEnd = true;
      break;
    }
    std::vector<std::uint8_t> str;
    if (code < next && !table[code].empty()) {
      str = table[code];
    } else if (prev >= 0) {
      str = table[static_cast<unsigned>(prev)];
      str.push_back(str.front());
    } else {
      break;  // invalid stream
    }
    t.pixels.insert(t.pixels.end(), str.begin(), str.end());
    if (prev >= 0 && next < 4096) {
      auto entry = table[static_cast<unsigned>(prev)];
      entry.push_back(str.front());
      table[next++] = std::move(entry);
      if (next == (1u << width) && width < 12) ++width;
    }
    prev = static_cast<int>(code);
  }
  return t;
}

// Packs codes of given widths least significant bit first, as the format stores them.
struct CodePacker {
  std::vector<std::uint8_t> bytes;
  std::uint32_t acc = 0;
  int bits = 0;
  CodePacker& put(unsigned code, int width) {
    acc |= code << bits;
    bits += width;
    while (bits >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
    return *this;
  }
  std::vector<std::uint8_t> finish() {
    if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    acc = 0;
    bits = 0;
    return bytes;
  }
};

// Image data block: minimum code size, the data cut into sub-blocks of at most 255, 0x00.
inline std::vector<std::uint8_t> imageData(int minimumCodeSize, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(minimumCodeSize)};
  for (std::size_t i = 0; i < data.size(); i += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - i);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i), data.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  out.push_back(0);
  return out;
}

// --- random content ------------------------------------------------------------------------

// Pixels with runs and repeats like drawn pictures, or plain noise.
inline std::vector<std::uint8_t> randomPixels(std::mt19937& rng, std::size_t count, int colors, bool noisy) {
  std::vector<std::uint8_t> p(count);
  std::uniform_int_distribution<int> color(0, colors - 1);
  std::uniform_int_distribution<int> run(1, 40);
  std::size_t i = 0;
  while (i < count) {
    const auto c = static_cast<std::uint8_t>(color(rng));
    const std::size_t n = noisy ? 1 : static_cast<std::size_t>(run(rng));
    for (std::size_t k = 0; k < n && i < count; ++k) p[i++] = c;
  }
  return p;
}

}  // namespace zefra::gif::testing
