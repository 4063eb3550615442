// The property panels' rules without a window: the border band limits, the derived bevel
// colours, the size and delay texts and the window they must fit, the font dialog's edit,
// the seeding of new layers, the colour text, and undo/redo of every kind of panel edit
// restoring the exact bytes of every frame.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/color_text.h"
#include "editor/editor.h"
#include "editor/field_table.h"
#include "editor/panel_edits.h"
#include "editor/panel_rules.h"
#include "raster/html_color.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// A new project of `count` frames with frame 1 current and Lock Frames as given. Every
// frame differs from the others, so copies between frames show.
void makeFrames(Editor& editor, int count, bool lockFrames) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.goToFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "mark", [k](FrameRecord& f) {
      f.frameColor = rgb(static_cast<std::uint8_t>(k), 0, 0);
      f.text[0] = "frame " + std::to_string(k);
      for (int s = 0; s < model::kSlots; ++s) f.shapeFillColor[s] = rgb(0, static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(s));
    });
  }
  editor.firstFrame();
  if (editor.project().lockFrames != lockFrames) editor.toggleLockFrames();
  editor.discardChanges();
}

// All bytes of the frames in use plus the project settings.
struct Snapshot {
  std::vector<FrameRecord> frames;
  model::ProjectSettings settings;
  static Snapshot of(const Editor& editor) {
    Snapshot s;
    for (int k = 1; k <= editor.project().frameCount; ++k) s.frames.push_back(editor.project().frame(k));
    s.settings = editor.project().settings;
    return s;
  }
  bool operator==(const Snapshot& other) const {
    return frames.size() == other.frames.size() && settings == other.settings &&
           std::memcmp(frames.data(), other.frames.data(), frames.size() * sizeof(FrameRecord)) == 0;
  }
};

TEST(PanelRules, BorderBandLimits) {
  FrameRecord r = model::newFrameRecord(96);
  r.borderInnerStyle = r.borderOuterStyle = 0;
  r.bevelWidth = 5;
  r.borderWidth = 0;
  EXPECT_EQ(borderLimits(r, 468, 60).borderMax, 30) << "no bevels: half the smaller side";
  r.borderInnerStyle = 1;
  r.borderOuterStyle = 2;
  EXPECT_EQ(borderLimits(r, 468, 60).borderMax, 20);  // (60 - 20) / 2
  r.borderWidth = 10;
  EXPECT_EQ(borderLimits(r, 468, 60).bevelMax, 10);  // (60 - 20) / 4
  r.borderInnerStyle = 0;
  EXPECT_EQ(borderLimits(r, 468, 60).bevelMax, 20);  // (60 - 20) / 2
  EXPECT_EQ(borderLimits(r, 3, 3).borderMax, 0) << "never negative";
  EXPECT_EQ(borderLimits(r, 3, 3).bevelMax, 1);
}

TEST(PanelRules, BevelColoursRoundHalfToEven) {
  EXPECT_EQ(derivedBevelColors(rgb(136, 136, 136)).highlight, rgb(216, 216, 216));
  EXPECT_EQ(derivedBevelColors(rgb(136, 136, 136)).shadow, rgb(90, 90, 90));
  EXPECT_EQ(derivedBevelColors(rgb(255, 0, 0)).highlight, rgb(255, 171, 171));
  EXPECT_EQ(derivedBevelColors(rgb(255, 0, 0)).shadow, rgb(168, 0, 0));
  EXPECT_EQ(derivedBevelColors(rgb(0, 255, 0)).highlight, rgb(171, 255, 171));
}

TEST(PanelRules, DelayTexts) {
  EXPECT_EQ(delayFromText("10"), 30);
  EXPECT_EQ(delayFromText("x"), 30);
  EXPECT_EQ(delayFromText("250"), 250);
  EXPECT_EQ(delayFromText("99999999999999999999"), 32767) << "an overlong number must not wrap";
  EXPECT_EQ(delayTextOnLeave("10"), "30");
  EXPECT_EQ(delayTextOnLeave(""), "30");
  EXPECT_EQ(delayTextOnLeave("abc"), "30");
  EXPECT_EQ(delayTextOnLeave("250"), "250");

  // Typed as 10, stored as 30.
  Editor editor("/app/", 96);
  makeFrames(editor, 1, true);
  editor.setField(Field::Delay, delayFromText("10"));
  EXPECT_EQ(editor.project().current().delayMs, 30);
}

TEST(PanelRules, SideTextsAndKeys) {
  EXPECT_EQ(labelSideFromText(""), 1);
  EXPECT_EQ(labelSideFromText("0"), 1);
  EXPECT_EQ(labelSideFromText("-5"), 1);
  EXPECT_EQ(labelSideFromText("468"), 468);
  EXPECT_EQ(sideTextOnLeave(""), "1");
  EXPECT_EQ(sideTextOnLeave("0"), "1");
  EXPECT_EQ(sideTextOnLeave("00"), "00");
  EXPECT_TRUE(acceptedSizeKey(U'7'));
  EXPECT_TRUE(acceptedSizeKey(U'\b'));
  EXPECT_TRUE(acceptedSizeKey(U'\t'));
  EXPECT_FALSE(acceptedSizeKey(U'-'));
  EXPECT_FALSE(acceptedSizeKey(U'a'));
  EXPECT_FALSE(acceptedSizeKey(U'\u0663'));  // an Arabic-Indic digit is not 0..9
}

TEST(PanelRules, LabelSideGrowsTheWindowWithinTheWorkAreaOrIsRefused) {
  // Panel 600 wide, window at x 100 and 800 wide, work area right edge 1280.
  LabelFit fit = fitLabelSide(Axis::Width, 596, 600, 100, 800, 1280);
  EXPECT_TRUE(fit.fits);
  EXPECT_EQ(fit.growBy, 0);
  fit = fitLabelSide(Axis::Width, 700, 600, 100, 800, 1280);
  EXPECT_TRUE(fit.fits);
  EXPECT_EQ(fit.growBy, 104);
  // N = 600 + 1280 - 100 - 800 - 5 = 975 is the largest that fits, 976 is refused.
  EXPECT_TRUE(fitLabelSide(Axis::Width, 975, 600, 100, 800, 1280).fits);
  fit = fitLabelSide(Axis::Width, 976, 600, 100, 800, 1280);
  EXPECT_FALSE(fit.fits);
  EXPECT_EQ(fit.message, "Invalid label width. Valid values 1 to 975.");
  fit = fitLabelSide(Axis::Height, 2000, 300, 0, 700, 1000);
  EXPECT_EQ(fit.message, "Invalid label height. Valid values 1 to 595.");
}

TEST(PanelFont, WritesAllSevenPropertiesOfTheSlotInTheFramesLockFramesAllows) {
  for (bool lock : {true, false}) {
    Editor editor("/app/", 96);
    makeFrames(editor, 2, lock);
    editor.selectSlot(SlotKind::Text, 4);
    FontChoice font{"DejaVu Serif", 99, rgb(1, 2, 3), true, true, true, true};
    editFont(editor, font);
    EXPECT_EQ(editor.undoLabel(), "Font");
    font.size = 72;  // limited to the spin's range
    EXPECT_EQ(fontOf(editor.project()), font);
    editor.goToFrame(2);
    EXPECT_EQ(fontOf(editor.project()) == font, !lock) << "lock " << lock;
    EXPECT_NE(editor.project().frame(1).fontName[0].str(), "DejaVu Serif") << "only the chosen slot";
  }
}

TEST(PanelSlots, SelectingAnUnusedShapeSlotSeedsItFromThePreviousOne) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, true);
  editor.editFrames(EditScope::CurrentFrame, "shape", [](FrameRecord& f) {
    f.shapeStyle[0] = 2;
    f.shapeWidth[0] = 40;
    f.shapeHeight[0] = 20;
    f.shapeX[0] = 7;
    f.shapeBorderWidth[0] = 3;
    f.shapeStyle[1] = 0;
  });
  const Change change = selectSlotSeeding(editor, SlotKind::Shape, 2);
  EXPECT_TRUE(change.slotSelectionChanged);
  const FrameRecord& f = editor.project().frame(1);
  EXPECT_EQ(f.shapeStyle[1], 2);
  EXPECT_EQ(f.shapeWidth[1], 40);
  EXPECT_EQ(f.shapeHeight[1], 20);
  EXPECT_EQ(f.shapeBorderWidth[1], 3);
  EXPECT_EQ(f.shapeFillColor[1], f.shapeFillColor[0]);
  EXPECT_NE(f.shapeX[1], 7) << "the position is not copied";
  EXPECT_EQ(editor.project().frame(2).shapeStyle[1], 0) << "Lock Frames on: only the current frame";
  EXPECT_EQ(editor.undoLabel(), "New Shape Layer");

  // A slot in use, or slot 1, is left alone.
  const Snapshot before = Snapshot::of(editor);
  selectSlotSeeding(editor, SlotKind::Shape, 1);
  selectSlotSeeding(editor, SlotKind::Shape, 2);
  EXPECT_TRUE(Snapshot::of(editor) == before);
}

TEST(PanelSlots, SelectingAnUnusedTextSlotSeedsItWithTheWordText) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, false);
  editFont(editor, {"DejaVu Sans", 30, rgb(4, 5, 6), true, false, false, false});
  editor.setField(Field::TextX, 33);
  selectSlotSeeding(editor, SlotKind::Text, 2);
  EXPECT_EQ(editor.project().currentText, 2);
  for (int k = 1; k <= 2; ++k) {
    const FrameRecord& f = editor.project().frame(k);
    EXPECT_EQ(f.text[1].str(), "text");
    EXPECT_EQ(f.fontName[1].str(), "DejaVu Sans");
    EXPECT_EQ(f.fontSize[1], 30);
    EXPECT_EQ(f.fontBold[1], 1);
    EXPECT_NE(f.textX[1], 33);
  }
  // Slot 4 follows an empty slot 3: nothing to seed from.
  const Snapshot before = Snapshot::of(editor);
  selectSlotSeeding(editor, SlotKind::Text, 4);
  EXPECT_TRUE(Snapshot::of(editor) == before);
  EXPECT_EQ(editor.project().currentText, 4);
}

// A value for `field` that differs from what the current frame holds, within its range.
long otherValue(const Editor& editor, const FieldEntry& entry) {
  const long now = fieldNumber(editor.project(), entry.field);
  switch (entry.kind) {
    case FieldKind::Color: return (now ^ 0x123456) & 0xFFFFFF;
    case FieldKind::Flag: return now ? 0 : 1;
    case FieldKind::Choice: {
      const long count = entry.options.empty() ? entry.maximum + 1 : static_cast<long>(entry.options.size());
      return (now + 1) % count;
    }
    default: {
      const FieldRange range = fieldRange(entry.field, editor.project().current());
      return now != range.maximum ? range.maximum : range.minimum;
    }
  }
}

// Every field of the table, the font, slot seeding and the frame commands: undone and
// redone, each gives back the exact bytes of every frame and the project settings.
TEST(PanelUndo, EveryKindOfEditRestoresTheExactBytes) {
  std::vector<std::pair<std::string, std::function<Change(Editor&)>>> edits;
  for (const FieldEntry& entry : fieldTable()) {
    edits.emplace_back(std::string(entry.control), [&entry](Editor& e) {
      if (entry.kind == FieldKind::Text || entry.kind == FieldKind::File) return e.setField(entry.field, "changed");
      return e.setField(entry.field, otherValue(e, entry));
    });
  }
  edits.emplace_back("font", [](Editor& e) { return editFont(e, {"Serif", 20, rgb(3, 3, 3), false, true, false, true}); });
  edits.emplace_back("seed text", [](Editor& e) { return selectSlotSeeding(e, SlotKind::Text, 2); });
  edits.emplace_back("insert", [](Editor& e) { return e.insertFrame(); });
  edits.emplace_back("delete", [](Editor& e) { return e.deleteFrame(); });
  edits.emplace_back("reverse", [](Editor& e) { return e.reverseFrames(); });

  for (bool lock : {true, false}) {
    for (const auto& [name, edit] : edits) {
      Editor editor("/app/", 96);
      makeFrames(editor, 3, lock);
      editor.goToFrame(2);
      const Snapshot before = Snapshot::of(editor);
      const Change change = edit(editor);
      ASSERT_TRUE(change.applied) << name;
      const Snapshot after = Snapshot::of(editor);
      ASSERT_FALSE(after == before) << name << ": the edit changed nothing";
      ASSERT_TRUE(editor.canUndo()) << name;
      editor.undo();
      EXPECT_TRUE(Snapshot::of(editor) == before) << name << " undo, lock " << lock;
      editor.redo();
      EXPECT_TRUE(Snapshot::of(editor) == after) << name << " redo, lock " << lock;
    }
  }
}

TEST(ColorText, HtmlNotation) {
  EXPECT_EQ(htmlColorText(rgb(255, 136, 34)), "#FF8822");  // swatch 18
  EXPECT_EQ(htmlColorText(rgb(0, 0, 0)), "#000000");
  EXPECT_EQ(raster::colorToHtmlColor(rgb(1, 2, 171)), "#0102AB");
  // A system colour shows the RGB value it stands for (button face here).
  EXPECT_EQ(raster::colorToHtmlColor(0x8000000Fu), htmlColorText(raster::resolveColor(0x8000000Fu)));
  EXPECT_NE(raster::colorToHtmlColor(0x8000000Fu), "#00000F");
}

TEST(ColorText, ReadingTypedText) {
  EXPECT_EQ(parseHtmlColorText("#FF8822"), rgb(255, 136, 34));
  EXPECT_EQ(parseHtmlColorText("#12"), rgb(0x12, 0, 0));
  EXPECT_EQ(parseHtmlColorText("F"), rgb(0xF0, 0, 0));
  EXPECT_EQ(parseHtmlColorText(""), rgb(0, 0, 0));
  EXPECT_EQ(parseHtmlColorText("#"), rgb(0, 0, 0));
  EXPECT_EQ(parseHtmlColorText("abcdef99"), rgb(0xAB, 0xCD, 0xEF)) << "characters past six are ignored";
  EXPECT_FALSE(parseHtmlColorText("#1#2").has_value());
  EXPECT_FALSE(parseHtmlColorText("GG0000").has_value());
  EXPECT_FALSE(parseHtmlColorText("##0000").has_value());
}

}  // namespace
}  // namespace zefra::editor
