#pragma once
// The property panels' edits that are more than one entry of the field table: the font
// dialog's seven fields at once, and the seeding of a new layer when a slot is chosen.
// Each is one undoable step through Editor::editFrames, so the panels hold no rules and
// the same behaviour is tested without a window. Single fields go through
// Editor::setField().

#include <string>
#include <string_view>

#include "common/color.h"
#include "editor/editor.h"

namespace zefra::editor {

// The font button: name, size, colour and the four style flags of the current text slot.
struct FontChoice {
  std::string name;
  int size = 10;  // 1..72
  Color color = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};
inline constexpr int kMinFontSize = 1;
inline constexpr int kMaxFontSize = 72;
FontChoice fontOf(const model::LabelProject& project);
Change editFont(Editor& editor, const FontChoice& font);

// Choosing a slot in a layer list. A shape or text slot k > 1 that is unused while slot
// k - 1 is in use is seeded from slot k - 1 of the current frame (not its position; a
// text slot also gets the text "text"), in the frames Lock Frames allows, as one step.
Change selectSlotSeeding(Editor& editor, SlotKind kind, int slot);

}  // namespace zefra::editor
