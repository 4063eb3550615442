#include "editor/panel_edits.h"

#include <algorithm>

#include "editor/field_table.h"
#include "editor/panel_rules.h"

namespace zefra::editor {

namespace {

using model::FrameRecord;
using model::LabelProject;

std::size_t textSlot(const LabelProject& p) { return static_cast<std::size_t>(p.currentText - 1); }
std::size_t pictureSlot(const LabelProject& p) { return static_cast<std::size_t>(p.currentPicture - 1); }

// The field-table entry behind a colour button.
Field fieldOf(ColorTarget target) {
  switch (target) {
    case ColorTarget::WebSite: return Field::WebSiteColor;
    case ColorTarget::Frame: return Field::FrameColor;
    case ColorTarget::Gradient1: return Field::GradientColor1;
    case ColorTarget::Gradient2: return Field::GradientColor2;
    case ColorTarget::TextGradient1: return Field::TextGradientColor1;
    case ColorTarget::TextGradient2: return Field::TextGradientColor2;
    case ColorTarget::Font: return Field::FontColor;
    case ColorTarget::Text3D: return Field::Text3DColor;
    case ColorTarget::Highlight: return Field::HighlightColor;
    case ColorTarget::Shadow: return Field::ShadowColor;
    case ColorTarget::Border: return Field::BorderColor;
    case ColorTarget::ShapeFill: return Field::ShapeFillColor;
    case ColorTarget::ShapeBorder: return Field::ShapeBorderColor;
    case ColorTarget::Transparent: return Field::TransparentColor;
  }
  return Field::FrameColor;
}

std::uint8_t flag(bool on) { return on ? 1 : 0; }

}  // namespace

Color colorOf(const LabelProject& project, ColorTarget target) {
  return static_cast<Color>(fieldNumber(project, fieldOf(target)));
}

std::string_view colorLabel(ColorTarget target) { return fieldEntry(fieldOf(target)).undoLabel; }

// The table's entry knows the frames a colour reaches: the border colour brings its bevel
// colours, the shape colours hand all ten slots of the current frame to the others.
Change editColor(Editor& editor, ColorTarget target, Color color) {
  return editor.setField(fieldOf(target), static_cast<long>(color));
}

Change editLabelSize(Editor& editor, int width, int height) {
  const auto w = static_cast<std::int16_t>(std::clamp(width, kMinLabelSide, model::kMaxLabelSide));
  const auto h = static_cast<std::int16_t>(std::clamp(height, kMinLabelSide, model::kMaxLabelSide));
  return editor.editFrames(EditScope::AllFrames, "Label Size", [&](FrameRecord& r) {
    r.width = w;
    r.height = h;
  });
}

Change editDelay(Editor& editor, int delayMs) {
  const auto delay = static_cast<std::int16_t>(std::clamp<int>(delayMs, kMinDelayMs, INT16_MAX));
  return editor.editFrames(EditScope::FollowLock, "Delay Time", [&](FrameRecord& r) { r.delayMs = delay; });
}

Change editBackgroundGradient(Editor& editor, bool on, int style) {
  const auto value = static_cast<std::uint8_t>(std::clamp(style, 0, static_cast<int>(model::GradientStyle::Pyramid)));
  return editor.editFrames(EditScope::FollowLock, "Background Gradient", [&](FrameRecord& r) {
    r.gradientOn = flag(on);
    r.gradientStyle = value;
  });
}

Change editTextGradient(Editor& editor, bool on, int kind) {
  const std::size_t t = textSlot(editor.project());
  const auto value = static_cast<std::uint8_t>(std::clamp(kind, 0, 1));
  return editor.editFrames(EditScope::FollowLock, "Text Color Gradient", [&](FrameRecord& r) {
    r.textGradientOn[t] = flag(on);
    r.textGradientKind[t] = value;
  });
}

Change editBordersOn(Editor& editor, bool on) {
  return editor.editFrames(EditScope::FollowLock, "Borders", [&](FrameRecord& r) { r.bordersOn = flag(on); });
}

Change editBorder(Editor& editor, BorderField field, int value, int mergeKey) {
  const LabelProject& project = editor.project();
  FrameRecord wanted = project.current();
  std::string_view label;
  switch (field) {
    case BorderField::InnerStyle:
      wanted.borderInnerStyle = static_cast<std::uint8_t>(std::clamp(value, 0, 2));
      label = "Border Inner Style";
      break;
    case BorderField::OuterStyle:
      wanted.borderOuterStyle = static_cast<std::uint8_t>(std::clamp(value, 0, 2));
      label = "Border Outer Style";
      break;
    case BorderField::BevelWidth:
      wanted.bevelWidth = static_cast<std::uint8_t>(std::clamp(value, 1, 255));
      label = "Bevel Width";
      break;
    case BorderField::BorderWidth:
      wanted.borderWidth = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      label = "Border Width";
      break;
  }
  // The edited value first, then the other width, each within the room the rest leaves.
  BorderLimits limits = borderLimits(wanted, wanted.width, wanted.height);
  if (field == BorderField::BorderWidth) {
    wanted.borderWidth = static_cast<std::uint8_t>(std::min<int>(wanted.borderWidth, limits.borderMax));
  } else if (field == BorderField::BevelWidth) {
    wanted.bevelWidth = static_cast<std::uint8_t>(std::min<int>(wanted.bevelWidth, limits.bevelMax));
  }
  limits = borderLimits(wanted, wanted.width, wanted.height);
  wanted.borderWidth = static_cast<std::uint8_t>(std::min<int>(wanted.borderWidth, limits.borderMax));
  limits = borderLimits(wanted, wanted.width, wanted.height);
  wanted.bevelWidth = static_cast<std::uint8_t>(std::clamp<int>(wanted.bevelWidth, 1, limits.bevelMax));

  return editor.editFrames(
      EditScope::FollowLock, label,
      [&](FrameRecord& r) {
        r.borderInnerStyle = wanted.borderInnerStyle;
        r.borderOuterStyle = wanted.borderOuterStyle;
        r.bevelWidth = wanted.bevelWidth;
        r.borderWidth = wanted.borderWidth;
      },
      mergeKey);
}

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

Change setPictureFile(Editor& editor, std::string_view path) {
  const std::size_t p = pictureSlot(editor.project());
  return editor.editFrames(EditScope::FollowLock, path.empty() ? "Clear Picture" : "Load Picture",
                           [&](FrameRecord& r) { r.pictureFile[p].assign(path); });
}

Change setTextureFile(Editor& editor, std::string_view path) {
  const std::size_t t = textSlot(editor.project());
  return editor.editFrames(EditScope::FollowLock, path.empty() ? "Clear Texture" : "Load Texture",
                           [&](FrameRecord& r) { r.textureFile[t].assign(path); });
}

Change editText(Editor& editor, std::string_view text, int mergeKey) {
  const std::size_t t = textSlot(editor.project());
  return editor.editFrames(EditScope::FollowLock, "Typing", [&](FrameRecord& r) { r.text[t].assign(text); },
                           mergeKey);
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
    seeded = editor.editFrames(EditScope::FollowLock, "New Text Layer", [&](FrameRecord& r) {
      r.fontName[to] = source.fontName[from];
      r.fontSize[to] = source.fontSize[from];
      r.fontColor[to] = source.fontColor[from];
      r.fontUnderline[to] = source.fontUnderline[from];
      r.fontStrikeOut[to] = source.fontStrikeOut[from];
      r.fontBold[to] = source.fontBold[from];
      r.fontItalic[to] = source.fontItalic[from];
      r.textGradientOn[to] = source.textGradientOn[from];
      r.textGradientKind[to] = source.textGradientKind[from];
      r.textGradientColor1[to] = source.textGradientColor1[from];
      r.textGradientColor2[to] = source.textGradientColor2[from];
      r.viewAngle[to] = source.viewAngle[from];
      r.textBorderWidth[to] = source.textBorderWidth[from];
      r.shadowDarkness[to] = source.shadowDarkness[from];
      r.text3DColor[to] = source.text3DColor[from];
      r.textureFile[to] = source.textureFile[from];
      r.text[to] = "text";
    });
  }
  seeded.slotSelectionChanged = change.slotSelectionChanged;
  return seeded;
}

Change editTransparent(Editor& editor, bool on) {
  return editor.editSettings("Transparent GIF", [on](model::ProjectSettings& s) { s.transparent = flag(on); });
}

Change editPaletteKind(Editor& editor, model::PaletteKind kind) {
  return editor.editSettings("Palette", [kind](model::ProjectSettings& s) { s.paletteKind = static_cast<std::uint8_t>(kind); });
}

Change editColorCountIndex(Editor& editor, int index) {
  const auto value = static_cast<std::uint8_t>(std::clamp(index, 0, 5));
  return editor.editSettings("Colors", [value](model::ProjectSettings& s) { s.colorCountIndex = value; });
}

}  // namespace zefra::editor
