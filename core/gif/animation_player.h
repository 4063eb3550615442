#pragma once
// Plays a GifImage: answers which frame is on screen at a time t, when that changes next,
// and what the screen then looks like, composed with disposal and transparency. A
// PlaybackRun drives one player from a clock and reports the playback events (start,
// frame about to be drawn, frame drawn, new pass, end) in the order a viewer sees them;
// a GUI wakes it with a single-shot timer set to the delay it answers.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "gif/frame_composer.h"
#include "gif/playback_options.h"
#include "gif/playback_timing.h"

namespace zefra::gif {

class GifImage;

class AnimationPlayer {
 public:
  // Options from the image's drawFlags, playbackSpeed and backdropColor.
  explicit AnimationPlayer(const GifImage& image);
  AnimationPlayer(const GifImage& image, const PlaybackOptions& options);

  const PlaybackOptions& options() const { return opts; }
  const PlaybackTimeline& timeline() const { return times; }
  int width() const { return composer.width(); }
  int height() const { return composer.height(); }
  int frameCount() const { return times.frameCount(); }
  bool animated() const { return times.nextChangeAfter(0).has_value(); }

  PlaybackStep stepAt(std::int64_t t) const { return times.stepAt(t); }
  std::optional<std::int64_t> nextChangeAfter(std::int64_t t) const { return times.nextChangeAfter(t); }

  // The screen at time t / after a step. Playing forward costs one frame per step;
  // going back composes again from the start. Passes after the third look exactly like
  // the third (every pass applies the same drawing to the screen it finds), so a long
  // endless playback never replays more than three passes.
  const RgbaImage& pictureAt(std::int64_t t) { return pictureOfStep(times.stepAt(t).number); }
  const RgbaImage& pictureOfStep(std::int64_t number);

 private:
  std::int64_t canonicalStep(std::int64_t number) const;
  void advance();

  PlaybackOptions opts;
  PlaybackTimeline times;
  FrameComposer composer;
  std::int64_t cursor = -1;  // step shown in `shown`, -1 before the first
  RgbaImage base;            // the screen the cursor's frame was drawn on
  RgbaImage shown;
};

// Time source of a playback, in milliseconds; tests drive it by hand.
class PlaybackClock {
 public:
  virtual ~PlaybackClock() = default;
  virtual std::int64_t nowMs() const = 0;
};

enum class PlaybackEvent { PlayStart, FrameDraw, FrameDrawn, PlayLoop, PlayEnd };

struct PlaybackUpdate {
  std::vector<PlaybackEvent> events;
  bool pictureChanged = false;
  int frame = -1;
  int pass = 0;
  // Milliseconds until the next change, nullopt when playback has ended or holds still.
  std::optional<std::int64_t> waitMs;
};

class PlaybackRun {
 public:
  PlaybackRun(std::shared_ptr<AnimationPlayer> player, const PlaybackClock& clock);

  // Starts at the first frame (PlayStart, FrameDraw, FrameDrawn; PlayEnd at once for a
  // still picture).
  PlaybackUpdate start();
  // Catches up with the clock. When the clock jumped over several frames only the frame
  // now due is drawn; a pass boundary crossed on the way is still reported.
  PlaybackUpdate update();
  // Ends playback where it is; later updates change nothing.
  void stop();

  // Holds the step shown: the clock no longer moves playback and updates report nothing.
  // Playback time is kept, so resume() goes on with what was left of the step's delay.
  void pause();
  // Goes on from where pause() held it (the frame due then has the rest of its delay), or
  // from the start of the step seekStep() showed; held on the last step of a playback
  // that ends, from the first step. Answers the wait for the next change.
  PlaybackUpdate resume();
  // Shows step `number` (clamped to the playback's steps; a new pass when looping) from
  // its start, paused or playing as before; a playback that had ended can be resumed
  // again from there.
  PlaybackUpdate seekStep(std::int64_t number);
  // The step after the current one, the first again after the last; the one before, the
  // first pass's last frame before the first.
  PlaybackUpdate stepForward();
  PlaybackUpdate stepBack();

  bool paused() const { return pausedAt.has_value(); }
  bool running() const { return started && !ended; }
  const AnimationPlayer& player() const { return *play; }
  const RgbaImage& picture() { return play->pictureOfStep(current.number); }
  PlaybackStep currentStep() const { return current; }

 private:
  PlaybackUpdate finish(PlaybackUpdate u, std::int64_t t);

  std::shared_ptr<AnimationPlayer> play;
  const PlaybackClock& clock;
  std::int64_t startTime = 0;
  std::optional<std::int64_t> pausedAt;  // playback time held while paused
  PlaybackStep current;
  bool started = false;
  bool ended = false;
};

}  // namespace zefra::gif
