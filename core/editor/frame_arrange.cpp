#include "editor/frame_arrange.h"

#include <algorithm>
#include <vector>

namespace zefra::editor {

namespace {

using model::FrameRecord;

std::size_t bit(int frame) { return static_cast<std::size_t>(frame); }

std::vector<int> framesOf(const FrameSet& set, int count) {
  std::vector<int> frames;
  for (int k = 1; k <= count; ++k)
    if (set.test(bit(k))) frames.push_back(k);
  return frames;
}

// The frames in a new order: `order` lists old frame numbers (a number twice is a copy).
struct Arrangement {
  std::vector<int> order;
  int current = 1;     // new position
  FrameSet selected;   // new positions
};

// Replaces only the run of records that differs, so the undo step keeps no more than
// the frames that moved.
Change arrange(Editor& editor, std::string_view label, const Arrangement& arrangement) {
  const model::LabelProject& project = editor.project();
  const int oldCount = project.frameCount;
  const int newCount = static_cast<int>(arrangement.order.size());
  std::vector<FrameRecord> records;
  records.reserve(arrangement.order.size());
  for (int k : arrangement.order) records.push_back(project.frame(k));
  const int shorter = std::min(oldCount, newCount);
  int prefix = 0;
  while (prefix < shorter && model::sameBytes(project.frame(prefix + 1), records[bit(prefix)])) ++prefix;
  int suffix = 0;
  while (suffix < shorter - prefix &&
         model::sameBytes(project.frame(oldCount - suffix), records[bit(newCount - 1 - suffix)]))
    ++suffix;
  std::vector<FrameRecord> middle(records.begin() + prefix, records.end() - suffix);
  Change change = editor.replaceFrames(label, prefix + 1, oldCount - prefix - suffix, std::move(middle),
                                       arrangement.current);
  if (!change.applied) return change;
  const Change selected = editor.selectFrames(arrangement.selected, arrangement.current);
  change.frameSelectionChanged = change.frameSelectionChanged || selected.frameSelectionChanged;
  return change;
}

int positionOf(const std::vector<int>& order, int oldFrame) {
  const auto found = std::find(order.begin(), order.end(), oldFrame);
  return static_cast<int>(found - order.begin()) + 1;
}

}  // namespace

Change moveFrames(Editor& editor, const FrameSet& frames, int before) {
  const int count = editor.project().frameCount;
  const std::vector<int> moved = framesOf(frames, count);
  if (moved.empty()) return Change::refused("");
  before = std::clamp(before, 1, count + 1);
  Arrangement result;
  for (int k = 1; k < before; ++k)
    if (!frames.test(bit(k))) result.order.push_back(k);
  const int firstMoved = static_cast<int>(result.order.size()) + 1;
  result.order.insert(result.order.end(), moved.begin(), moved.end());
  for (int k = before; k <= count; ++k)
    if (!frames.test(bit(k))) result.order.push_back(k);
  for (int i = 0; i < static_cast<int>(moved.size()); ++i) result.selected.set(bit(firstMoved + i));
  result.current = positionOf(result.order, editor.project().currentFrame);
  return arrange(editor, kMoveFramesLabel, result);
}

Change duplicateFrames(Editor& editor) {
  const int count = editor.project().frameCount;
  const int current = editor.project().currentFrame;
  const std::vector<int> copied = framesOf(editor.selectedFrames(), count);
  const int last = copied.back();
  Arrangement result;
  for (int k = 1; k <= last; ++k) result.order.push_back(k);
  for (std::size_t i = 0; i < copied.size(); ++i) {
    result.order.push_back(copied[i]);
    result.selected.set(bit(last + 1 + static_cast<int>(i)));
    if (copied[i] == current) result.current = last + 1 + static_cast<int>(i);
  }
  for (int k = last + 1; k <= count; ++k) result.order.push_back(k);
  return arrange(editor, kDuplicateFramesLabel, result);
}

Change deleteFrames(Editor& editor) {
  if (!editor.severalFramesSelected()) return editor.deleteFrame();
  const int count = editor.project().frameCount;
  const FrameSet doomed = editor.selectedFrames();
  if (static_cast<int>(doomed.count()) >= count) return Change::refused(kCannotDeleteFrameMessage);
  Arrangement result;
  const int firstDeleted = framesOf(doomed, count).front();
  for (int k = 1; k <= count; ++k)
    if (!doomed.test(bit(k))) result.order.push_back(k);
  // The frame that followed the first deleted one takes the place, as Delete Frame does.
  result.current = std::min(firstDeleted, static_cast<int>(result.order.size()));
  return arrange(editor, kDeleteFramesLabel, result);
}

Change reverseSelectedFrames(Editor& editor) {
  if (!editor.severalFramesSelected()) return editor.reverseFrames();
  const int count = editor.project().frameCount;
  const FrameSet selected = editor.selectedFrames();
  const std::vector<int> places = framesOf(selected, count);
  Arrangement result;
  for (int k = 1; k <= count; ++k) result.order.push_back(k);
  for (std::size_t i = 0; i < places.size(); ++i) result.order[bit(places[i] - 1)] = places[places.size() - 1 - i];
  result.current = positionOf(result.order, editor.project().currentFrame);
  result.selected = selected;
  return arrange(editor, kReverseFramesLabel, result);
}

Change setFrameDelays(Editor& editor, int ms) {
  const FieldRange range = fieldRange(Field::Delay, editor.project().current());
  const auto delay = static_cast<std::int16_t>(std::clamp<long>(ms, range.minimum, range.maximum));
  // CurrentFrame reaches exactly the selection: several frames, or the current one.
  return editor.editFrames(EditScope::CurrentFrame, kSetDelayLabel, [delay](FrameRecord& r) { r.delayMs = delay; });
}

}  // namespace zefra::editor
