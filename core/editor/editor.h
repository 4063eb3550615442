#pragma once
// The editor's state and commands without any widget: the one object the main window
// (or a test, or the CLI) drives. It owns the LabelProject; every operation applies the
// program's rules (frame limits, Lock Frames, the modified flag), reports what it changed
// so a view can redraw only that, and records an undoable step.
//
// Messages that the user should see are returned, never shown: the caller puts them in a
// message box with the caption kErrorCaption (error icon) or kWarningCaption (warning
// icon). Nothing here blocks or asks questions; the save prompt is the caller's, with the
// text from saveQuestion(caption()).

#include <bitset>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edit_step.h"
#include "editor/field_table.h"
#include "io/lbl_reader.h"
#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::editor {

inline constexpr std::string_view kMaxFramesMessage = "Maximal numbers of frames is 127.";
inline constexpr std::string_view kCannotDeleteFrameMessage = "Could not delete this frame.";
inline constexpr std::string_view kErrorCaption = "Zefra";
inline constexpr std::string_view kWarningCaption = "WARNING";
inline constexpr std::string_view kUntitledCaption = "untitled.lbl";

// "Error reading the file " + path.
std::string readErrorMessage(std::string_view path);
// "Project " + caption + " has been modified. Save it?"
std::string saveQuestion(std::string_view caption);

// Bit k set = frame k (1..127) changed. Bit 0 is unused.
using FrameSet = std::bitset<model::kMaxFrames + 1>;

// What an operation did, for the view. A refused operation has applied == false, the
// message to show, and changed nothing.
struct Change {
  bool applied = true;
  std::string message;
  FrameSet frames;                   // records whose bytes changed (by position)
  bool frameCountChanged = false;
  bool currentFrameChanged = false;  // a different record is now current
  bool settingsChanged = false;      // project-wide settings
  bool slotSelectionChanged = false;
  bool frameSelectionChanged = false;  // the set of selected frames (see selectedFrames)
  bool projectReplaced = false;      // New or load: refill and redraw everything

  // True when the picture of the current frame may differ from what is on screen.
  bool currentFrameNeedsRedraw(int currentFrame) const {
    return projectReplaced || currentFrameChanged || settingsChanged || frames.test(static_cast<std::size_t>(currentFrame));
  }
  static Change refused(std::string_view message) {
    Change c;
    c.applied = false;
    c.message = std::string(message);
    return c;
  }
};

struct LoadResult {
  bool ok = false;
  std::string error;    // on failure: "Error reading the file " + path (a new project is in place)
  std::string reason;   // on failure: why ("too short", "No such file or directory", ...)
  std::string warning;  // after a 1.02 file: the notice to show with kWarningCaption
  io::LblFormat format = io::LblFormat::Lb1;
  Change change;        // always projectReplaced
};

struct SaveResult {
  bool ok = false;
  std::string error;  // the system's error text; the previous file is intact, modified stays set
};

enum class SlotKind { Text, Picture, Shape };

class Editor {
 public:
  // appDir: the program's folder with a trailing separator (paths inside it are stored
  // relative). screenDpi: the display's pixels per inch, the design DPI of new projects.
  // Starts with a new project.
  Editor(std::string appDir, std::int16_t screenDpi);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // Read-only: frame data and settings change through the operations below so that the
  // rules, the modified flag and undo hold.
  const model::LabelProject& project() const { return *state; }

  bool modified() const { return state->modified; }
  // Save is available once the project has a file name from a load or Save as.
  bool saveEnabled() const { return titled; }
  // The window caption: the file name without folder, or "untitled.lbl".
  std::string caption() const;

  // --- project lifecycle ---------------------------------------------------------------
  // New: cleared project with the New defaults, Lock Frames on, untitled, not modified.
  // fileName is kept (Save as proposes it). Ask the save prompt before calling.
  Change newProject();
  // Load flow: clears, reads LB1 or 1.02. On failure the result carries the error text
  // and a new project is in place.
  LoadResult load(const std::filesystem::path& path);
  // Save to fileName; refused (ok false) while untitled.
  SaveResult save();
  // Save as: the project takes `path` as its file name and is saved there. On failure
  // the previous name, folder and title stay.
  SaveResult saveAs(const std::filesystem::path& path);
  // Opens a recovery copy as the project it was taken from: it takes `originalPath` as
  // its file name (untitled when empty), so Save writes where the user meant, and it is
  // modified, since its changes are in no file of the user's. The copy itself is only
  // read. On failure as load().
  LoadResult recover(const std::filesystem::path& copy, const std::string& originalPath);
  // The save prompt was answered No: the changes are given up.
  void discardChanges() { state->modified = false; }
  // The folder the open and save dialogs start in (remembered in the settings).
  void setProjectDir(std::string_view folder) { state->projectDir.assign(folder); }
  // The name Save as proposes while the project has none of its own (a GIF opened as a
  // new project proposes the GIF's name); a titled project keeps its name.
  void proposeFileName(std::string_view path) {
    if (!titled) state->fileName.assign(path);
  }

  // --- frame commands ------------------------------------------------------------------
  Change insertFrame();    // copy of the current frame after it; becomes current
  Change deleteFrame();    // the following frame (or the new last) becomes current
  Change reverseFrames();  // does not set modified
  Change firstFrame();
  Change lastFrame();
  Change nextFrame();      // wraps from the last to the first
  Change previousFrame();  // wraps from the first to the last
  Change goToFrame(int frame);  // frame clamped to 1..frameCount
  // Replaces `removeCount` records from frame `at` on with `records` as one undoable step
  // (the building block of moving, tweening and importing frames); frame `current`
  // becomes current. Refused with kMaxFramesMessage past 127 frames; nothing changes
  // when the records are the same as those they replace.
  Change replaceFrames(std::string_view label, int at, int removeCount, std::vector<model::FrameRecord> records,
                       int current);
  // --- frame selection -----------------------------------------------------------------
  // The frames chosen in the frame strip: several after Shift or Ctrl choices, else just
  // the current frame (always among them). While several are selected, edits of frame
  // fields reach exactly those frames, whatever Lock Frames says; fields that are the
  // same in every frame (the size) and project settings reach as far as before. Moving
  // to a frame and every change of the frame order fall back to the current frame alone.
  FrameSet selectedFrames() const;
  bool severalFramesSelected() const;
  // A plain click: `frame` alone, current; it is also where a range starts.
  Change selectFrame(int frame);
  // Ctrl+click: adds `frame` and makes it current, or takes it out of the selection (the
  // nearest selected frame after it, else before it, becomes current). The last selected
  // frame cannot be taken out.
  Change toggleFrameSelected(int frame);
  // Shift+click: every frame from where the range starts to `frame`, which becomes current.
  Change selectFrameRange(int frame);
  // Exactly `frames` (those past the last frame are dropped); `current` becomes current
  // and joins the selection.
  Change selectFrames(const FrameSet& frames, int current);

  // Toggles Lock Frames and answers the new state.
  bool toggleLockFrames();
  Change selectSlot(SlotKind kind, int slot);  // slot clamped to 1..10

  // --- field edits (the property panels build on these) --------------------------------
  // Sets the field of the current frame and selected slot (or the project setting) that
  // a control of the field table edits, kept within the entry's range, and reaches the
  // frames its scope says (the selected frames, when several are). A Text or File entry
  // takes the text form. Successive edits of one Number or Text field merge into one undo
  // step until closeMerge() (a spin drag, a run of typing).
  Change setField(Field field, long value);
  Change setField(Field field, std::string_view text);


  // Runs `edit` on each record in scope (CurrentFrame and FollowLock mean the selected
  // frames while several are selected). Records whose bytes changed are reported, the
  // project is marked modified and one undo step is recorded, unless nothing changed.
  // Successive edits with the same non-zero mergeKey (a drag) merge into one step.
  Change editFrames(EditScope scope, std::string_view label,
                    const std::function<void(model::FrameRecord&)>& edit, int mergeKey = 0);
  Change editSettings(std::string_view label, const std::function<void(model::ProjectSettings&)>& edit);
  // editFrames with no merging, and then slot `slot` of `kind` selected within the same
  // undo step (undo selects again what was selected before): an edit that moves a layer
  // to another slot. Nothing is selected when no record changed.
  Change editFramesMovingSlot(EditScope scope, std::string_view label,
                              const std::function<void(model::FrameRecord&)>& edit, SlotKind kind, int slot);

  // --- undo and redo -------------------------------------------------------------------
  bool canUndo() const { return !undoSteps.empty(); }
  bool canRedo() const { return !redoSteps.empty(); }
  std::string undoLabel() const;  // empty when nothing to undo
  std::string redoLabel() const;
  Change undo();
  Change redo();
  // Ends merging: the next edit with the same mergeKey starts a new step (end of a drag).
  void closeMerge() { mergeOpen = false; }

  // The history keeps at most this many steps and this many bytes of records; the
  // oldest steps go first.
  static constexpr std::size_t kUndoLimit = 200;
  static constexpr std::size_t kUndoByteLimit = 64u << 20;
  std::size_t undoBytes() const { return historyBytes; }
  std::size_t undoCount() const { return undoSteps.size(); }

 private:
  void record(EditStep step);
  void resetProject();
  void clearHistory();
  Change editFieldAcrossFrames(Field field, const std::function<void(model::FrameRecord&)>& write, int mergeKey);
  FrameSet framesInScope(EditScope scope) const;
  // Back to the current frame alone (New, load, a change of the frame order).
  void dropSelection(Change& change);

  std::unique_ptr<model::LabelProject> state;
  bool titled = false;
  std::vector<EditStep> undoSteps;
  std::vector<EditStep> redoSteps;
  std::size_t historyBytes = 0;  // of the undo steps
  bool mergeOpen = false;
  FrameSet selection;     // meaningful while it holds the current frame and another
  int selectionAnchor = 1;
};

}  // namespace zefra::editor
