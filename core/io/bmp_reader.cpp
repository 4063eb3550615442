#include "io/bmp_reader.h"

#include <array>
#include <bit>
#include <fstream>
#include <vector>

#include "common/byte_order.h"
#include "common/input_file.h"

namespace zefra::io {

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

[[noreturn]] void fail(const std::string& why) { throw BmpError("Invalid BMP file: " + why); }

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at) { return readLittle16(&b[at]); }
std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) { return readLittle32(&b[at]); }
std::int32_t i32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(u32(b, at));
}

// Extracts one colour channel described by a bit mask and scales it to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  std::uint8_t get(std::uint32_t v) const {
    if (mask == 0) return 0;
    const std::uint64_t raw = (v & mask) >> shift;
    return static_cast<std::uint8_t>((raw * 255 + max / 2) / max);
  }
};

struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> masks{};
  bool hasMasks = false;
  std::size_t paletteAt = 0;
  int paletteEntrySize = 4;
};

Header parseHeader(std::span<const std::uint8_t> b) {
  if (b.size() < 14 + 4) fail("file too short");
  if (b[0] != 'B' || b[1] != 'M') fail("no BM signature");
  const std::uint32_t infoSize = u32(b, 14);
  Header h;
  if (infoSize == 12) {
    if (b.size() < 14 + 12) fail("truncated header");
    h.width = u16(b, 18);
    h.height = static_cast<std::int16_t>(u16(b, 20));
    if (u16(b, 22) != 1) fail("plane count is not 1");
    h.bitCount = u16(b, 24);
    h.paletteEntrySize = 3;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
             infoSize == 124) {
    if (b.size() < 14 + static_cast<std::size_t>(infoSize)) fail("truncated header");
    h.width = i32(b, 18);
    h.height = i32(b, 22);
    if (u16(b, 26) != 1) fail("plane count is not 1");
    h.bitCount = u16(b, 28);
    h.compression = u32(b, 30);
    h.colorsUsed = u32(b, 46);
    if (infoSize == 64) {
      // The 64-byte variant uses 3 and 4 for its own (unsupported) codecs.
      if (h.compression > kRle4) fail("unsupported compression");
    }
  } else {
    fail("unknown header size");
  }
  std::size_t after = 14 + infoSize;
  if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
    if (h.bitCount != 16 && h.bitCount != 32) fail("bit fields need 16 or 32 bits per pixel");
    if (infoSize >= 52) {
      h.masks = {u32(b, 54), u32(b, 58), u32(b, 62)};
    } else {
      // The masks follow the 40-byte header (a fourth alpha mask for the alpha variant).
      const std::size_t count = h.compression == kAlphaBitFields ? 4 : 3;
      if (b.size() < after + 4 * count) fail("truncated bit fields");
      h.masks = {u32(b, after), u32(b, after + 4), u32(b, after + 8)};
      after += 4 * count;
    }
    h.hasMasks = true;
  } else if (h.compression == kRle8) {
    if (h.bitCount != 8) fail("RLE8 needs 8 bits per pixel");
  } else if (h.compression == kRle4) {
    if (h.bitCount != 4) fail("RLE4 needs 4 bits per pixel");
  } else if (h.compression != kRgb) {
    fail("unsupported compression");
  }
  switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: fail("unsupported bit count");
  }
  if (h.height < 0) {
    if (h.compression == kRle4 || h.compression == kRle8) fail("top-down RLE bitmap");
    h.topDown = true;
    h.height = -h.height;
  }
  if (h.width <= 0 || h.height <= 0) fail("empty image");
  if (h.width > kMaxBmpSide || h.height > kMaxBmpSide || h.width * h.height > kMaxBmpPixels) {
    fail("image too large");
  }
  h.paletteAt = after;
  return h;
}

std::vector<Color> readPalette(std::span<const std::uint8_t> b, const Header& h, std::size_t dataAt) {
  std::vector<Color> palette;
  if (h.bitCount > 8) return palette;
  const std::size_t maxEntries = std::size_t{1} << h.bitCount;
  std::size_t entries = h.colorsUsed == 0 ? maxEntries : h.colorsUsed;
  if (entries > maxEntries) entries = maxEntries;
  // Some writers leave the palette short; what is really there between header and pixels
  // counts, and missing entries read as black.
  const std::size_t end = std::min<std::size_t>(dataAt, b.size());
  const std::size_t available = end > h.paletteAt ? (end - h.paletteAt) / h.paletteEntrySize : 0;
  const std::size_t count = std::min(entries, available);
  palette.assign(maxEntries, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = h.paletteAt + i * h.paletteEntrySize;
    palette[i] = rgb(b[at + 2], b[at + 1], b[at]);
  }
  return palette;
}

void readUncompressed(std::span<const std::uint8_t> b, const Header& h, std::size_t dataAt,
                      const std::vector<Color>& palette, raster::FastBitmap& out) {
  const std::int64_t stride = ((h.width * h.bitCount + 31) / 32) * 4;
  // A last row may be stored without its padding; anything shorter is truncated data.
  const std::int64_t need = stride * (h.height - 1) + (h.width * h.bitCount + 7) / 8;
  if (dataAt > b.size() || static_cast<std::int64_t>(b.size() - dataAt) < need) fail("truncated pixel data");
  Channel red, green, blue;
  if (h.bitCount == 16) {
    if (h.hasMasks) {
      red = Channel(h.masks[0]); green = Channel(h.masks[1]); blue = Channel(h.masks[2]);
    } else {
      red = Channel(0x7C00); green = Channel(0x03E0); blue = Channel(0x001F);
    }
  } else if (h.bitCount == 32 && h.hasMasks) {
    red = Channel(h.masks[0]); green = Channel(h.masks[1]); blue = Channel(h.masks[2]);
  }
  const int w = static_cast<int>(h.width);
  for (int y = 0; y < out.height(); ++y) {
    const int fileRow = h.topDown ? y : out.height() - 1 - y;
    const std::uint8_t* src = b.data() + dataAt + static_cast<std::size_t>(fileRow) * stride;
    std::uint8_t* dst = out.row(y);
    switch (h.bitCount) {
      case 1: case 4: case 8: {
        const int bpp = h.bitCount;
        const int perByte = 8 / bpp;
        const int maskBits = (1 << bpp) - 1;
        for (int x = 0; x < w; ++x) {
          const int shift = 8 - bpp * (x % perByte + 1);
          const Color c = palette[(src[x / perByte] >> shift) & maskBits];
          dst[3 * x] = blueOf(c); dst[3 * x + 1] = greenOf(c); dst[3 * x + 2] = redOf(c);
        }
        break;
      }
      case 16:
        for (int x = 0; x < w; ++x) {
          const std::uint32_t v = readLittle16(src + 2 * x);
          dst[3 * x] = blue.get(v); dst[3 * x + 1] = green.get(v); dst[3 * x + 2] = red.get(v);
        }
        break;
      case 24:
        std::copy(src, src + 3 * w, dst);
        break;
      case 32:
        for (int x = 0; x < w; ++x) {
          if (h.hasMasks) {
            const std::uint32_t v = readLittle32(src + 4 * x);
            dst[3 * x] = blue.get(v); dst[3 * x + 1] = green.get(v); dst[3 * x + 2] = red.get(v);
          } else {
            dst[3 * x] = src[4 * x]; dst[3 * x + 1] = src[4 * x + 1]; dst[3 * x + 2] = src[4 * x + 2];
          }
        }
        break;
      default:
        break;
    }
  }
}

// Run-length data: pixels a run or an escape never reaches stay black.
void readRle(std::span<const std::uint8_t> b, const Header& h, std::size_t dataAt,
             const std::vector<Color>& palette, raster::FastBitmap& out) {
  if (dataAt > b.size()) fail("truncated pixel data");
  const bool four = h.compression == kRle4;
  const int w = out.width();
  const int hgt = out.height();
  std::size_t at = dataAt;
  int x = 0;
  int line = 0;  // counted from the bottom row
  auto put = [&](int index) {
    if (x < w && line < hgt) out.setPixel(x, hgt - 1 - line, palette[static_cast<std::size_t>(index)]);
    ++x;
  };
  while (line < hgt) {
    if (at + 2 > b.size()) return;  // data ends early: keep what was decoded
    const int count = b[at];
    const int value = b[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < w; ++i) put(four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++line;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (at + 2 > b.size()) return;
      x += b[at];
      line += b[at + 1];
      at += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const std::size_t bytes = four ? (static_cast<std::size_t>(value) + 1) / 2 : value;
      if (at + bytes > b.size()) fail("truncated RLE data");
      for (int i = 0; i < value; ++i) {
        if (four) {
          const std::uint8_t pair = b[at + i / 2];
          put(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
        } else {
          put(b[at + i]);
        }
      }
      at += bytes + (bytes & 1);
    }
  }
}

}  // namespace

raster::FastBitmap readBmp(std::span<const std::uint8_t> bytes) {
  const Header h = parseHeader(bytes);
  std::size_t dataAt = u32(bytes, 10);
  if (dataAt < h.paletteAt || dataAt > bytes.size()) {
    // A broken offset: the pixels then follow the palette directly.
    dataAt = h.paletteAt +
             (h.bitCount <= 8 ? (h.colorsUsed == 0 ? (std::size_t{1} << h.bitCount)
                                                   : std::min<std::size_t>(h.colorsUsed, std::size_t{1} << h.bitCount)) *
                                    h.paletteEntrySize
                              : 0);
    if (dataAt > bytes.size()) fail("truncated pixel data");
  }
  const std::vector<Color> palette = readPalette(bytes, h, dataAt);
  // The pixel data must be able to describe the image before the image is allocated; run
  // lengths cover at most 255 pixels per 2 bytes, and a delta escape skips at most 255 rows.
  if (h.compression == kRle4 || h.compression == kRle8) {
    const std::int64_t avail = static_cast<std::int64_t>(bytes.size() - dataAt);
    if (avail < 2) fail("truncated pixel data");
  }
  raster::FastBitmap out(static_cast<int>(h.width), static_cast<int>(h.height));
  if (h.compression == kRle4 || h.compression == kRle8) {
    readRle(bytes, h, dataAt, palette, out);
  } else {
    readUncompressed(bytes, h, dataAt, palette, out);
  }
  return out;
}

raster::FastBitmap readBmpFile(const std::filesystem::path& path) {
  // The largest sensible file: a 32-bit image of kMaxBmpPixels plus headers.
  constexpr auto kMaxFileBytes = static_cast<std::uint64_t>(kMaxBmpPixels) * 4 + 4096;
  FileBytes file;
  try {
    file = readInputFile(path, kMaxFileBytes, 2, [](std::span<const std::uint8_t> head) {
      if (head.size() == 2 && (head[0] != 'B' || head[1] != 'M')) fail("no BM signature");
    });
  } catch (const InputFileError& e) {
    throw BmpError(e.what());
  }
  return readBmp(file.bytes());
}

}  // namespace zefra::io
