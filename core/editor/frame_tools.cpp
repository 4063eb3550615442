#include "editor/frame_tools.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "common/color.h"

namespace zefra::editor {

namespace {

// num / den rounded to the nearest integer, halves to even; den > 0.
long long roundDivHalfEven(long long num, long long den) {
  long long q = num / den;
  long long r = num % den;
  if (r < 0) {  // make the remainder non-negative so q is the floor
    r += den;
    --q;
  }
  const long long twice = 2 * r;
  if (twice > den || (twice == den && (q % 2 != 0))) ++q;
  return q;
}

// Where a frame stands on the way, as an exact fraction num / den of it.
struct Fraction {
  long long num = 0;
  long long den = 1;
};

Fraction easedFraction(int step, int steps, Easing easing) {
  const long long s = step;
  const long long n = steps + 1;
  switch (easing) {
    case Easing::In:
      return {s * s, n * n};
    case Easing::Out:
      return {s * (2 * n - s), n * n};
    case Easing::InOut:
      return {s * s * (3 * n - 2 * s), n * n * n};
    case Easing::Linear:
      break;
  }
  return {s, n};
}

// a + (b - a) x f, rounded as a whole (not a plus a rounded offset), so a linear tween
// keeps the values (a x (den - num) + b x num) / den it has always given.
template <typename T>
T mix(T a, T b, Fraction f) {
  if (a == b) return a;
  const long long num = static_cast<long long>(a) * f.den + (static_cast<long long>(b) - a) * f.num;
  return static_cast<T>(roundDivHalfEven(num, f.den));
}

Color mixColor(Color a, Color b, Fraction f) {
  if (a == b || isSystemColor(a) || isSystemColor(b)) return a;
  return rgb(mix(redOf(a), redOf(b), f), mix(greenOf(a), greenOf(b), f), mix(blueOf(a), blueOf(b), f));
}

template <typename T, std::size_t N>
void mixArray(T (&out)[N], const T (&a)[N], const T (&b)[N], Fraction f) {
  for (std::size_t i = 0; i < N; ++i) out[i] = mix(a[i], b[i], f);
}

template <std::size_t N>
void mixColors(Color (&out)[N], const Color (&a)[N], const Color (&b)[N], Fraction f) {
  for (std::size_t i = 0; i < N; ++i) out[i] = mixColor(a[i], b[i], f);
}

Change swapWithNeighbour(Editor& editor, int offset, std::string_view label) {
  const model::LabelProject& project = editor.project();
  const int current = project.currentFrame;
  const int other = current + offset;
  if (other < 1 || other > project.frameCount) return Change::refused("");
  const int first = std::min(current, other);
  std::vector<model::FrameRecord> swapped{project.frame(first + 1), project.frame(first)};
  return editor.replaceFrames(label, first, 2, std::move(swapped), other);
}

}  // namespace

std::optional<Easing> easingFromName(std::string_view name) {
  for (std::size_t i = 0; i < kEasingNames.size(); ++i) {
    if (kEasingNames[i] == name) return static_cast<Easing>(i);
  }
  return std::nullopt;
}

model::FrameRecord tweenRecord(const model::FrameRecord& from, const model::FrameRecord& to, int step, int steps,
                               Easing easing) {
  const Fraction f = easedFraction(step, steps, easing);
  model::FrameRecord r = from;
  r.delayMs = mix(from.delayMs, to.delayMs, f);
  r.frameColor = mixColor(from.frameColor, to.frameColor, f);
  r.gradientColor1 = mixColor(from.gradientColor1, to.gradientColor1, f);
  r.gradientColor2 = mixColor(from.gradientColor2, to.gradientColor2, f);
  r.borderWidth = mix(from.borderWidth, to.borderWidth, f);
  r.bevelWidth = mix(from.bevelWidth, to.bevelWidth, f);
  r.borderColor = mixColor(from.borderColor, to.borderColor, f);
  r.highlightColor = mixColor(from.highlightColor, to.highlightColor, f);
  r.shadowColor = mixColor(from.shadowColor, to.shadowColor, f);

  mixArray(r.fontSize, from.fontSize, to.fontSize, f);
  mixColors(r.fontColor, from.fontColor, to.fontColor, f);
  mixArray(r.textX, from.textX, to.textX, f);
  mixArray(r.textY, from.textY, to.textY, f);
  mixColors(r.textGradientColor1, from.textGradientColor1, to.textGradientColor1, f);
  mixColors(r.textGradientColor2, from.textGradientColor2, to.textGradientColor2, f);
  mixArray(r.viewAngle, from.viewAngle, to.viewAngle, f);
  mixArray(r.textBorderWidth, from.textBorderWidth, to.textBorderWidth, f);
  mixArray(r.shadowDarkness, from.shadowDarkness, to.shadowDarkness, f);
  mixColors(r.text3DColor, from.text3DColor, to.text3DColor, f);

  mixArray(r.pictureX, from.pictureX, to.pictureX, f);
  mixArray(r.pictureY, from.pictureY, to.pictureY, f);

  mixArray(r.shapeX, from.shapeX, to.shapeX, f);
  mixArray(r.shapeY, from.shapeY, to.shapeY, f);
  mixArray(r.shapeWidth, from.shapeWidth, to.shapeWidth, f);
  mixArray(r.shapeHeight, from.shapeHeight, to.shapeHeight, f);
  mixColors(r.shapeFillColor, from.shapeFillColor, to.shapeFillColor, f);
  mixArray(r.shapeBorderWidth, from.shapeBorderWidth, to.shapeBorderWidth, f);
  mixColors(r.shapeBorderColor, from.shapeBorderColor, to.shapeBorderColor, f);
  return r;
}

Change moveFrameLeft(Editor& editor) { return swapWithNeighbour(editor, -1, kMoveFrameLeftLabel); }
Change moveFrameRight(Editor& editor) { return swapWithNeighbour(editor, +1, kMoveFrameRightLabel); }

Change tweenFrames(Editor& editor, int count) { return tweenFrames(editor, TweenOptions{count}); }

Change tweenFrames(Editor& editor, const TweenOptions& options) {
  const model::LabelProject& project = editor.project();
  const int count = options.count;
  const int current = project.currentFrame;
  if (count < 1) return Change::refused("");
  const bool replacing = options.toFrame != 0;
  if (replacing && (options.toFrame <= current || options.toFrame > project.frameCount)) {
    return Change::refused(kTweenTargetMessage);
  }
  const int replaced = replacing ? options.toFrame - current - 1 : 0;
  if (project.frameCount - replaced + count > model::kMaxFrames) return Change::refused(kMaxFramesMessage);
  if (project.frameCount < 2) return Change::refused(kTweenNeedsTwoFramesMessage);
  const int next = replacing ? options.toFrame : current == project.frameCount ? 1 : current + 1;
  const model::FrameRecord& from = project.frame(current);
  std::vector<model::FrameRecord> frames;
  frames.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    frames.push_back(tweenRecord(from, project.frame(next), i, count, options.easing));
    if (options.keepDelays) frames.back().delayMs = from.delayMs;
  }
  return editor.replaceFrames(kTweenFramesLabel, current + 1, replaced, std::move(frames), current + 1);
}

}  // namespace zefra::editor
