#pragma once
// One undoable step: enough to put the project back as it was before the step and to
// replay it. Field edits keep the touched records before and after; the frame commands
// keep only what their inverse needs (Delete keeps the removed record), so a step on a
// 127-frame project stays small.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::editor {

struct RecordChange {
  int frame = 0;  // 1-based
  model::FrameRecord before{};
  model::FrameRecord after{};
};

struct EditStep {
  enum class Kind { Fields, InsertFrame, DeleteFrame, ReverseFrames, Splice };

  Kind kind = Kind::Fields;
  std::string label;  // what the step did, for "Undo <label>"
  int mergeKey = 0;

  // Fields
  std::vector<RecordChange> records;
  model::ProjectSettings settingsBefore;
  model::ProjectSettings settingsAfter;
  // A layer moved to another slot takes the slot lists' selection along: the selected text,
  // picture and shape slots before and after, restored by undo and redo.
  bool slotsMoved = false;
  std::array<std::int16_t, 3> slotsBefore{};
  std::array<std::int16_t, 3> slotsAfter{};

  // Frame commands: the current frame before and after the step. Insert copies
  // currentBefore; Delete removes currentBefore, whose record is kept in `removed`.
  int currentBefore = 1;
  int currentAfter = 1;
  std::vector<model::FrameRecord> removed;

  // Splice: from frame `at` on, the records in `removed` were replaced by those in
  // `inserted` (moving, tweening and importing frames).
  int at = 1;
  std::vector<model::FrameRecord> inserted;

  // What the step holds in memory, for the history's byte limit.
  std::size_t bytes() const {
    return sizeof(EditStep) + label.size() + records.size() * sizeof(RecordChange) +
           (removed.size() + inserted.size()) * sizeof(model::FrameRecord);
  }

  void undo(model::LabelProject& project) const;
  void redo(model::LabelProject& project) const;
};

}  // namespace zefra::editor
