#include "editor/edit_step.h"

#include "editor/frame_moves.h"

namespace zefra::editor {

namespace {

void selectSlots(model::LabelProject& project, const std::array<std::int16_t, 3>& slots) {
  project.currentText = slots[0];
  project.currentPicture = slots[1];
  project.currentShape = slots[2];
}

}  // namespace

void EditStep::undo(model::LabelProject& project) const {
  switch (kind) {
    case Kind::Fields:
      for (const auto& change : records) project.frame(change.frame) = change.before;
      project.settings = settingsBefore;
      if (slotsMoved) selectSlots(project, slotsBefore);
      break;
    case Kind::InsertFrame:
      removeFrame(project, currentBefore + 1);
      break;
    case Kind::DeleteFrame:
      reinsertFrame(project, currentBefore, removed.front());
      break;
    case Kind::ReverseFrames:
      reverseFrameOrder(project);
      break;
    case Kind::Splice:
      spliceFrames(project, at, static_cast<int>(inserted.size()), removed);
      break;
  }
  project.currentFrame = static_cast<std::uint8_t>(currentBefore);
}

void EditStep::redo(model::LabelProject& project) const {
  switch (kind) {
    case Kind::Fields:
      for (const auto& change : records) project.frame(change.frame) = change.after;
      project.settings = settingsAfter;
      if (slotsMoved) selectSlots(project, slotsAfter);
      break;
    case Kind::InsertFrame:
      duplicateFrame(project, currentBefore);
      break;
    case Kind::DeleteFrame:
      removeFrame(project, currentBefore);
      break;
    case Kind::ReverseFrames:
      reverseFrameOrder(project);
      break;
    case Kind::Splice:
      spliceFrames(project, at, static_cast<int>(removed.size()), inserted);
      break;
  }
  project.currentFrame = static_cast<std::uint8_t>(currentAfter);
}

}  // namespace zefra::editor
