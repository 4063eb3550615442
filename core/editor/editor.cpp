#include "editor/editor.h"

#include <algorithm>
#include <system_error>

#include "editor/frame_moves.h"
#include "editor/panel_rules.h"
#include "editor/project_file.h"
#include "io/lbl_writer.h"

namespace zefra::editor {

std::string readErrorMessage(std::string_view path) { return "Error reading the file " + std::string(path); }

std::string saveQuestion(std::string_view caption) {
  return "Project " + std::string(caption) + " has been modified. Save it?";
}

namespace {

std::string folderOf(const std::filesystem::path& path) { return path.parent_path().string(); }

}  // namespace

Editor::Editor(std::string appDir, std::int16_t screenDpi) : state(std::make_unique<model::LabelProject>()) {
  state->appDir = std::move(appDir);
  state->screenDpi = screenDpi;
  newProject();
}

Editor::~Editor() = default;

std::string Editor::caption() const {
  if (!titled) return std::string(kUntitledCaption);
  return std::filesystem::path(state->fileName.str()).filename().string();
}

void Editor::clearHistory() {
  undoSteps.clear();
  redoSteps.clear();
  historyBytes = 0;
  mergeOpen = false;
}

void Editor::resetProject() {
  state->clear();
  state->applyNewDefaults();
  titled = false;
  clearHistory();
  selection.reset();
  state->modified = false;
}

Change Editor::newProject() {
  resetProject();
  Change change;
  change.projectReplaced = true;
  return change;
}

LoadResult Editor::load(const std::filesystem::path& path) {
  LoadResult result;
  result.change.projectReplaced = true;
  try {
    io::LblReadResult read = openProjectFile(path, *state);
    result.ok = true;
    result.format = read.format;
    result.warning = std::move(read.warning);
  } catch (const io::LblReadError& error) {
    result.error = error.what();
    result.reason = error.reason();
  }
  if (!result.ok) {
    resetProject();
    return result;
  }
  titled = true;
  clearHistory();
  selection.reset();
  state->modified = false;
  return result;
}

LoadResult Editor::recover(const std::filesystem::path& copy, const std::string& originalPath) {
  const model::PathText previousDir = state->projectDir;
  LoadResult result = load(copy);
  if (!result.ok) return result;
  state->fileName.assign(originalPath);
  titled = !originalPath.empty();
  // A project that never had a file keeps the folder the dialogs were in, not the copy's.
  state->projectDir = titled ? model::PathText{folderOf(originalPath)} : previousDir;
  state->modified = true;
  return result;
}

SaveResult Editor::save() {
  SaveResult result;
  if (!titled) {
    result.error = "The project has no file name yet: use Save as.";
    return result;
  }
  try {
    io::writeLblFile(state->fileName.str(), *state);
  } catch (const std::system_error& error) {
    result.error = error.what();
    return result;
  }
  state->modified = false;
  result.ok = true;
  return result;
}

SaveResult Editor::saveAs(const std::filesystem::path& path) {
  const model::PathText previousName = state->fileName;
  const model::PathText previousDir = state->projectDir;
  const bool previousTitled = titled;
  state->fileName.assign(path.string());
  state->projectDir.assign(folderOf(path));
  titled = true;
  SaveResult result = save();
  if (!result.ok) {
    state->fileName = previousName;
    state->projectDir = previousDir;
    titled = previousTitled;
  }
  return result;
}

void Editor::record(EditStep step) {
  redoSteps.clear();
  historyBytes += step.bytes();
  undoSteps.push_back(std::move(step));
  std::size_t oldest = 0;
  while (undoSteps.size() - oldest > 1 &&
         (undoSteps.size() - oldest > kUndoLimit || historyBytes > kUndoByteLimit)) {
    historyBytes -= undoSteps[oldest].bytes();
    ++oldest;
  }
  undoSteps.erase(undoSteps.begin(), undoSteps.begin() + static_cast<std::ptrdiff_t>(oldest));
}

Change Editor::insertFrame() {
  if (state->frameCount >= model::kMaxFrames) return Change::refused(kMaxFramesMessage);
  EditStep step;
  step.kind = EditStep::Kind::InsertFrame;
  step.label = "Insert Frame";
  step.currentBefore = state->currentFrame;
  duplicateFrame(*state, state->currentFrame);
  ++state->currentFrame;
  step.currentAfter = state->currentFrame;
  state->modified = true;
  mergeOpen = false;
  record(std::move(step));

  Change change;
  for (int k = state->currentFrame; k <= state->frameCount; ++k) change.frames.set(static_cast<std::size_t>(k));
  change.frameCountChanged = true;
  change.currentFrameChanged = true;
  dropSelection(change);
  return change;
}

Change Editor::deleteFrame() {
  if (state->frameCount <= 1) return Change::refused(kCannotDeleteFrameMessage);
  EditStep step;
  step.kind = EditStep::Kind::DeleteFrame;
  step.label = "Delete Frame";
  step.currentBefore = state->currentFrame;
  step.removed.push_back(state->current());
  const int deleted = state->currentFrame;
  const bool wasLast = deleted == state->frameCount;
  removeFrame(*state, deleted);
  if (wasLast) --state->currentFrame;
  step.currentAfter = state->currentFrame;
  state->modified = true;
  mergeOpen = false;
  record(std::move(step));

  Change change;
  for (int k = deleted; k <= state->frameCount; ++k) change.frames.set(static_cast<std::size_t>(k));
  change.frameCountChanged = true;
  change.currentFrameChanged = true;
  dropSelection(change);
  return change;
}

Change Editor::reverseFrames() {
  Change change;
  const int count = state->frameCount;
  if (count < 2) return change;
  reverseFrameOrder(*state);
  EditStep step;
  step.kind = EditStep::Kind::ReverseFrames;
  step.label = "Reverse Frame Order";
  step.currentBefore = step.currentAfter = state->currentFrame;
  mergeOpen = false;
  record(std::move(step));
  // Reversing is not an edit of the content: modified stays as it was.
  for (int i = 1; i <= count / 2; ++i) {
    change.frames.set(static_cast<std::size_t>(i));
    change.frames.set(static_cast<std::size_t>(count + 1 - i));
  }
  dropSelection(change);
  return change;
}

Change Editor::replaceFrames(std::string_view label, int at, int removeCount, std::vector<model::FrameRecord> records,
                             int current) {
  const int count = state->frameCount;
  const int newCount = count - removeCount + static_cast<int>(records.size());
  if (newCount > model::kMaxFrames) return Change::refused(kMaxFramesMessage);
  if (at < 1 || removeCount < 0 || at + removeCount - 1 > count || newCount < 1) {
    return Change::refused("");  // a caller's slip; nothing to tell the user
  }
  EditStep step;
  step.kind = EditStep::Kind::Splice;
  step.label = std::string(label);
  step.at = at;
  step.currentBefore = state->currentFrame;
  step.currentAfter = std::clamp(current, 1, newCount);
  step.removed.assign(state->records.begin() + (at - 1), state->records.begin() + (at - 1 + removeCount));
  const bool same = step.removed.size() == records.size() &&
                    std::equal(records.begin(), records.end(), step.removed.begin(), model::sameBytes);
  if (same) return goToFrame(step.currentAfter);
  spliceFrames(*state, at, removeCount, records);
  step.inserted = std::move(records);
  state->currentFrame = static_cast<std::uint8_t>(step.currentAfter);
  state->modified = true;
  mergeOpen = false;

  Change change;
  const int last = step.removed.size() == step.inserted.size() ? at + removeCount - 1 : std::max(count, newCount);
  for (int k = at; k <= last; ++k) change.frames.set(static_cast<std::size_t>(k));
  change.frameCountChanged = newCount != count;
  change.currentFrameChanged = true;
  dropSelection(change);
  record(std::move(step));
  return change;
}

Change Editor::goToFrame(int frame) {
  Change change;
  const int target = std::clamp(frame, 1, static_cast<int>(state->frameCount));
  change.currentFrameChanged = target != state->currentFrame;
  state->currentFrame = static_cast<std::uint8_t>(target);
  mergeOpen = false;
  dropSelection(change);
  return change;
}

Change Editor::firstFrame() { return goToFrame(1); }
Change Editor::lastFrame() { return goToFrame(state->frameCount); }
Change Editor::nextFrame() {
  return goToFrame(state->currentFrame >= state->frameCount ? 1 : state->currentFrame + 1);
}
Change Editor::previousFrame() {
  return goToFrame(state->currentFrame <= 1 ? state->frameCount : state->currentFrame - 1);
}

bool Editor::toggleLockFrames() {
  state->lockFrames = !state->lockFrames;
  return state->lockFrames;
}

Change Editor::selectSlot(SlotKind kind, int slot) {
  const auto value = static_cast<std::int16_t>(std::clamp(slot, 1, model::kSlots));
  std::int16_t& current = kind == SlotKind::Text      ? state->currentText
                          : kind == SlotKind::Picture ? state->currentPicture
                                                      : state->currentShape;
  Change change;
  change.slotSelectionChanged = current != value;
  current = value;
  mergeOpen = false;
  return change;
}

Change Editor::editFrames(EditScope scope, std::string_view label,
                          const std::function<void(model::FrameRecord&)>& edit, int mergeKey) {
  if (scope == EditScope::Project) return Change::refused("Project settings change through editSettings.");
  const FrameSet targets = framesInScope(scope);

  EditStep step;
  step.kind = EditStep::Kind::Fields;
  step.label = std::string(label);
  step.mergeKey = mergeKey;
  step.settingsBefore = step.settingsAfter = state->settings;
  step.currentBefore = step.currentAfter = state->currentFrame;
  Change change;
  for (int k = 1; k <= state->frameCount; ++k) {
    if (!targets.test(static_cast<std::size_t>(k))) continue;
    model::FrameRecord& record = state->frame(k);
    RecordChange recordChange{k, record, {}};
    edit(record);
    if (model::sameBytes(recordChange.before, record)) continue;
    recordChange.after = record;
    change.frames.set(static_cast<std::size_t>(k));
    step.records.push_back(std::move(recordChange));
  }
  if (step.records.empty()) return change;
  state->modified = true;

  EditStep* previous = undoSteps.empty() ? nullptr : &undoSteps.back();
  if (mergeKey != 0 && mergeOpen && previous && previous->kind == EditStep::Kind::Fields &&
      previous->mergeKey == mergeKey && redoSteps.empty()) {
    // One drag, one step: keep the oldest "before" and the newest "after" of each record.
    historyBytes -= previous->bytes();
    for (auto& recordChange : step.records) {
      auto same = std::find_if(previous->records.begin(), previous->records.end(),
                               [&](const RecordChange& r) { return r.frame == recordChange.frame; });
      if (same == previous->records.end()) {
        previous->records.push_back(std::move(recordChange));
      } else {
        same->after = recordChange.after;
      }
    }
    historyBytes += previous->bytes();
  } else {
    record(std::move(step));
    mergeOpen = mergeKey != 0;
  }
  return change;
}

Change Editor::editFramesMovingSlot(EditScope scope, std::string_view label,
                                    const std::function<void(model::FrameRecord&)>& edit, SlotKind kind, int slot) {
  Change change = editFrames(scope, label, edit);
  if (change.frames.none()) return change;
  EditStep& step = undoSteps.back();  // the step editFrames has just recorded
  step.slotsMoved = true;
  step.slotsBefore = {state->currentText, state->currentPicture, state->currentShape};
  change.slotSelectionChanged = selectSlot(kind, slot).slotSelectionChanged;
  step.slotsAfter = {state->currentText, state->currentPicture, state->currentShape};
  return change;
}

Change Editor::editFieldAcrossFrames(Field field, const std::function<void(model::FrameRecord&)>& write,
                                     int mergeKey) {
  const FieldEntry& entry = fieldEntry(field);
  const int slot = slotOf(*state, field);
  const int current = state->currentFrame;
  // A new size or border style can lower the limits of the bevel and border widths; the
  // lowered widths are stored with the edit, in the same undo step, so the file and the
  // canvas hold what the spins show.
  const bool narrowsBand = field == Field::Width || field == Field::Height || field == Field::BorderInnerStyle ||
                           field == Field::BorderOuterStyle || field == Field::BevelWidth ||
                           field == Field::BorderWidth || field == Field::BordersOn;
  // Typing "40" into the height passes through "4"; the widths are lowered from what they
  // were when the run of typing began, not from what the "4" left of them.
  const EditStep* run = mergeKey != 0 && mergeOpen && !undoSteps.empty() && redoSteps.empty() &&
                                undoSteps.back().kind == EditStep::Kind::Fields && undoSteps.back().mergeKey == mergeKey
                            ? &undoSteps.back()
                            : nullptr;
  const auto fitBand = [&](model::FrameRecord& record) {
    if (!narrowsBand) return;
    if (run) {
      for (const RecordChange& r : run->records) {
        if (&state->frame(r.frame) != &record) continue;
        if (field != Field::BevelWidth) record.bevelWidth = r.before.bevelWidth;
        if (field != Field::BorderWidth) record.borderWidth = r.before.borderWidth;
      }
    }
    fitBorderBand(record);
  };
  // The value is written into the current frame and then copied from there, so the
  // frames a wider scope reaches take exactly what the current frame holds (the ten
  // shape colours, a gradient's style with its switch).
  return editFrames(entry.scope, entry.undoLabel,
                    [&](model::FrameRecord& record) {
                      model::FrameRecord& source = state->frame(current);
                      if (&record == &source) {
                        write(record);
                      } else {
                        model::FrameRecord edited = source;
                        write(edited);
                        copyField(edited, record, field, slot);
                      }
                      fitBand(record);
                    },
                    mergeKey);
}

Change Editor::setField(Field field, long value) {
  const FieldEntry& entry = fieldEntry(field);
  if (entry.kind == FieldKind::Text || entry.kind == FieldKind::File) {
    return Change::refused("This field takes a text.");
  }
  if (entry.kind != FieldKind::Color) {
    const FieldRange range = fieldRange(field, state->current());
    value = std::clamp(value, range.minimum, range.maximum);
  }
  if (entry.scope == EditScope::Project) {
    return editSettings(entry.undoLabel, [&](model::ProjectSettings& s) { writeSetting(s, field, value); });
  }
  const int slot = slotOf(*state, field);
  const int mergeKey = entry.kind == FieldKind::Number ? static_cast<int>(field) + 1 : 0;
  return editFieldAcrossFrames(field, [&](model::FrameRecord& r) { writeField(r, field, slot, value); }, mergeKey);
}

Change Editor::setField(Field field, std::string_view text) {
  const FieldEntry& entry = fieldEntry(field);
  if (entry.kind != FieldKind::Text && entry.kind != FieldKind::File) {
    return Change::refused("This field takes a number.");
  }
  const int slot = slotOf(*state, field);
  const int mergeKey = entry.kind == FieldKind::Text ? static_cast<int>(field) + 1 : 0;
  return editFieldAcrossFrames(field, [&](model::FrameRecord& r) { writeField(r, field, slot, text); }, mergeKey);
}

Change Editor::editSettings(std::string_view label, const std::function<void(model::ProjectSettings&)>& edit) {
  Change change;
  EditStep step;
  step.kind = EditStep::Kind::Fields;
  step.label = std::string(label);
  step.settingsBefore = state->settings;
  step.currentBefore = step.currentAfter = state->currentFrame;
  edit(state->settings);
  if (state->settings == step.settingsBefore) return change;
  step.settingsAfter = state->settings;
  state->modified = true;
  mergeOpen = false;
  record(std::move(step));
  change.settingsChanged = true;
  return change;
}

std::string Editor::undoLabel() const { return undoSteps.empty() ? std::string() : undoSteps.back().label; }
std::string Editor::redoLabel() const { return redoSteps.empty() ? std::string() : redoSteps.back().label; }

namespace {

// What replaying `step` in either direction changes; structural steps redraw every frame
// from the first one they moved.
Change changeOf(const EditStep& step, int frameCount) {
  Change change;
  change.currentFrameChanged = true;
  switch (step.kind) {
    case EditStep::Kind::Fields:
      for (const auto& r : step.records) change.frames.set(static_cast<std::size_t>(r.frame));
      change.settingsChanged = !(step.settingsBefore == step.settingsAfter);
      change.slotSelectionChanged = step.slotsMoved;
      break;
    case EditStep::Kind::ReverseFrames:
      for (int k = 1; k <= frameCount; ++k) change.frames.set(static_cast<std::size_t>(k));
      break;
    case EditStep::Kind::InsertFrame:
    case EditStep::Kind::DeleteFrame:
      for (int k = step.currentBefore; k <= frameCount; ++k) change.frames.set(static_cast<std::size_t>(k));
      change.frameCountChanged = true;
      break;
    case EditStep::Kind::Splice:
      for (int k = step.at; k <= frameCount; ++k) change.frames.set(static_cast<std::size_t>(k));
      change.frameCountChanged = step.removed.size() != step.inserted.size();
      break;
  }
  return change;
}

}  // namespace

Change Editor::undo() {
  if (undoSteps.empty()) return Change::refused("Nothing to undo.");
  EditStep step = std::move(undoSteps.back());
  undoSteps.pop_back();
  historyBytes -= step.bytes();
  const int countBefore = state->frameCount;
  step.undo(*state);
  state->modified = true;
  mergeOpen = false;
  Change change = changeOf(step, std::max<int>(countBefore, state->frameCount));
  if (step.kind != EditStep::Kind::Fields) dropSelection(change);
  redoSteps.push_back(std::move(step));
  return change;
}

Change Editor::redo() {
  if (redoSteps.empty()) return Change::refused("Nothing to redo.");
  EditStep step = std::move(redoSteps.back());
  redoSteps.pop_back();
  const int countBefore = state->frameCount;
  step.redo(*state);
  state->modified = true;
  mergeOpen = false;
  Change change = changeOf(step, std::max<int>(countBefore, state->frameCount));
  if (step.kind != EditStep::Kind::Fields) dropSelection(change);
  historyBytes += step.bytes();
  undoSteps.push_back(std::move(step));
  return change;
}

}  // namespace zefra::editor
