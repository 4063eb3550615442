#pragma once
// The whole-record moves behind Insert, Delete and Reverse, kept apart from the commands
// so that undo and redo replay exactly the same moves. They move records only: the
// project-wide settings are not part of a record and stay where they are.

#include <vector>

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
// Records at..at+removeCount-1 are replaced by `records`; the frames after them move up or
// down to make room. Requires 1 <= at <= frameCount + 1, at + removeCount - 1 <= frameCount
// and a resulting frame count of 1..127.
void spliceFrames(model::LabelProject& project, int at, int removeCount, const std::vector<model::FrameRecord>& records);
// Swaps records i and frameCount + 1 - i for i = 1..frameCount div 2.
void reverseFrameOrder(model::LabelProject& project);

}  // namespace zefra::editor
