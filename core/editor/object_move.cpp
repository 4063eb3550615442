#include "editor/object_move.h"

#include <algorithm>
#include <cstdint>

namespace zefra::editor {

namespace {

std::size_t indexOf(int slot) { return static_cast<std::size_t>(std::clamp(slot, 1, model::kSlots) - 1); }

// The X (Y) field of a slot, for a const or a mutable record alike.
template <typename Record>
auto& xField(Record& r, SlotKind kind, int slot) {
  const std::size_t i = indexOf(slot);
  return kind == SlotKind::Text ? r.textX[i] : kind == SlotKind::Picture ? r.pictureX[i] : r.shapeX[i];
}

template <typename Record>
auto& yField(Record& r, SlotKind kind, int slot) {
  const std::size_t i = indexOf(slot);
  return kind == SlotKind::Text ? r.textY[i] : kind == SlotKind::Picture ? r.pictureY[i] : r.shapeY[i];
}

std::int16_t clampTo(int value, int limit) {
  const int bound = std::clamp(limit, 0, 32767);
  return static_cast<std::int16_t>(std::clamp(value, -bound, bound));
}

}  // namespace

ObjectPosition objectPosition(const model::FrameRecord& record, SlotKind kind, int slot) {
  return {xField(record, kind, slot), yField(record, kind, slot)};
}

std::string_view moveLabel(SlotKind kind) {
  switch (kind) {
    case SlotKind::Text: return "Move Text";
    case SlotKind::Picture: return "Move Picture";
    case SlotKind::Shape: return "Move Shape";
  }
  return "Move";
}

namespace {

Change place(Editor& editor, SlotKind kind, int slot, ObjectPosition to, const PositionRange& range,
             std::string_view label, int mergeKey) {
  const ObjectPosition now = objectPosition(editor.project().current(), kind, slot);
  const std::int16_t newX = clampTo(to.x, range.maxX);
  const std::int16_t newY = clampTo(to.y, range.maxY);
  const bool moveX = newX != now.x;
  const bool moveY = newY != now.y;
  if (!moveX && !moveY) return Change{};
  return editor.editFrames(
      EditScope::FollowLock, label,
      [&](model::FrameRecord& r) {
        if (moveX) xField(r, kind, slot) = newX;
        if (moveY) yField(r, kind, slot) = newY;
      },
      mergeKey);
}

}  // namespace

Change moveObjectTo(Editor& editor, SlotKind kind, int slot, int x, int y, const PositionRange& range, int mergeKey) {
  return place(editor, kind, slot, {x, y}, range, moveLabel(kind), mergeKey);
}

Change moveObjectTo(Editor& editor, SlotKind kind, int slot, ObjectPosition to, const PositionRange& range,
                    std::string_view label) {
  return place(editor, kind, slot, to, range, label, 0);
}

Change moveObjectBy(Editor& editor, SlotKind kind, int slot, int dx, int dy, const PositionRange& range,
                    int mergeKey) {
  const ObjectPosition now = objectPosition(editor.project().current(), kind, slot);
  return moveObjectTo(editor, kind, slot, now.x + dx, now.y + dy, range, mergeKey);
}

int nudgeMergeKey(SlotKind kind, int slot) {
  // Apart from the drag's key and from the field table's small keys; one per object, so
  // nudging another object starts a step of its own.
  return 0x4e550000 + static_cast<int>(kind) * 16 + std::clamp(slot, 1, model::kSlots);
}

ObjectDrag::ObjectDrag(const model::FrameRecord& current, SlotKind kind, int slot, int pressX, int pressY,
                       const PositionRange& range)
    : objectKind(kind), objectSlot(slot), range(range) {
  const ObjectPosition start = objectPosition(current, kind, slot);
  anchorX = pressX - start.x;
  anchorY = pressY - start.y;
}

Change ObjectDrag::moveTo(Editor& editor, int x, int y) {
  if (finished) return Change::refused("");
  if (!started) {
    // A drag never merges into whatever edit came before it.
    editor.closeMerge();
    started = true;
  }
  return moveObjectTo(editor, objectKind, objectSlot, x - anchorX, y - anchorY, range, kMergeKey);
}

Change ObjectDrag::placeAt(Editor& editor, ObjectPosition position) {
  const ObjectPosition mouse{position.x + anchorX, position.y + anchorY};
  return moveTo(editor, mouse.x, mouse.y);
}

void ObjectDrag::finish(Editor& editor) {
  if (finished) return;
  finished = true;
  editor.closeMerge();
}

}  // namespace zefra::editor
