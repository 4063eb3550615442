#pragma once
// Frame optimisation: makes an animation smaller without changing what a viewer shows.
// Pixels that repeat the previous visible frame become transparent, transparent borders
// are cut away, frames that end up empty are dropped with their delay handed on,
// extensions that change nothing are removed and colour tables are sorted by use.

#include <cstdint>
#include <initializer_list>

#include "gif/gif_types.h"

namespace zefra::gif {

class GifFrame;
class GifImage;

// Option bits; they are carried out in a fixed order, not in bit order (see optimizeFrames).
enum class OptimizeOption : std::uint8_t {
  TrimBorders = 1 << 0,      // trim transparent borders, drop frames that become empty
  DiffFrames = 1 << 1,       // pixels equal to the previous visible frame become transparent
  Tidy = 1 << 2,             // drop unused transparency, needless disposal and extensions
  SortColorTables = 1 << 3,  // every colour table by decreasing use
  Reduce = 1 << 4,           // no change to the image (kept for callers that pass it)
};

class OptimizeOptions {
 public:
  constexpr OptimizeOptions() = default;
  constexpr OptimizeOptions(std::initializer_list<OptimizeOption> options) {
    for (OptimizeOption o : options) bits |= static_cast<std::uint8_t>(o);
  }
  static constexpr OptimizeOptions fromBits(std::uint8_t value) {
    OptimizeOptions o;
    o.bits = value;
    return o;
  }
  constexpr bool has(OptimizeOption o) const { return (bits & static_cast<std::uint8_t>(o)) != 0; }
  constexpr std::uint8_t value() const { return bits; }

 private:
  std::uint8_t bits = 0;
};

// In this order: sort colour tables; tidy (unused transparency off, disposal that an
// opaque covering next frame makes pointless); diff frames (last to second); trim borders
// (last to first, empty frames deleted and their delay added to the frame before); tidy
// (extensions that change nothing, empty frames without extensions). Progress "Optimizing...".
// With Reduce set, Tidy clear and mode CustomPalette it stops, after the rest of the work,
// with GifError("Invalid reduction method"). Any stop leaves the changes made so far.
// Only `mode` of the reduction settings is looked at.
void optimizeFrames(GifImage& image, OptimizeOptions options, ReductionMode mode = ReductionMode::None,
                    DitherKind dither = DitherKind::Nearest, int bits = 8);

// Makes every pixel of `frame` that shows the same colour as `previous` at the same screen
// position transparent, giving the frame a transparent colour when it has none (a black
// entry appended to its local table, else a transparent index shared with other frames of
// the global table, else a black entry appended to the global table). Does nothing when
// there is no free table slot for that entry.
void maskUnchangedPixels(GifFrame& frame, const GifFrame* previous);

// Cuts the rows and columns that are transparent in every pixel off the frame's edges,
// moving its position accordingly. A wholly transparent frame is cleared (it loses its
// pixels and extensions). Nothing for an empty frame or one without transparency.
void trimTransparentBorders(GifFrame& frame);

}  // namespace zefra::gif
