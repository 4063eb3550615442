#include "editor/alignment.h"

#include <cstdlib>
#include <limits>

namespace zefra::editor {

namespace {

render::CanvasObjectKind canvasKindOf(SlotKind kind) {
  switch (kind) {
    case SlotKind::Text: return render::CanvasObjectKind::Text;
    case SlotKind::Picture: return render::CanvasObjectKind::Picture;
    case SlotKind::Shape: return render::CanvasObjectKind::Shape;
  }
  return render::CanvasObjectKind::Shape;
}

int floorHalf(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

// Where a box of `size` starts when it lies at the start, the middle or the end of a
// label side of `room`.
int startFor(int room, int size, int where) {
  switch (where) {
    case 0: return 0;
    case 1: return floorHalf(room - size);
    default: return room - size;
  }
}

// Along one axis: the nearest of the three lines within `threshold`, as the distance to
// move and the guides (start, middle, end) that distance lands on.
struct AxisSnap {
  int shift = 0;
  unsigned lines = 0;  // bit 0 start, bit 1 middle, bit 2 end
};

AxisSnap snapAxis(int start, int size, int room, int threshold) {
  AxisSnap best;
  int bestDistance = std::numeric_limits<int>::max();
  for (int where = 0; where < 3; ++where) {
    const int shift = startFor(room, size, where) - start;
    const int distance = std::abs(shift);
    if (distance > threshold) continue;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = {shift, 1u << where};
    } else if (shift == best.shift) {
      best.lines |= 1u << where;  // lines that coincide (a box as wide as the label)
    }
  }
  return best;
}

}  // namespace

std::string_view alignmentLabel(Alignment alignment) {
  switch (alignment) {
    case Alignment::CentreHorizontally: return "Centre Horizontally";
    case Alignment::CentreVertically: return "Centre Vertically";
    case Alignment::Left: return "Align Left";
    case Alignment::Right: return "Align Right";
    case Alignment::Top: return "Align Top";
    case Alignment::Bottom: return "Align Bottom";
  }
  return "Align";
}

std::optional<raster::Rect> objectBox(const render::FrameCanvas& canvas, SlotKind kind, int slot) {
  const render::CanvasObjectKind wanted = canvasKindOf(kind);
  for (const render::CanvasObject& object : canvas.objects()) {
    if (object.kind == wanted && object.slot == slot) return object.bounds;
  }
  return std::nullopt;
}

ObjectPosition alignedPosition(const raster::Rect& box, ObjectPosition position, int labelWidth, int labelHeight,
                               Alignment alignment) {
  ObjectPosition to = position;
  switch (alignment) {
    case Alignment::Left: to.x += startFor(labelWidth, box.width(), 0) - box.left; break;
    case Alignment::CentreHorizontally: to.x += startFor(labelWidth, box.width(), 1) - box.left; break;
    case Alignment::Right: to.x += startFor(labelWidth, box.width(), 2) - box.left; break;
    case Alignment::Top: to.y += startFor(labelHeight, box.height(), 0) - box.top; break;
    case Alignment::CentreVertically: to.y += startFor(labelHeight, box.height(), 1) - box.top; break;
    case Alignment::Bottom: to.y += startFor(labelHeight, box.height(), 2) - box.top; break;
  }
  return to;
}

Change alignObject(Editor& editor, const render::FrameCanvas& canvas, SlotKind kind, int slot, Alignment alignment,
                   const PositionRange& range) {
  std::optional<raster::Rect> box = objectBox(canvas, kind, slot);
  if (!box) return Change::refused("");
  // A text is placed by its ink: the box's trailing advance would leave the letters a
  // few pixels off centre, which is what the eye and the exported GIF see.
  if (kind == SlotKind::Text) {
    if (const std::optional<raster::Rect> ink = canvas.paintedTextBox(editor.project().current(), slot)) box = ink;
  }
  const ObjectPosition now = objectPosition(editor.project().current(), kind, slot);
  const ObjectPosition to = alignedPosition(*box, now, canvas.width(), canvas.height(), alignment);
  return moveObjectTo(editor, kind, slot, to, range, alignmentLabel(alignment));
}

int snapThreshold(int screenPixels, int zoom) { return zoom > 0 ? screenPixels / zoom : screenPixels; }

ObjectSnap::ObjectSnap(const raster::Rect& box, ObjectPosition position, int labelWidth, int labelHeight)
    : offsetX(box.left - position.x),
      offsetY(box.top - position.y),
      width(box.width()),
      height(box.height()),
      labelWidth(labelWidth),
      labelHeight(labelHeight) {}

raster::Rect ObjectSnap::boxAt(ObjectPosition position) const {
  return raster::Rect::fromSize(position.x + offsetX, position.y + offsetY, width, height);
}

Snap ObjectSnap::snap(ObjectPosition proposed, int threshold) const {
  Snap result{proposed, kNoGuide};
  if (threshold < 0) return result;
  const raster::Rect box = boxAt(proposed);
  const AxisSnap x = snapAxis(box.left, width, labelWidth, threshold);
  const AxisSnap y = snapAxis(box.top, height, labelHeight, threshold);
  result.position.x += x.shift;
  result.position.y += y.shift;
  // Bits 0..2 of an axis are its start, middle and end lines.
  result.guides = x.lines | (y.lines << 3);
  return result;
}

}  // namespace zefra::editor
