// The frame selection of the Editor: which frames the strip has chosen and how far an
// edit of a frame field reaches because of it.
#include <algorithm>

#include "editor/editor.h"

namespace zefra::editor {

namespace {

std::size_t bit(int frame) { return static_cast<std::size_t>(frame); }

FrameSet framesUpTo(int count) {
  FrameSet frames;
  for (int k = 1; k <= count; ++k) frames.set(bit(k));
  return frames;
}

}  // namespace

bool Editor::severalFramesSelected() const {
  // A selection the current frame has left (undo of an edit made elsewhere) no longer
  // stands for what the user sees chosen.
  return selection.test(bit(state->currentFrame)) && selection.count() > 1;
}

FrameSet Editor::selectedFrames() const {
  if (severalFramesSelected()) return selection;
  FrameSet current;
  current.set(bit(state->currentFrame));
  return current;
}

FrameSet Editor::framesInScope(EditScope scope) const {
  if (scope == EditScope::AllFrames) return framesUpTo(state->frameCount);
  if (severalFramesSelected()) return selection;
  if (scope == EditScope::FollowLock && !state->lockFrames) return framesUpTo(state->frameCount);
  return selectedFrames();
}

void Editor::dropSelection(Change& change) {
  // Asked after the current frame moved, so any recorded choice counts as shown.
  if (selection.count() > 1) change.frameSelectionChanged = true;
  selection.reset();
  selectionAnchor = state->currentFrame;
}

Change Editor::selectFrame(int frame) {
  Change change = goToFrame(frame);
  selectionAnchor = state->currentFrame;
  return change;
}

Change Editor::selectFrames(const FrameSet& frames, int current) {
  const FrameSet before = selectedFrames();
  const int target = std::clamp(current, 1, static_cast<int>(state->frameCount));
  Change change;
  change.currentFrameChanged = target != state->currentFrame;
  state->currentFrame = static_cast<std::uint8_t>(target);
  selection = frames & framesUpTo(state->frameCount);
  selection.set(bit(target));
  if (selection.count() == 1) selection.reset();
  change.frameSelectionChanged = selectedFrames() != before;
  mergeOpen = false;
  return change;
}

Change Editor::toggleFrameSelected(int frame) {
  if (frame < 1 || frame > state->frameCount) return Change::refused("");
  FrameSet frames = selectedFrames();
  if (!frames.test(bit(frame))) {
    frames.set(bit(frame));
    selectionAnchor = frame;
    return selectFrames(frames, frame);
  }
  if (frames.count() == 1) return Change{};
  frames.reset(bit(frame));
  int current = state->currentFrame;
  if (current == frame) {
    current = 0;
    for (int k = frame + 1; k <= state->frameCount && current == 0; ++k)
      if (frames.test(bit(k))) current = k;
    for (int k = frame - 1; k >= 1 && current == 0; --k)
      if (frames.test(bit(k))) current = k;
  }
  return selectFrames(frames, current);
}

Change Editor::selectFrameRange(int frame) {
  const int target = std::clamp(frame, 1, static_cast<int>(state->frameCount));
  const int anchor = std::clamp(selectionAnchor, 1, static_cast<int>(state->frameCount));
  FrameSet frames;
  for (int k = std::min(anchor, target); k <= std::max(anchor, target); ++k) frames.set(bit(k));
  Change change = selectFrames(frames, target);
  selectionAnchor = anchor;
  return change;
}

}  // namespace zefra::editor
