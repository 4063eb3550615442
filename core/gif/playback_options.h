#pragma once
// How an image is to be played: the playback bits of GifImage::drawFlags, its playback
// speed and backdrop colour, read once when a player is made so that later changes of the
// image do not reach a running player.

#include <cstdint>
#include <optional>

#include "common/color.h"

namespace zefra::gif {

class GifImage;

// Bits of GifImage::drawFlags. Only the ones below change what is shown; the default value
// also carries bits 0, 9 and 10 (threaded play, dithering for 8-bit displays), which mean
// nothing on a true-colour display driven by a GUI timer and are ignored.
inline constexpr std::uint16_t kDrawTransparent = 1u << 1;
inline constexpr std::uint16_t kDrawAnimate = 1u << 2;
inline constexpr std::uint16_t kDrawLoop = 1u << 3;
inline constexpr std::uint16_t kDrawLoopForever = 1u << 4;
inline constexpr std::uint16_t kDrawClearOnLoop = 1u << 7;
inline constexpr std::uint16_t kDrawTile = 1u << 8;

// GifImage::backdropColor when no backdrop is set.
inline constexpr Color kNoBackdrop = 0x1FFFFFFF;
// What restored background shows without transparency when the image has no global
// colour table: the usual window colour.
inline constexpr Color kWindowColor = 0xFFFFFF;

struct PlaybackOptions {
  bool transparent = true;   // honour frame transparency; restored areas show what lies below
  bool animate = true;       // otherwise only the first frame is shown
  bool loop = true;          // more than one pass allowed
  bool loopForever = false;  // repeat whatever the loop extension says
  bool clearOnLoop = false;  // restore the background under the first frame at every pass
  bool tile = false;         // for the widget: repeat at natural size instead of stretching
  std::uint32_t speedPercent = 100;  // 0 holds the first frame
  std::optional<Color> backdrop;     // fill of restored areas when not transparent

  static PlaybackOptions fromImage(const GifImage& image);
};

}  // namespace zefra::gif
