#pragma once
// Small value types and settings shared by the GIF model and the codec. The numeric values
// of the enums are the ones stored in GifImage and passed around by callers, so they must
// not be renumbered.

#include <cstdint>

#include "colour/colour_types.h"
#include "common/color.h"

namespace zefra::gif {

// The GIF model stores colour tables and reduction settings in the colour module's terms.
using colour::DitherKind;
using colour::ReductionMode;
using colour::Rgb;
using colour::toColor;
using colour::toRgb;

enum class GifVersion : std::uint8_t { Gif87a, Gif89a };

enum class CompressionKind : std::uint8_t { Lzw = 0, RunLength = 1 };

// Disposal method of a graphic control extension (bits 4..2 of its packed byte).
enum class Disposal : std::uint8_t {
  Unspecified = 0,
  Keep = 1,
  RestoreBackground = 2,
  RestorePrevious = 3,
};

enum class ProgressStage : std::uint8_t { Starting, Running, Ending };

// Severity passed to warning handlers; the library only ever reports this one.
constexpr int kWarningSeverity = 1;

// Upper bounds on what outside data may make the library allocate. A GIF header can ask
// for 65535 x 65535 pixels per frame in a few bytes, so sizes are checked against these
// before any pixel array exists. The defaults are far above any banner or photo the
// editor handles (a frame may hold 8192 x 4096 pixels, an image four such frames' worth).
//
// Counts are bounded too, since every frame and extension is an object of its own: a
// file of one-pixel frames (14 bytes each) or empty comments (3 bytes each) would
// otherwise turn a few megabytes into millions of objects. 100 000 frames is over half
// an hour of animation at the fastest delay most viewers honour.
struct PixelLimits {
  std::uint64_t maxFramePixels = std::uint64_t{1} << 25;
  std::uint64_t maxImagePixels = std::uint64_t{1} << 27;
  // The largest file read: 256 MB, more than the LZW data of the largest image allowed
  // needs even at 12 bits per pixel.
  std::uint64_t maxFileBytes = std::uint64_t{1} << 28;
  std::uint32_t maxFrames = 100000;
  std::uint32_t maxExtensions = 1000000;
  // The logical screen, checked from the header before any frame is read: callers that
  // compose whole screens (pictures, import) set what they can afford.
  std::uint64_t maxScreenPixels = std::uint64_t{65535} * 65535;
  int maxScreenSide = 65535;
};

}  // namespace zefra::gif
