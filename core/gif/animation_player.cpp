#include "gif/animation_player.h"

#include <algorithm>
#include <utility>

#include "gif/gif_image.h"

namespace zefra::gif {

AnimationPlayer::AnimationPlayer(const GifImage& image) : AnimationPlayer(image, PlaybackOptions::fromImage(image)) {}

AnimationPlayer::AnimationPlayer(const GifImage& image, const PlaybackOptions& options)
    : opts(options), times(image, options), composer(image, options, times.frameCount()) {}

std::int64_t AnimationPlayer::canonicalStep(std::int64_t number) const {
  const PlaybackStep s = times.step(number);
  if (s.pass <= 2) return s.number;
  const std::int64_t n1 = times.frameCount();
  const std::int64_t n2 = times.frameCount() - times.loopStart();
  return n1 + n2 + (s.frame - times.loopStart());
}

void AnimationPlayer::advance() {
  const std::int64_t next = cursor + 1;
  const PlaybackStep s = times.step(next);
  if (cursor < 0) {
    base = composer.blank();
  } else {
    RgbaImage after = shown;
    composer.dispose(times.step(cursor).frame, base, after);
    base = std::move(after);
  }
  // A new pass starting at the first frame may clear what lies under it first.
  if (opts.clearOnLoop && s.frame == 0 && next > 0) composer.restoreBackground(0, base);
  shown = base;
  composer.draw(s.frame, shown);
  cursor = next;
}

const RgbaImage& AnimationPlayer::pictureOfStep(std::int64_t number) {
  if (times.frameCount() == 0) {
    if (shown.width != composer.width() || shown.height != composer.height()) shown = composer.blank();
    return shown;
  }
  const std::int64_t target = canonicalStep(times.step(number).number);
  if (target < cursor) {
    // Wrapping from the end of the third pass to its start continues from the screen the
    // last frame leaves, which is what the next pass starts from; anything else replays.
    const std::int64_t n1 = times.frameCount();
    const std::int64_t n2 = times.frameCount() - times.loopStart();
    if (target == n1 + n2 && cursor == n1 + 2 * n2 - 1) {
      RgbaImage after = shown;
      composer.dispose(times.step(cursor).frame, base, after);
      base = std::move(after);
      if (opts.clearOnLoop && times.loopStart() == 0) composer.restoreBackground(0, base);
      shown = base;
      composer.draw(times.loopStart(), shown);
      cursor = target;
      return shown;
    }
    cursor = -1;
  }
  while (cursor < target) advance();
  return shown;
}

PlaybackRun::PlaybackRun(std::shared_ptr<AnimationPlayer> player, const PlaybackClock& source)
    : play(std::move(player)), clock(source) {}

PlaybackUpdate PlaybackRun::finish(PlaybackUpdate u, std::int64_t t) {
  u.frame = current.frame;
  u.pass = current.pass;
  const auto next = play->nextChangeAfter(t);
  if (!next) {
    if (!ended) u.events.push_back(PlaybackEvent::PlayEnd);
    ended = true;
  } else {
    u.waitMs = *next - t;
  }
  return u;
}

PlaybackUpdate PlaybackRun::start() {
  startTime = clock.nowMs();
  started = true;
  ended = false;
  current = play->stepAt(0);
  PlaybackUpdate u;
  u.events = {PlaybackEvent::PlayStart};
  if (current.frame >= 0) {
    u.events.push_back(PlaybackEvent::FrameDraw);
    u.events.push_back(PlaybackEvent::FrameDrawn);
    u.pictureChanged = true;
  }
  return finish(std::move(u), 0);
}

PlaybackUpdate PlaybackRun::update() {
  PlaybackUpdate u;
  if (!running() || paused()) {
    u.frame = current.frame;
    u.pass = current.pass;
    return u;
  }
  const std::int64_t t = clock.nowMs() - startTime;
  const PlaybackStep now = play->stepAt(t);
  if (now.number != current.number) {
    if (now.pass != current.pass) u.events.push_back(PlaybackEvent::PlayLoop);
    u.events.push_back(PlaybackEvent::FrameDraw);
    u.events.push_back(PlaybackEvent::FrameDrawn);
    u.pictureChanged = true;
    current = now;
  }
  return finish(std::move(u), t);
}

void PlaybackRun::stop() {
  if (running()) ended = true;
  pausedAt.reset();
}

void PlaybackRun::pause() {
  if (!running() || paused()) return;
  // The step on screen stays, even when the timer that would replace it is already due.
  const std::int64_t from = play->timeline().startOfStep(current.number);
  const std::int64_t until = play->timeline().startOfStep(current.number + 1);
  pausedAt = std::clamp(clock.nowMs() - startTime, from, std::max(from, until - 1));
}

PlaybackUpdate PlaybackRun::resume() {
  if (!paused()) return update();
  PlaybackUpdate u;
  // Held on the last step of a playback that ends: it plays again from the start.
  if (current.number > 0 && play->timeline().isFinalStep(current.number)) u = seekStep(0);
  const std::int64_t t = *pausedAt;
  pausedAt.reset();
  startTime = clock.nowMs() - t;
  return finish(std::move(u), t);
}

PlaybackUpdate PlaybackRun::seekStep(std::int64_t number) {
  PlaybackUpdate u;
  if (!started) return u;
  const PlaybackStep target = play->timeline().step(number);
  if (target.frame < 0) return u;
  const std::int64_t t = play->timeline().startOfStep(target.number);
  const bool changed = target.number != current.number;
  current = target;
  if (changed) {
    u.events = {PlaybackEvent::FrameDraw, PlaybackEvent::FrameDrawn};
    u.pictureChanged = true;
  }
  u.frame = current.frame;
  u.pass = current.pass;
  if (paused() || ended) {
    // Held there: a playback that had ended goes on from here when resumed.
    pausedAt = t;
    ended = false;
    return u;
  }
  startTime = clock.nowMs() - t;
  return finish(std::move(u), t);
}

PlaybackUpdate PlaybackRun::stepForward() {
  const PlaybackTimeline& times = play->timeline();
  return seekStep(times.isFinalStep(current.number) ? 0 : current.number + 1);
}

PlaybackUpdate PlaybackRun::stepBack() {
  return seekStep(current.number > 0 ? current.number - 1 : play->frameCount() - 1);
}

}  // namespace zefra::gif
