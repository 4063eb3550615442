#include "colour/color_reduction.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "colour/color_lookup.h"
#include "colour/dither.h"
#include "colour/octree.h"

namespace zefra::colour {

Palette targetPaletteFor(const raster::FastBitmap& source, ReductionMode mode, int bits,
                         const Palette& custom) {
  switch (mode) {
    case ReductionMode::None: return {};
    case ReductionMode::System20: return systemPalette20();
    case ReductionMode::Halftone256: return halftonePalette();
    case ReductionMode::Gray4: return fourGreyPalette();
    case ReductionMode::BlackWhite: return blackWhitePalette();
    case ReductionMode::Gray256: return greyRampPalette();
    case ReductionMode::NetscapeCube: return webCubePalette();
    case ReductionMode::Octree: {
      // The octree may yield fewer than 2^bits colours; the palette stops at the colours it
      // found, so no pixel can be mapped to a filler entry.
      const int colours = 1 << std::clamp(bits, 1, 8);
      return octreePaletteOf(source, colours, 8, false);
    }
    case ReductionMode::OctreeSystem: return octreePaletteOf(source, 236, 8, true);
    case ReductionMode::CustomPalette:
      if (custom.size() > 256) return Palette(custom.begin(), custom.begin() + 256);
      return custom;
  }
  return {};
}

namespace {

std::unique_ptr<ColorLookup> lookupFor(ReductionMode mode, const Palette& palette) {
  switch (mode) {
    case ReductionMode::BlackWhite: return std::make_unique<MonochromeLookup>();
    case ReductionMode::Gray256: return std::make_unique<GrayscaleLookup>();
    case ReductionMode::NetscapeCube: return std::make_unique<WebCubeLookup>();
    default: return std::make_unique<NearestColorLookup>(palette);
  }
}

bool knownMode(ReductionMode mode) { return static_cast<int>(mode) <= static_cast<int>(ReductionMode::CustomPalette); }
bool knownDither(DitherKind kind) { return static_cast<int>(kind) <= static_cast<int>(DitherKind::Burkes); }

}  // namespace

IndexedBitmap mapToPalette(const raster::FastBitmap& source, ReductionMode mode,
                           DitherKind dither, int bits, const Palette& custom) {
  if (mode == ReductionMode::None || !knownMode(mode)) return {};
  const Palette palette = targetPaletteFor(source, mode, bits, custom);
  const std::unique_ptr<ColorLookup> lookup = lookupFor(mode, palette);
  if (lookup->colorCount() == 0) return {};
  if (!knownDither(dither)) return {};
  if (source.empty()) throw std::invalid_argument("Invalid image dimensions");
  const std::unique_ptr<DitherEngine> ditherer = createDitherer(dither, source.width(), *lookup);

  IndexedBitmap result(source.width(), source.height(), 8);
  std::vector<Rgb>& table = result.palette();
  table.assign(256, Rgb{});
  for (std::size_t i = 0; i < palette.size() && i < 256; ++i) table[i] = toRgb(palette[i]);

  const int width = source.width();
  for (int y = 0; y < source.height(); ++y) {
    const std::uint8_t* in = source.row(y);
    std::uint8_t* out = result.row(y);
    for (int x = ditherer->column(); x >= 0 && x < width; x = ditherer->column()) {
      const std::uint8_t* p = in + 3 * x;
      out[x] = static_cast<std::uint8_t>(ditherer->pickIndex(p[2], p[1], p[0]));
    }
    ditherer->endRow();
  }
  return result;
}

}  // namespace zefra::colour
