#include "export/frame_mapper.h"

#include <algorithm>
#include <optional>

#include "colour/palette_builder.h"
#include "export/animation_encoder.h"

namespace zefra::exporter {

namespace {

model::PaletteKind knownKind(model::PaletteKind kind) {
  switch (kind) {
    case model::PaletteKind::Netscape:
    case model::PaletteKind::Grayscale:
      return kind;
    default:
      return model::PaletteKind::Windows;
  }
}

// The first entry of `palette` equal to `color`, -1 when there is none.
int entryOf(const colour::Palette& palette, Color color) {
  for (std::size_t i = 0; i < palette.size(); ++i)
    if ((palette[i] & 0xFFFFFF) == (color & 0xFFFFFF)) return static_cast<int>(i);
  return -1;
}

}  // namespace

EncodeTarget encodeTargetOf(int frameCount, int width, int height, const ExportSettings& settings) {
  EncodeTarget t;
  t.width = width;
  t.height = height;
  t.frameCount = frameCount;
  t.kind = knownKind(settings.paletteKind);
  t.capacity = t.kind == model::PaletteKind::Windows ? 1 << reductionBitsFor(settings.colorCountIndex) : 256;
  t.needsTransparentIndex = settings.transparent || frameCount > 1;
  t.transparent = settings.transparent;
  t.clearColor = settings.transparent ? (settings.transparentColor & 0xFFFFFF) : 0xFFFFFFFFu;
  return t;
}

void countColours(const EncodeTarget& target, const raster::FastBitmap& frame, colour::ColorHistogram& histogram) {
  if (target.kind == model::PaletteKind::Windows) {
    histogram.add(frame);
    return;
  }
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) histogram.add(targetColorFor(target.kind, frame.pixel(x, y)));
}

FittedPalette fitPalette(const EncodeTarget& target, const colour::ColorHistogram& histogram) {
  // A transparent export leaves out every pixel drawn in the transparent colour and every
  // pixel the opaque export shows in it: the entry equal to it (the palette cell a user
  // made transparent is usually a colour no pixel has exactly) is mapped to as before and
  // then written as the transparent index.
  FittedPalette fit;
  const bool animated = target.frameCount > 1;
  fit.palette = colour::buildPalette(histogram.colors(), target.capacity - (animated ? 1 : 0));
  if (fit.palette.empty()) fit.palette.push_back(0);
  fit.cellIndex = target.transparent ? entryOf(fit.palette, target.clearColor) : -1;
  // A lone frame has no entry to spare: the transparent colour's own entry serves as the
  // transparent index, or else the palette gives one up.
  if (target.transparent && !animated && fit.cellIndex < 0 && static_cast<int>(fit.palette.size()) >= target.capacity) {
    fit.palette = colour::buildPalette(histogram.colors(), target.capacity - 1);
    fit.cellIndex = entryOf(fit.palette, target.clearColor);
  }
  fit.table = fit.palette;
  if (!animated && fit.cellIndex >= 0) {
    fit.transparentIndex = fit.cellIndex;
  } else if (target.needsTransparentIndex) {
    fit.transparentIndex = static_cast<int>(fit.table.size());
    fit.table.push_back(0);
  }
  return fit;
}

FrameMapper::FrameMapper(const EncodeTarget& target, const FittedPalette& fitted)
    : target(target),
      fitted(fitted),
      sharedLookup(fitted.palette),
      goodEnough(3.0 * static_cast<double>(target.framePixels()) * 255.0 * 255.0 / 31622.8),  // 45 dB
      previousIndices(target.framePixels()),
      opaque(target.framePixels()),
      previousOpaque(target.framePixels()) {}

MappedFrame FrameMapper::map(raster::FastBitmap frame) {
  MappedFrame out;
  out.indices.resize(target.framePixels());
  out.transparentIndex = fitted.transparentIndex;
  const std::uint64_t sharedError =
      mapThrough(frame, sharedLookup, fitted.transparentIndex, fitted.cellIndex, true, out);
  if (target.kind == model::PaletteKind::Windows && static_cast<double>(sharedError) > goodEnough)
    chooseLocalTable(frame, sharedError, out);
  previousShared = out.localTable.empty();
  previousIndices = out.indices;
  previousOpaque.swap(opaque);
  previousFrame = std::move(frame);
  return out;
}

void FrameMapper::chooseLocalTable(const raster::FastBitmap& frame, std::uint64_t sharedError, MappedFrame& out) {
  colour::ColorHistogram own;
  own.add(frame);
  const std::vector<colour::WeightedColor> ownColours = own.colors();
  const colour::Palette ownPalette =
      colour::buildPalette(ownColours, target.capacity - (target.needsTransparentIndex ? 1 : 0));
  if (ownPalette.empty() || 2.0 * colour::paletteError(ownColours, ownPalette) >= static_cast<double>(sharedError))
    return;
  colour::ExactColorLookup ownLookup(ownPalette);
  const int ownClear = target.needsTransparentIndex ? static_cast<int>(ownPalette.size()) : -1;
  const int ownCell = target.transparent ? entryOf(ownPalette, target.clearColor) : -1;
  mapThrough(frame, ownLookup, ownClear, ownCell, false, out);
  out.localTable = ownPalette;
  if (target.needsTransparentIndex) out.localTable.push_back(0);
  out.transparentIndex = ownClear;
  ++localCount;
}

// A pixel whose colour the palette does not hold exactly takes the entry of its left
// neighbour instead of its own nearest one when that at most doubles its error (or adds
// no more than a level or so). Longer runs of one index are what LZW compresses best:
// banners with photographs or shaded text get 1-2 % smaller for a few tenths of a
// decibel, at levels where the difference cannot be seen. Exact colours never move.
// Pixels drawn in the transparent colour or mapped to `cellIndex` take `clearIndex`.
std::uint64_t FrameMapper::mapThrough(const raster::FastBitmap& frame, colour::ExactColorLookup& through,
                                      int clearIndex, int cellIndex, bool shared, MappedFrame& out) {
  const colour::Palette& colours = through.palette();
  const bool keepUnchanged = shared && previousShared;
  const bool runs = target.kind == model::PaletteKind::Windows;
  constexpr std::uint64_t kExactSlack = 3;
  const auto errorOf = [&](int index, Color c) {
    const Color got = colours[static_cast<std::size_t>(index)];
    const int dr = redOf(got) - redOf(c), dg = greenOf(got) - greenOf(c), db = blueOf(got) - blueOf(c);
    return static_cast<std::uint64_t>(dr * dr + dg * dg + db * db);
  };
  std::vector<std::uint8_t>& indices = out.indices;
  std::uint64_t error = 0;
  out.clearPixels = 0;
  Color previous = 0xFFFFFFFFu;
  std::uint8_t nearestIndex = 0;
  std::uint64_t nearestError = 0;
  std::size_t at = 0;
  for (int y = 0; y < target.height; ++y) {
    const std::uint8_t* p = frame.row(y);
    const std::uint8_t* before = keepUnchanged ? previousFrame.row(y) : nullptr;
    for (int x = 0; x < target.width; ++x, p += 3, ++at) {
      const Color c = rgb(p[2], p[1], p[0]);
      if (before && before[3 * x] == p[0] && before[3 * x + 1] == p[1] && before[3 * x + 2] == p[2]) {
        opaque[at] = previousOpaque[at];
        indices[at] = previousIndices[at];
        if (runs) error += errorOf(opaque[at], c);
        if (static_cast<int>(indices[at]) == clearIndex) ++out.clearPixels;
        continue;
      }
      if (c != previous) {
        previous = c;
        nearestIndex = static_cast<std::uint8_t>(through.indexFor(targetColorFor(target.kind, c)));
        nearestError = runs ? errorOf(nearestIndex, c) : 0;
      }
      std::uint8_t chosen = nearestIndex;
      std::uint64_t chosenError = nearestError;
      if (runs && x > 0 && opaque[at - 1] != chosen) {
        const std::uint64_t e = errorOf(opaque[at - 1], c);
        if (nearestError > 0 && e <= nearestError + std::max(nearestError, kExactSlack)) {
          chosen = opaque[at - 1];
          chosenError = e;
        }
      }
      opaque[at] = chosen;
      error += chosenError;
      if (c == target.clearColor || static_cast<int>(chosen) == cellIndex) {
        indices[at] = static_cast<std::uint8_t>(clearIndex);
        ++out.clearPixels;
      } else {
        indices[at] = chosen;
      }
    }
  }
  return error;
}

}  // namespace zefra::exporter
