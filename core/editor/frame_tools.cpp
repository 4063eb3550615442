#include "editor/frame_tools.h"

#include <cstdint>
#include <cstdlib>
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

template <typename T>
T mix(T a, T b, int step, int steps) {
  if (a == b) return a;
  const long long den = steps + 1;
  const long long num = static_cast<long long>(a) * (den - step) + static_cast<long long>(b) * step;
  return static_cast<T>(roundDivHalfEven(num, den));
}

Color mixColor(Color a, Color b, int step, int steps) {
  if (a == b || isSystemColor(a) || isSystemColor(b)) return a;
  return rgb(mix(redOf(a), redOf(b), step, steps), mix(greenOf(a), greenOf(b), step, steps),
             mix(blueOf(a), blueOf(b), step, steps));
}

template <typename T, std::size_t N>
void mixArray(T (&out)[N], const T (&a)[N], const T (&b)[N], int step, int steps) {
  for (std::size_t i = 0; i < N; ++i) out[i] = mix(a[i], b[i], step, steps);
}

template <std::size_t N>
void mixColors(Color (&out)[N], const Color (&a)[N], const Color (&b)[N], int step, int steps) {
  for (std::size_t i = 0; i < N; ++i) out[i] = mixColor(a[i], b[i], step, steps);
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

model::FrameRecord tweenRecord(const model::FrameRecord& from, const model::FrameRecord& to, int step, int steps) {
  model::FrameRecord r = from;
  r.delayMs = mix(from.delayMs, to.delayMs, step, steps);
  r.frameColor = mixColor(from.frameColor, to.frameColor, step, steps);
  r.gradientColor1 = mixColor(from.gradientColor1, to.gradientColor1, step, steps);
  r.gradientColor2 = mixColor(from.gradientColor2, to.gradientColor2, step, steps);
  r.borderWidth = mix(from.borderWidth, to.borderWidth, step, steps);
  r.bevelWidth = mix(from.bevelWidth, to.bevelWidth, step, steps);
  r.borderColor = mixColor(from.borderColor, to.borderColor, step, steps);
  r.highlightColor = mixColor(from.highlightColor, to.highlightColor, step, steps);
  r.shadowColor = mixColor(from.shadowColor, to.shadowColor, step, steps);

  mixArray(r.fontSize, from.fontSize, to.fontSize, step, steps);
  mixColors(r.fontColor, from.fontColor, to.fontColor, step, steps);
  mixArray(r.textX, from.textX, to.textX, step, steps);
  mixArray(r.textY, from.textY, to.textY, step, steps);
  mixColors(r.textGradientColor1, from.textGradientColor1, to.textGradientColor1, step, steps);
  mixColors(r.textGradientColor2, from.textGradientColor2, to.textGradientColor2, step, steps);
  mixArray(r.viewAngle, from.viewAngle, to.viewAngle, step, steps);
  mixArray(r.textBorderWidth, from.textBorderWidth, to.textBorderWidth, step, steps);
  mixArray(r.shadowDarkness, from.shadowDarkness, to.shadowDarkness, step, steps);
  mixColors(r.text3DColor, from.text3DColor, to.text3DColor, step, steps);

  mixArray(r.pictureX, from.pictureX, to.pictureX, step, steps);
  mixArray(r.pictureY, from.pictureY, to.pictureY, step, steps);

  mixArray(r.shapeX, from.shapeX, to.shapeX, step, steps);
  mixArray(r.shapeY, from.shapeY, to.shapeY, step, steps);
  mixArray(r.shapeWidth, from.shapeWidth, to.shapeWidth, step, steps);
  mixArray(r.shapeHeight, from.shapeHeight, to.shapeHeight, step, steps);
  mixColors(r.shapeFillColor, from.shapeFillColor, to.shapeFillColor, step, steps);
  mixArray(r.shapeBorderWidth, from.shapeBorderWidth, to.shapeBorderWidth, step, steps);
  mixColors(r.shapeBorderColor, from.shapeBorderColor, to.shapeBorderColor, step, steps);
  return r;
}

Change moveFrameLeft(Editor& editor) { return swapWithNeighbour(editor, -1, kMoveFrameLeftLabel); }
Change moveFrameRight(Editor& editor) { return swapWithNeighbour(editor, +1, kMoveFrameRightLabel); }

Change tweenFrames(Editor& editor, int count) {
  const model::LabelProject& project = editor.project();
  if (count < 1) return Change::refused("");
  if (project.frameCount + count > model::kMaxFrames) return Change::refused(kMaxFramesMessage);
  if (project.frameCount < 2) return Change::refused(kTweenNeedsTwoFramesMessage);
  const int current = project.currentFrame;
  const int next = current == project.frameCount ? 1 : current + 1;
  std::vector<model::FrameRecord> frames;
  frames.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) frames.push_back(tweenRecord(project.frame(current), project.frame(next), i, count));
  return editor.replaceFrames(kTweenFramesLabel, current + 1, 0, std::move(frames), current + 1);
}

}  // namespace zefra::editor
