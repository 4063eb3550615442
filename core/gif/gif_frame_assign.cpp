// Turning bitmaps into frames: palette bitmaps are copied index for index, true-colour
// bitmaps are first brought down to a colour table.

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

#include "colour/color_reduction.h"
#include "colour/indexed_bitmap.h"
#include "gif/gif_error.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "raster/fast_bitmap.h"

namespace zefra::gif {

namespace {

// ---------------------------------------------------------------------------------------
// COLOUR REDUCTION CALL SITE
// Answers the palette bitmap a true-colour source becomes under the image's
// reductionMode, ditherKind and reductionBitCount, or nothing when its colours are to be
// taken exactly as they are (ReductionMode::None; more than 256 distinct colours then stop
// with "Color table overflow").
// An empty answer (unknown mode or dither kind, CustomPalette without a palette) makes an
// empty frame.
// ---------------------------------------------------------------------------------------
std::optional<IndexedBitmap> reduceTrueColor(const raster::FastBitmap& source, const GifImage& image) {
  if (image.reductionMode == ReductionMode::None) return std::nullopt;
  return colour::mapToPalette(source, image.reductionMode, image.ditherKind,
                      static_cast<int>(std::min<std::uint32_t>(image.reductionBitCount, 8)));
}

void reportConverting(const GifImage* image, ProgressStage stage, int percent) {
  if (image) image->progress(stage, percent, "Converting...");
}

}  // namespace

void GifFrame::assign(const IndexedBitmap& bitmap, std::span<const std::uint8_t> transparentMask) {
  clearFrame();
  if (bitmap.empty()) return;
  setPlacement(left(), top(), bitmap.width(), bitmap.height());
  const auto& palette = bitmap.palette();
  localMap.importRaw(palette.data(), static_cast<int>(std::min<std::size_t>(palette.size(), ColorMap::kMaxColors)));
  const int w = bitmap.width();
  const int h = bitmap.height();
  reportConverting(image(), ProgressStage::Starting, 0);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = pixelData.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    const std::uint8_t* src = bitmap.row(y);
    switch (bitmap.bitsPerPixel()) {
      case 8: std::copy_n(src, w, dst); break;
      case 4:
        for (int x = 0; x < w; ++x) dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
        break;
      default:
        for (int x = 0; x < w; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    }
    if ((y + 1) % 32 == 0) reportConverting(image(), ProgressStage::Running, (y + 1) * 100 / h);
  }
  reportConverting(image(), ProgressStage::Ending, 100);
  applyMask(transparentMask);
}

void GifFrame::assign(const raster::FastBitmap& bitmap, std::span<const std::uint8_t> transparentMask) {
  clearFrame();
  if (bitmap.empty()) return;
  if (image()) {
    if (std::optional<IndexedBitmap> reduced = reduceTrueColor(bitmap, *image())) {
      assign(*reduced, transparentMask);
      return;
    }
  }
  setPlacement(left(), top(), bitmap.width(), bitmap.height());
  const int w = bitmap.width();
  const int h = bitmap.height();
  // Pictures repeat a few colours in runs, so a small ring of recent hits spares most
  // table searches. Entries keep the colour table in first-seen order.
  std::array<Color, 8> ringColor{};
  std::array<std::uint8_t, 8> ringIndex{};
  int ringUsed = 0;
  int ringNext = 0;
  int lastHit = 0;
  reportConverting(image(), ProgressStage::Starting, 0);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = pixelData.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    const std::uint8_t* src = bitmap.row(y);
    for (int x = 0; x < w; ++x) {
      const Color c = rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
      int found = -1;
      // Slots fill in order 0..7 before the ring wraps, so the used ones are 0..ringUsed-1.
      for (int k = 0, slot = lastHit; k < 8; ++k, slot = (slot + 7) & 7) {
        if (slot < ringUsed && ringColor[static_cast<std::size_t>(slot)] == c) {
          found = slot;
          break;
        }
      }
      if (found < 0) {
        const int index = localMap.appendUnique(c);
        found = ringNext;
        ringColor[static_cast<std::size_t>(found)] = c;
        ringIndex[static_cast<std::size_t>(found)] = static_cast<std::uint8_t>(index);
        ringNext = (ringNext + 1) & 7;
        if (ringUsed < 8) ++ringUsed;
      }
      lastHit = found;
      dst[x] = ringIndex[static_cast<std::size_t>(found)];
    }
    if ((y + 1) % 32 == 0) reportConverting(image(), ProgressStage::Running, (y + 1) * 100 / h);
  }
  reportConverting(image(), ProgressStage::Ending, 100);
  applyMask(transparentMask);
}

void GifFrame::applyMask(std::span<const std::uint8_t> transparentMask) {
  if (transparentMask.empty()) return;
  if (transparentMask.size() != pixelData.size())
    throw std::invalid_argument("GifFrame::assign: the mask needs one byte per pixel");
  localMap.sortByUse();
  const int colors = localMap.count();
  if (colors < 1 || colors > 255) return;  // no room for a transparent entry
  const int transparentIndex = localMap.append(rgb(0, 0, 0));
  std::size_t masked = 0;
  for (std::size_t i = 0; i < pixelData.size(); ++i) {
    if (transparentMask[i]) {
      pixelData[i] = static_cast<std::uint8_t>(transparentIndex);
      ++masked;
    }
  }
  if (masked == 0) {
    localMap.removeAt(transparentIndex);
    return;
  }
  auto control = std::make_unique<GraphicControlExtension>(*this);
  control->setTransparencyOn(true);
  control->setTransparentIndex(transparentIndex);
  extList.add(std::move(control));
}

}  // namespace zefra::gif
