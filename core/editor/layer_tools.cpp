#include "editor/layer_tools.h"

#include <algorithm>
#include <utility>

namespace zefra::editor {

namespace {

using model::FrameRecord;

std::size_t slotIndex(int slot) { return static_cast<std::size_t>(std::clamp(slot, 1, model::kSlots) - 1); }

// Calls `fn` with a pointer to each per-slot array of a text layer's style: everything
// the layer holds but its text and its place.
template <class Fn>
void forEachTextStyleArray(Fn&& fn) {
  fn(&FrameRecord::fontName);
  fn(&FrameRecord::fontSize);
  fn(&FrameRecord::fontColor);
  fn(&FrameRecord::fontUnderline);
  fn(&FrameRecord::fontStrikeOut);
  fn(&FrameRecord::fontBold);
  fn(&FrameRecord::fontItalic);
  fn(&FrameRecord::textGradientOn);
  fn(&FrameRecord::textGradientKind);
  fn(&FrameRecord::textGradientColor1);
  fn(&FrameRecord::textGradientColor2);
  fn(&FrameRecord::viewAngle);
  fn(&FrameRecord::textBorderWidth);
  fn(&FrameRecord::shadowDarkness);
  fn(&FrameRecord::text3DColor);
  fn(&FrameRecord::textureFile);
}

// Calls `fn` with a pointer to each per-slot array that makes up one layer of `kind`.
template <class Fn>
void forEachLayerArray(SlotKind kind, Fn&& fn) {
  switch (kind) {
    case SlotKind::Text:
      fn(&FrameRecord::text);
      fn(&FrameRecord::textX);
      fn(&FrameRecord::textY);
      forEachTextStyleArray(fn);
      return;
    case SlotKind::Picture:
      fn(&FrameRecord::pictureFile);
      fn(&FrameRecord::pictureX);
      fn(&FrameRecord::pictureY);
      return;
    case SlotKind::Shape:
      fn(&FrameRecord::shapeStyle);
      fn(&FrameRecord::shapeX);
      fn(&FrameRecord::shapeY);
      fn(&FrameRecord::shapeWidth);
      fn(&FrameRecord::shapeHeight);
      fn(&FrameRecord::shapeFillColor);
      fn(&FrameRecord::shapeBorderWidth);
      fn(&FrameRecord::shapeBorderColor);
      return;
  }
}

void copyLayer(const FrameRecord& from, FrameRecord& to, SlotKind kind, std::size_t i) {
  forEachLayerArray(kind, [&](auto member) { (to.*member)[i] = (from.*member)[i]; });
}

void swapLayers(FrameRecord& record, SlotKind kind, std::size_t i, std::size_t j) {
  forEachLayerArray(kind, [&](auto member) { std::swap((record.*member)[i], (record.*member)[j]); });
}

// The text on one line: control characters and runs of spaces become one space, and the
// ends are trimmed; past `limit` characters it is cut at the last space in its second
// half, or else at the limit.
std::string oneLine(std::string_view text, std::size_t limit, bool& shortened) {
  std::string line;
  for (char c : text) {
    const bool space = static_cast<unsigned char>(c) < 0x20 || c == ' ' || c == '\x7f';
    if (!space) {
      line.push_back(c);
    } else if (!line.empty() && line.back() != ' ') {
      line.push_back(' ');
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  shortened = line.size() > limit;
  if (!shortened) return line;
  std::size_t cut = line.rfind(' ', limit);
  if (cut == std::string::npos || cut < limit / 2) cut = limit;
  line.resize(cut);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

Change swapWithNeighbour(Editor& editor, SlotKind kind, int step, std::string_view label) {
  const int from = selectedSlot(editor.project(), kind);
  const int to = from + step;
  if (to < 1 || to > model::kSlots) return Change::refused("");
  const std::size_t i = slotIndex(from);
  const std::size_t j = slotIndex(to);
  // Two empty slots change nothing, and there is no layer for the selection to follow.
  return editor.editFramesMovingSlot(EditScope::FollowLock, label,
                                     [&](FrameRecord& record) { swapLayers(record, kind, i, j); }, kind, to);
}

}  // namespace

std::string layerTitle(SlotKind kind, int slot) {
  const std::string number = std::to_string(slot);
  switch (kind) {
    case SlotKind::Text: return "Text String " + number;
    case SlotKind::Picture: return "Picture " + number;
    case SlotKind::Shape: return "Shape " + number;
  }
  return number;
}

bool slotInUse(const FrameRecord& record, SlotKind kind, int slot) {
  const std::size_t i = slotIndex(slot);
  switch (kind) {
    case SlotKind::Text: return !record.text[i].empty();
    case SlotKind::Picture: return !record.pictureFile[i].empty();
    case SlotKind::Shape: return record.shapeStyle[i] != 0;
  }
  return false;
}

LayerName layerName(const FrameRecord& record, SlotKind kind, int slot) {
  LayerName name;
  name.title = layerTitle(kind, slot);
  if (!slotInUse(record, kind, slot)) return name;
  const std::size_t i = slotIndex(slot);
  switch (kind) {
    case SlotKind::Text:
      name.content = oneLine(record.text[i].view(), kLayerNameTextLength, name.shortened);
      // A text of spaces draws nothing visible but is still a layer in use.
      if (name.content.empty()) name.content = "\" \"";
      break;
    case SlotKind::Picture:
      name.content = fileNameOf(record.pictureFile[i].view());
      if (name.content.empty()) name.content = std::string(record.pictureFile[i].view());
      break;
    case SlotKind::Shape:
      // The renderer draws every style but 2 as a plain rectangle.
      name.content = record.shapeStyle[i] == static_cast<std::uint8_t>(model::ShapeStyle::RndRectangle)
                         ? "Rounded rectangle"
                         : "Rectangle";
      break;
  }
  return name;
}

int selectedSlot(const model::LabelProject& project, SlotKind kind) {
  switch (kind) {
    case SlotKind::Text: return project.currentText;
    case SlotKind::Picture: return project.currentPicture;
    case SlotKind::Shape: return project.currentShape;
  }
  return 1;
}

FrameSet allFrames(const model::LabelProject& project) {
  FrameSet frames;
  for (int k = 1; k <= project.frameCount; ++k) frames.set(static_cast<std::size_t>(k));
  return frames;
}

FrameSet layerCopyTargets(const Editor& editor) {
  return editor.severalFramesSelected() ? editor.selectedFrames() : allFrames(editor.project());
}

Change copyLayerToFrames(Editor& editor, SlotKind kind, const FrameSet& frames) {
  const model::LabelProject& project = editor.project();
  const std::size_t i = slotIndex(selectedSlot(project, kind));
  const FrameRecord source = project.current();
  const FrameRecord* first = &project.frame(1);
  return editor.editFrames(EditScope::AllFrames, kCopyLayerLabel, [&](FrameRecord& record) {
    const auto frame = static_cast<std::size_t>(&record - first) + 1;
    if (frames.test(frame)) copyLayer(source, record, kind, i);
  });
}

TextStyle TextStyle::of(const FrameRecord& record, int slot) {
  TextStyle style;
  const std::size_t i = slotIndex(slot);
  forEachTextStyleArray([&](auto member) { (style.holder.*member)[0] = (record.*member)[i]; });
  return style;
}

void TextStyle::applyTo(FrameRecord& record, int slot) const {
  const std::size_t i = slotIndex(slot);
  forEachTextStyleArray([&](auto member) { (record.*member)[i] = (holder.*member)[0]; });
}

bool operator==(const TextStyle& a, const TextStyle& b) {
  bool same = true;
  forEachTextStyleArray([&](auto member) { same = same && (a.holder.*member)[0] == (b.holder.*member)[0]; });
  return same;
}

TextStyle copyTextStyle(const model::LabelProject& project) {
  return TextStyle::of(project.current(), project.currentText);
}

Change pasteTextStyle(Editor& editor, const TextStyle& style) {
  const int slot = editor.project().currentText;
  return editor.editFrames(EditScope::FollowLock, kPasteStyleLabel,
                           [&](FrameRecord& record) { style.applyTo(record, slot); });
}

Change bringForward(Editor& editor, SlotKind kind) { return swapWithNeighbour(editor, kind, 1, kBringForwardLabel); }
Change sendBackward(Editor& editor, SlotKind kind) { return swapWithNeighbour(editor, kind, -1, kSendBackwardLabel); }

}  // namespace zefra::editor
