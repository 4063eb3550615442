#include "editor/frame_moves.h"

#include <algorithm>
#include <cassert>

namespace zefra::editor {

void duplicateFrame(model::LabelProject& project, int k) {
  assert(project.frameCount < model::kMaxFrames && k >= 1 && k <= project.frameCount);
  auto first = project.records.begin() + (k - 1);
  auto last = project.records.begin() + project.frameCount;
  std::copy_backward(first, last, last + 1);
  ++project.frameCount;
}

void removeFrame(model::LabelProject& project, int k) {
  assert(project.frameCount > 1 && k >= 1 && k <= project.frameCount);
  auto target = project.records.begin() + (k - 1);
  auto last = project.records.begin() + project.frameCount;
  std::copy(target + 1, last, target);
  --project.frameCount;
}

void reinsertFrame(model::LabelProject& project, int k, const model::FrameRecord& record) {
  assert(project.frameCount < model::kMaxFrames && k >= 1 && k <= project.frameCount + 1);
  auto first = project.records.begin() + (k - 1);
  auto last = project.records.begin() + project.frameCount;
  std::copy_backward(first, last, last + 1);
  *first = record;
  ++project.frameCount;
}

void spliceFrames(model::LabelProject& project, int at, int removeCount, const std::vector<model::FrameRecord>& records) {
  const int count = project.frameCount;
  const int inserted = static_cast<int>(records.size());
  const int newCount = count - removeCount + inserted;
  assert(at >= 1 && removeCount >= 0 && at + removeCount - 1 <= count && newCount >= 1 && newCount <= model::kMaxFrames);
  auto base = project.records.begin();
  auto tail = base + (at - 1 + removeCount);  // first record that stays after the replaced run
  auto end = base + count;
  if (inserted > removeCount) {
    std::copy_backward(tail, end, end + (inserted - removeCount));
  } else if (inserted < removeCount) {
    std::copy(tail, end, tail - (removeCount - inserted));
  }
  std::copy(records.begin(), records.end(), base + (at - 1));
  project.frameCount = static_cast<std::uint8_t>(newCount);
}

void reverseFrameOrder(model::LabelProject& project) {
  std::reverse(project.records.begin(), project.records.begin() + project.frameCount);
}

}  // namespace zefra::editor
