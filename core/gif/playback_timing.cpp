#include "gif/playback_timing.h"

#include <algorithm>

#include "gif/application_extension.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"

namespace zefra::gif {

PlaybackOptions PlaybackOptions::fromImage(const GifImage& image) {
  PlaybackOptions o;
  const std::uint16_t flags = image.drawFlags;
  o.transparent = (flags & kDrawTransparent) != 0;
  o.animate = (flags & kDrawAnimate) != 0;
  o.loop = (flags & kDrawLoop) != 0;
  o.loopForever = (flags & kDrawLoopForever) != 0;
  o.clearOnLoop = (flags & kDrawClearOnLoop) != 0;
  o.tile = (flags & kDrawTile) != 0;
  o.speedPercent = image.playbackSpeed;
  if (image.backdropColor != kNoBackdrop) o.backdrop = image.backdropColor & 0xFFFFFF;
  return o;
}

int delayUnitsToMs(int units) {
  if (units <= 1) return kDefaultDelayUnits * kMsPerDelayUnit;
  return units * kMsPerDelayUnit;
}

int frameDelayMs(const GifFrame& frame) {
  if (!frame.graphicControl) return delayUnitsToMs(0);
  return delayUnitsToMs(frame.graphicControl->delayCs());
}

int playableFrameCount(const GifImage& image, const PlaybackOptions& options) {
  int n = 0;
  while (n < image.frames().count() && !image.frames()[n].empty()) ++n;
  return options.animate ? n : std::min(n, 1);
}

namespace {

// The first loop extension among the playable frames and the frame that holds it.
const LoopExtension* findLoop(const GifImage& image, int frames, int& holder) {
  for (int i = 0; i < frames; ++i)
    for (const auto& e : image.frames()[i].extensions())
      if (auto* loop = dynamic_cast<const LoopExtension*>(e.get())) {
        holder = i;
        return loop;
      }
  return nullptr;
}

std::vector<int> delaysOf(const GifImage& image, int frames) {
  std::vector<int> delays;
  for (int i = 0; i < frames; ++i) delays.push_back(frameDelayMs(image.frames()[i]));
  return delays;
}

}  // namespace

PlaybackTimeline::PlaybackTimeline(std::vector<int> delaysMs, int loopStart, std::optional<std::int64_t> passCount,
                                   std::uint32_t speedPercent)
    : delays(std::move(delaysMs)),
      loopFrom(std::clamp(loopStart, 0, std::max(0, static_cast<int>(delays.size()) - 1))),
      passes(passCount),
      speed(speedPercent) {
  if (passes && *passes < 1) passes = 1;
  computeStarts();
}

PlaybackTimeline::PlaybackTimeline(const GifImage& image, const PlaybackOptions& options)
    : PlaybackTimeline({}, 0, 1, options.speedPercent) {
  const int frames = playableFrameCount(image, options);
  delays = delaysOf(image, frames);
  loopFrom = 0;
  passes = 1;
  if (options.animate && options.loop && frames > 1) {
    int holder = 0;
    const LoopExtension* loop = findLoop(image, frames, holder);
    if (loop) loopFrom = holder;
    if (options.loopForever || (loop && loop->loopCount == 0)) passes.reset();
    else if (loop) passes = std::int64_t{loop->loopCount} + 1;
  }
  computeStarts();
}

std::int64_t PlaybackTimeline::scaledDelayMs(int frame) const {
  const std::int64_t ms = delays[static_cast<std::size_t>(frame)];
  if (speed == 0) return ms;
  return std::max<std::int64_t>(1, ms * 100 / speed);
}

void PlaybackTimeline::computeStarts() {
  firstPassStarts.assign(1, 0);
  laterPassStarts.assign(1, 0);
  for (int i = 0; i < frameCount(); ++i) firstPassStarts.push_back(firstPassStarts.back() + scaledDelayMs(i));
  for (int i = loopFrom; i < frameCount(); ++i) laterPassStarts.push_back(laterPassStarts.back() + scaledDelayMs(i));
}

std::optional<std::int64_t> PlaybackTimeline::stepCount() const {
  if (frameCount() == 0) return 0;
  if (frameCount() == 1 || speed == 0) return 1;
  if (!passes) return std::nullopt;
  return frameCount() + (*passes - 1) * (frameCount() - loopFrom);
}

bool PlaybackTimeline::isFinalStep(std::int64_t number) const {
  const auto total = stepCount();
  return total && number >= *total - 1;
}

PlaybackStep PlaybackTimeline::step(std::int64_t number) const {
  const auto total = stepCount();
  if (total && *total == 0) return {};
  if (total) number = std::min(number, *total - 1);
  number = std::max<std::int64_t>(number, 0);
  const std::int64_t n1 = frameCount();
  if (number < n1) return {number, 0, static_cast<int>(number)};
  const std::int64_t n2 = frameCount() - loopFrom;
  const std::int64_t later = number - n1;
  return {number, static_cast<int>(std::min<std::int64_t>(1 + later / n2, 1 << 30)),
          loopFrom + static_cast<int>(later % n2)};
}

std::int64_t PlaybackTimeline::startOfStep(std::int64_t number) const {
  const std::int64_t n1 = frameCount();
  if (number <= 0 || n1 == 0) return 0;
  if (number <= n1) return firstPassStarts[static_cast<std::size_t>(number)];
  const std::int64_t n2 = frameCount() - loopFrom;
  const std::int64_t later = number - n1;
  return firstPassStarts.back() + (later / n2) * laterPassStarts.back() +
         laterPassStarts[static_cast<std::size_t>(later % n2)];
}

PlaybackStep PlaybackTimeline::stepAt(std::int64_t t) const {
  const auto total = stepCount();
  if (total && *total <= 1) return step(0);
  if (t <= 0) return step(0);
  const std::int64_t n1 = frameCount();
  if (t < firstPassStarts.back()) {
    const auto it = std::upper_bound(firstPassStarts.begin(), firstPassStarts.end(), t);
    return step(static_cast<std::int64_t>(it - firstPassStarts.begin()) - 1);
  }
  const std::int64_t later = t - firstPassStarts.back();
  const std::int64_t pass = later / laterPassStarts.back();
  const std::int64_t within = later % laterPassStarts.back();
  if (passes && 1 + pass >= *passes) return step(*total - 1);
  const auto it = std::upper_bound(laterPassStarts.begin(), laterPassStarts.end(), within);
  const std::int64_t n2 = frameCount() - loopFrom;
  return step(n1 + pass * n2 + static_cast<std::int64_t>(it - laterPassStarts.begin()) - 1);
}

std::optional<std::int64_t> PlaybackTimeline::nextChangeAfter(std::int64_t t) const {
  const PlaybackStep now = stepAt(t);
  if (now.frame < 0 || isFinalStep(now.number)) return std::nullopt;
  return startOfStep(now.number + 1);
}

}  // namespace zefra::gif
