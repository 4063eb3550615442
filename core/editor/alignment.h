#pragma once
// Placing a canvas object against the label: the Align commands and snapping while a drag
// goes on. Both work on the object's box exactly as the canvas's hit test knows it (for a
// text, the painted box with its 3D depth and shadow), so what the user clicks on is what
// gets centred, and both end in the same edit as the object's X and Y spins.

#include <optional>
#include <string_view>

#include "editor/editor.h"
#include "editor/object_move.h"
#include "raster/geometry.h"
#include "render/frame_canvas.h"

namespace zefra::editor {

enum class Alignment { CentreHorizontally, CentreVertically, Left, Right, Top, Bottom };

// "Centre Horizontally", "Centre Vertically", "Align Left", "Align Right", "Align Top",
// "Align Bottom": the command's caption and its undo label.
std::string_view alignmentLabel(Alignment alignment);

// The box of a slot as `canvas` last drew it, the one its hit test uses; nothing when the
// slot shows nothing there (an empty text, a picture without a file, an unused shape).
std::optional<raster::Rect> objectBox(const render::FrameCanvas& canvas, SlotKind kind, int slot);

// The position at which an object whose box is `box` while it stands at `position` has
// that box where `alignment` puts it on a label of labelWidth x labelHeight. A centred box
// of another parity than the label leans a half pixel to the left (top).
ObjectPosition alignedPosition(const raster::Rect& box, ObjectPosition position, int labelWidth, int labelHeight,
                               Alignment alignment);

// The command: the object of the current frame (as drawn on `canvas`, which shows that
// frame) takes its aligned position (a text by the pixels it paints, depth and shadow
// included, so its letters rather than its advance are centred), clamped like its spins and reaching the frames its
// spins reach, as one undo step. Refused when the slot shows nothing.
Change alignObject(Editor& editor, const render::FrameCanvas& canvas, SlotKind kind, int slot, Alignment alignment,
                   const PositionRange& range);

// Snap guides: the label line a dragged box has been pulled onto.
enum SnapGuide : unsigned {
  kNoGuide = 0,
  kGuideLeft = 1u << 0,      // the label's left edge
  kGuideCentreX = 1u << 1,   // its vertical centre line
  kGuideRight = 1u << 2,     // its right edge
  kGuideTop = 1u << 3,
  kGuideCentreY = 1u << 4,   // its horizontal centre line
  kGuideBottom = 1u << 5,
};

struct Snap {
  ObjectPosition position;
  unsigned guides = kNoGuide;  // SnapGuide bits; more than one when lines coincide
};

// The reach of snapping in label pixels for a reach of `screenPixels` at a whole-number
// zoom: a steady feel on screen means fewer label pixels the closer one zooms in.
int snapThreshold(int screenPixels, int zoom);

// Snapping for one drag: holds the object's box relative to its position, so a proposed
// position gives the box there without drawing anything again.
class ObjectSnap {
 public:
  ObjectSnap(const raster::Rect& box, ObjectPosition position, int labelWidth, int labelHeight);

  // `proposed` pulled, along each axis on its own, onto the nearest label line (edge or
  // centre) the box comes within `threshold` label pixels of; unchanged along an axis
  // where none is that close (or when threshold is negative).
  Snap snap(ObjectPosition proposed, int threshold) const;

  // The object's box when it stands at `position`.
  raster::Rect boxAt(ObjectPosition position) const;

 private:
  int offsetX;  // box corner minus position
  int offsetY;
  int width;
  int height;
  int labelWidth;
  int labelHeight;
};

}  // namespace zefra::editor
