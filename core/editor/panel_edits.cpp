#include "editor/panel_edits.h"

#include <algorithm>

#include "editor/layer_tools.h"

namespace zefra::editor {

namespace {

using model::FrameRecord;
using model::LabelProject;

std::size_t textSlot(const LabelProject& p) { return static_cast<std::size_t>(p.currentText - 1); }

std::uint8_t flag(bool on) { return on ? 1 : 0; }

}  // namespace

FontChoice fontOf(const LabelProject& project) {
  const FrameRecord& r = project.current();
  const std::size_t t = textSlot(project);
  FontChoice font;
  font.name = r.fontName[t].str();
  font.size = r.fontSize[t];
  font.color = r.fontColor[t];
  font.bold = r.fontBold[t] != 0;
  font.italic = r.fontItalic[t] != 0;
  font.underline = r.fontUnderline[t] != 0;
  font.strikeOut = r.fontStrikeOut[t] != 0;
  return font;
}

Change editFont(Editor& editor, const FontChoice& font) {
  const std::size_t t = textSlot(editor.project());
  const auto size = static_cast<std::uint8_t>(std::clamp(font.size, kMinFontSize, kMaxFontSize));
  return editor.editFrames(EditScope::FollowLock, "Font", [&](FrameRecord& r) {
    r.fontName[t].assign(font.name);
    r.fontSize[t] = size;
    r.fontColor[t] = font.color;
    r.fontBold[t] = flag(font.bold);
    r.fontItalic[t] = flag(font.italic);
    r.fontUnderline[t] = flag(font.underline);
    r.fontStrikeOut[t] = flag(font.strikeOut);
  });
}

Change selectSlotSeeding(Editor& editor, SlotKind kind, int slot) {
  Change change = editor.selectSlot(kind, slot);
  const LabelProject& project = editor.project();
  const int k = kind == SlotKind::Shape ? project.currentShape : kind == SlotKind::Text ? project.currentText : 1;
  if (kind == SlotKind::Picture || k <= 1) return change;
  const auto to = static_cast<std::size_t>(k - 1);
  const std::size_t from = to - 1;
  const FrameRecord source = project.current();
  Change seeded;
  if (kind == SlotKind::Shape) {
    if (source.shapeStyle[to] != 0 || source.shapeStyle[from] == 0) return change;
    seeded = editor.editFrames(EditScope::FollowLock, "New Shape Layer", [&](FrameRecord& r) {
      r.shapeStyle[to] = source.shapeStyle[from];
      r.shapeWidth[to] = source.shapeWidth[from];
      r.shapeHeight[to] = source.shapeHeight[from];
      r.shapeFillColor[to] = source.shapeFillColor[from];
      r.shapeBorderWidth[to] = source.shapeBorderWidth[from];
      r.shapeBorderColor[to] = source.shapeBorderColor[from];
    });
  } else {
    if (!source.text[to].empty() || source.text[from].empty()) return change;
    // The new layer takes the look of the one below it, so a run of captions stays alike.
    const TextStyle style = TextStyle::of(source, k - 1);
    seeded = editor.editFrames(EditScope::FollowLock, "New Text Layer", [&](FrameRecord& r) {
      style.applyTo(r, k);
      r.text[to] = "text";
    });
  }
  seeded.slotSelectionChanged = change.slotSelectionChanged;
  return seeded;
}

}  // namespace zefra::editor
