#pragma once
// The whole-record moves behind Insert, Delete and Reverse, kept apart from the commands
// so that undo and redo replay exactly the same moves. They move records only: the
// project-wide settings are not part of a record and stay where they are.

#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::editor {

// Records k..frameCount move up by one and frame k is present twice (k and k+1).
// Requires frameCount < 127 and 1 <= k <= frameCount.
void duplicateFrame(model::LabelProject& project, int k);
// Records k+1..frameCount move down by one; frameCount drops by one.
// Requires frameCount > 1 and 1 <= k <= frameCount.
void removeFrame(model::LabelProject& project, int k);
// Records k..frameCount move up by one and `record` becomes frame k.
// Requires frameCount < 127 and 1 <= k <= frameCount + 1.
void reinsertFrame(model::LabelProject& project, int k, const model::FrameRecord& record);
// Swaps records i and frameCount + 1 - i for i = 1..frameCount div 2.
void reverseFrameOrder(model::LabelProject& project);

}  // namespace zefra::editor
