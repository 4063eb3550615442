#pragma once
// Working with a layer as a whole rather than field by field: its name in the slot lists,
// copying it into other frames, the style of a text layer carried to another, and moving
// it over or under its neighbour of the same kind. A slot holds the same layer number in
// every frame, and the renderer draws slot by slot (shape k, then picture k, then text k,
// for k = 1..10, and the border band last), so moving a layer up or down within its kind
// means swapping two slots. Each edit is one undoable step of the Editor.

#include <cstddef>
#include <string>
#include <string_view>

#include "editor/editor.h"
#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::editor {

inline constexpr std::string_view kCopyLayerLabel = "Copy Layer to All Frames";
inline constexpr std::string_view kPasteStyleLabel = "Paste Style";
inline constexpr std::string_view kBringForwardLabel = "Bring Forward";
inline constexpr std::string_view kSendBackwardLabel = "Send Backward";

// A text longer than this is shortened in a layer's name.
inline constexpr std::size_t kLayerNameTextLength = 32;

// "Text String 3", "Picture 2", "Shape 1".
std::string layerTitle(SlotKind kind, int slot);

// What a slot list says of a layer: its title and what it holds in `record`. `content`
// is the text (in the record's code page, on one line, shortened at a word where it can
// be, `shortened` then set), the picture's file name without its folder, or the shape's
// kind ("Rectangle", "Rounded rectangle"); empty for an unused slot.
struct LayerName {
  std::string title;
  std::string content;
  bool shortened = false;
  bool empty() const { return content.empty(); }
};
LayerName layerName(const model::FrameRecord& record, SlotKind kind, int slot);

// Whether the slot draws anything: a text, a picture file or a shape style.
bool slotInUse(const model::FrameRecord& record, SlotKind kind, int slot);
// The slot (1..10) the list of `kind` has selected.
int selectedSlot(const model::LabelProject& project, SlotKind kind);

// The selected slot of `kind` in the current frame, with everything it holds (its
// position included), copied into the same slot of each frame of `frames` (bits 1..frame
// count; the current frame itself is left as it is). One step labelled kCopyLayerLabel;
// frames that already hold the same layer are not touched.
Change copyLayerToFrames(Editor& editor, SlotKind kind, const FrameSet& frames);
// Every frame of the project.
FrameSet allFrames(const model::LabelProject& project);
// Where "Copy Layer to All Frames" copies to: the selected frames when several are
// selected, else every frame.
FrameSet layerCopyTargets(const Editor& editor);

// The look of a text layer without its text and place: font (name, size, colour, styles),
// 3D view angle, depth and colour, shadow, colour gradient and texture.
class TextStyle {
 public:
  // The style of text slot `slot` (1..10) of `record`.
  static TextStyle of(const model::FrameRecord& record, int slot);
  // Writes the style into text slot `slot` of `record`, leaving its text and place.
  void applyTo(model::FrameRecord& record, int slot) const;
  friend bool operator==(const TextStyle& a, const TextStyle& b);

 private:
  model::FrameRecord holder{};  // the style sits in slot 1
};

// The style of the selected text slot of the current frame.
TextStyle copyTextStyle(const model::LabelProject& project);
// Gives the selected text slot `style` in the frames a page edit reaches (Lock Frames, or
// the selected frames when several are), as one step labelled kPasteStyleLabel.
Change pasteTextStyle(Editor& editor, const TextStyle& style);

// Swaps the selected slot of `kind` with the next one up (Bring Forward: drawn later, over
// it) or down (Send Backward), in the frames a page edit reaches, as one step; the
// selection moves with the layer. Refused without a message at slot 10 (forward) or
// slot 1 (backward).
Change bringForward(Editor& editor, SlotKind kind);
Change sendBackward(Editor& editor, SlotKind kind);

}  // namespace zefra::editor
