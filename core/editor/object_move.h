#pragma once
// Moving a canvas object (a text, picture or shape slot of the current frame) with the
// mouse or the arrow keys. A move is the same edit as typing into the object's X and Y
// spins: the value is clamped to the spin's range, written into the current frame and,
// while Lock Frames is off, into every frame; and it is undoable. A whole drag, however
// many mouse moves it takes, is one undo step.

#include <string_view>

#include "editor/editor.h"
#include "model/frame_record.h"

namespace zefra::editor {

// The X and Y spins run from minus to plus the screen's width and height.
struct PositionRange {
  int maxX = 32767;
  int maxY = 32767;
};

struct ObjectPosition {
  int x = 0;
  int y = 0;
  friend bool operator==(const ObjectPosition&, const ObjectPosition&) = default;
};

// The left/top position fields of slot `slot` (1..10) of `kind`.
ObjectPosition objectPosition(const model::FrameRecord& record, SlotKind kind, int slot);

// "Move Text", "Move Picture", "Move Shape": the undo label of a move.
std::string_view moveLabel(SlotKind kind);

// Puts the object at (x, y), each clamped to the range. Like a spin, a coordinate that
// does not change is not written, so with Lock Frames off only the coordinate that moved
// is copied into every frame. Steps with the same non-zero mergeKey merge (see
// Editor::editFrames).
Change moveObjectTo(Editor& editor, SlotKind kind, int slot, int x, int y, const PositionRange& range,
                    int mergeKey = 0);
// The same move recorded under another undo label (the Align commands).
Change moveObjectTo(Editor& editor, SlotKind kind, int slot, ObjectPosition to, const PositionRange& range,
                    std::string_view label);
// Moves the object by (dx, dy) from where it is in the current frame: the arrow keys. A run
// of presses on one object is one undo step when each passes nudgeMergeKey(kind, slot);
// the caller ends the run with Editor::closeMerge().
Change moveObjectBy(Editor& editor, SlotKind kind, int slot, int dx, int dy, const PositionRange& range,
                    int mergeKey = 0);
int nudgeMergeKey(SlotKind kind, int slot);

// One drag of the left mouse button: the grabbed point of the object stays under the
// mouse. Coordinates are canvas pixels. The drag keeps no reference to the editor, so a
// view can hold it between mouse events and hand the editor in with each one.
class ObjectDrag {
 public:
  static constexpr int kMergeKey = 0x4d4f5645;  // one undo step per drag

  // The press at (pressX, pressY) on the object in `current`, the current frame.
  ObjectDrag(const model::FrameRecord& current, SlotKind kind, int slot, int pressX, int pressY,
             const PositionRange& range);

  // The mouse is at (x, y): the object's left edge becomes x - (press x - its left edge at
  // the press), and the same for the top. The first move starts a new undo step.
  Change moveTo(Editor& editor, int x, int y);
  // Where moveTo(x, y) would put the object, and putting it somewhere else instead (a
  // snapped position) within the same undo step.
  ObjectPosition positionFor(int x, int y) const { return {x - anchorX, y - anchorY}; }
  Change placeAt(Editor& editor, ObjectPosition position);
  // The button is released: the next edit starts a new undo step.
  void finish(Editor& editor);

  SlotKind kind() const { return objectKind; }
  int slot() const { return objectSlot; }

 private:
  SlotKind objectKind;
  int objectSlot;
  int anchorX;  // the press point inside the object
  int anchorY;
  PositionRange range;
  bool started = false;
  bool finished = false;
};

}  // namespace zefra::editor
