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

void reverseFrameOrder(model::LabelProject& project) {
  std::reverse(project.records.begin(), project.records.begin() + project.frameCount);
}

}  // namespace zefra::editor
