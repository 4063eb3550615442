#pragma once
// When each frame of an animation is on screen. A playback is a sequence of steps: the
// first pass shows every playable frame, each further pass starts again at the frame that
// carries the loop extension. Time is milliseconds since playback started, so the answers
// are pure functions of t and a late timer never makes the animation drift.

#include <cstdint>
#include <optional>
#include <vector>

#include "gif/playback_options.h"

namespace zefra::gif {

class GifFrame;
class GifImage;

// A GIF delay unit is a hundredth of a second. Delays of 0 and 1 (and frames without a
// graphic control extension) are stretched to 100 ms, as browsers play them: files written
// for "as fast as possible" would otherwise spin at 100 frames a second.
inline constexpr int kMsPerDelayUnit = 10;
inline constexpr int kDefaultDelayUnits = 10;
int delayUnitsToMs(int units);
// The frame's delay at normal speed.
int frameDelayMs(const GifFrame& frame);

// The frames that take part in playback: those before the first frame without pixels
// (an empty frame ends every pass), only the first one when not animating.
int playableFrameCount(const GifImage& image, const PlaybackOptions& options);

struct PlaybackStep {
  std::int64_t number = 0;  // counts every frame shown since the start
  int pass = 0;             // 0 for the first pass
  int frame = -1;           // frame index, -1 when there is nothing to show
};

class PlaybackTimeline {
 public:
  // passes: total number of passes, nullopt for ever.
  PlaybackTimeline(std::vector<int> delaysMs, int loopStart, std::optional<std::int64_t> passes,
                   std::uint32_t speedPercent = 100);
  // Delays, loop start and passes from the image, its loop extension and the options: a
  // loop count N repeats the animation N times after the first pass (N + 1 passes, as
  // viewers play it), 0 repeats for ever, no loop extension plays once.
  PlaybackTimeline(const GifImage& image, const PlaybackOptions& options);

  int frameCount() const { return static_cast<int>(delays.size()); }
  int loopStart() const { return loopFrom; }
  std::optional<std::int64_t> passCount() const { return passes; }
  // Delay of a frame after the speed is applied (at least 1 ms).
  std::int64_t scaledDelayMs(int frame) const;

  PlaybackStep stepAt(std::int64_t t) const;
  // Frame and pass of a step number (clamped to the last step of a finite playback).
  PlaybackStep step(std::int64_t number) const;
  std::int64_t startOfStep(std::int64_t number) const;
  // The time of the next step after t, nullopt when the picture at t stays for good (the
  // last frame of the last pass, a single frame, or a speed of 0).
  std::optional<std::int64_t> nextChangeAfter(std::int64_t t) const;
  bool isFinalStep(std::int64_t number) const;
  // Total steps, nullopt for ever.
  std::optional<std::int64_t> stepCount() const;

 private:
  std::vector<int> delays;
  int loopFrom = 0;
  std::optional<std::int64_t> passes;
  std::uint32_t speed = 100;
  std::vector<std::int64_t> firstPassStarts;  // frameCount() + 1 entries
  std::vector<std::int64_t> laterPassStarts;  // frameCount() - loopFrom + 1 entries
  void computeStarts();
};

}  // namespace zefra::gif
