#pragma once
// The property panels' edits that are more than "write one field": several fields at once,
// derived values, slot arrays copied as a whole, or a rule about which frames they reach.
// Each is one undoable step through Editor::editFrames / editSettings, so the panels hold
// no rules and the same behaviour is tested without a window.

#include <string>
#include <string_view>

#include "common/color.h"
#include "editor/editor.h"
#include "model/frame_record.h"

namespace zefra::editor {

// The colour buttons of the panels. The comment gives the frames each reaches.
enum class ColorTarget {
  WebSite,           // webSiteColor, every frame
  Frame,             // frameColor
  Gradient1,         // gradientColor1
  Gradient2,         // gradientColor2
  TextGradient1,     // textGradientColor1[t]
  TextGradient2,     // textGradientColor2[t]
  Font,              // fontColor[t]
  Text3D,            // text3DColor[t]
  Highlight,         // highlightColor
  Shadow,            // shadowColor
  Border,            // borderColor, with the derived highlight and shadow
  ShapeFill,         // shapeFillColor[s]; other frames take all ten fill colours
  ShapeBorder,       // shapeBorderColor[s]; other frames take all ten border colours
  Transparent,       // the project's transparent colour
};

// The colour a button shows for the current frame and slots.
Color colorOf(const model::LabelProject& project, ColorTarget target);
// The undo label of a colour edit ("Frame Color").
std::string_view colorLabel(ColorTarget target);
Change editColor(Editor& editor, ColorTarget target, Color color);

// Width and height reach every frame; the delay follows Lock Frames. Values below the
// minima (1, 30 ms) are raised to them.
Change editLabelSize(Editor& editor, int width, int height);
Change editDelay(Editor& editor, int delayMs);

// Check boxes with their style lists (one step each, both fields together).
Change editBackgroundGradient(Editor& editor, bool on, int style);
Change editTextGradient(Editor& editor, bool on, int kind);
Change editBordersOn(Editor& editor, bool on);

// The border styles and widths. The widths are kept within borderLimits() of the label:
// changing a style or one width also brings the other width back into range, so the
// spins never show a value the record does not hold.
enum class BorderField { InnerStyle, OuterStyle, BevelWidth, BorderWidth };
Change editBorder(Editor& editor, BorderField field, int value, int mergeKey = 0);

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

// Picture and texture files of the current slots; an empty path clears the slot. Paths
// longer than a record holds are cut at 255 characters.
Change setPictureFile(Editor& editor, std::string_view path);
Change setTextureFile(Editor& editor, std::string_view path);

// The text of the current slot (cut at 255 characters). Successive calls with the same
// non-zero mergeKey are one step (a run of typing).
Change editText(Editor& editor, std::string_view text, int mergeKey = 0);

// Choosing a slot in a layer list. A shape or text slot k > 1 that is unused while slot
// k - 1 is in use is seeded from slot k - 1 of the current frame (not its position; a
// text slot also gets the text "text"), in the frames Lock Frames allows, as one step.
Change selectSlotSeeding(Editor& editor, SlotKind kind, int slot);

// The GIF page: project-wide settings.
Change editTransparent(Editor& editor, bool on);
Change editPaletteKind(Editor& editor, model::PaletteKind kind);
Change editColorCountIndex(Editor& editor, int index);  // 0 = 256, 1..5 = 8..128 colours

}  // namespace zefra::editor
