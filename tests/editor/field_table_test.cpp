// The table of editable fields and Editor::setField: which frames an edit reaches, ranges,
// derived fields and undo, all without a window.
#include "editor/field_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "editor/editor.h"
#include "model/field_options.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// An editor with `frames` frames, frame `current` current, Lock Frames as given.
struct ProjectWith {
  Editor editor{"/app/", 96};
  ProjectWith(int frames, int current, bool locked) {
    for (int k = 1; k < frames; ++k) editor.insertFrame();
    editor.goToFrame(current);
    if (editor.project().lockFrames != locked) editor.toggleLockFrames();
  }
  const FrameRecord& frame(int k) const { return editor.project().frame(k); }
};

TEST(FieldTable, OneEntryPerControlInFieldOrder) {
  const auto table = fieldTable();
  ASSERT_EQ(table.size(), static_cast<std::size_t>(kFieldCount));
  std::set<std::string_view> controls;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const FieldEntry& entry = table[i];
    EXPECT_EQ(static_cast<std::size_t>(entry.field), i);
    EXPECT_TRUE(controls.insert(entry.control).second) << entry.control;
    EXPECT_FALSE(entry.undoLabel.empty()) << entry.control;
    EXPECT_EQ(fieldOfControl(entry.control), &entry);
    if (entry.kind == FieldKind::Choice && !entry.options.empty()) {
      EXPECT_EQ(static_cast<long>(entry.options.size()), entry.maximum + 1) << entry.control;
    }
  }
  // The spin boxes, lists and buttons of the four pages that write a field.
  for (const char* name : {"CWidth", "CHeight", "CDelay", "RZPanelWebSite", "RZPanelFrBack", "ChBox1", "CBox1",
                           "RZGR1", "RZGR2", "ChBox3", "CBox4", "CBox5", "SE9", "SE10", "RzBorderCL", "RzH", "RzS",
                           "CBox8", "SE11", "SE12", "SE13", "SE14", "RzShapeCL", "RzShapeBCL", "SE15", "RzB5", "SE3",
                           "SE4", "ETxt", "SE1", "SE2", "RzFont", "SE8", "SE7", "SE6", "SE5", "RzBorder", "ChBox2",
                           "CBox2", "RzTGR1", "RzTGr2", "RzB2", "RzTransp", "ChBox4", "RB1", "RB5"}) {
    EXPECT_NE(fieldOfControl(name), nullptr) << name;
  }
  EXPECT_EQ(fieldOfControl("CBox7"), nullptr) << "slot lists select, they do not edit";
  EXPECT_EQ(fieldEntry(Field::Width).scope, EditScope::AllFrames);
  EXPECT_EQ(fieldEntry(Field::WebSiteColor).scope, EditScope::AllFrames);
  EXPECT_EQ(fieldEntry(Field::FrameColor).scope, EditScope::FollowLock);
  EXPECT_EQ(fieldEntry(Field::PaletteKind).scope, EditScope::Project);
  EXPECT_EQ(fieldEntry(Field::ShapeX).slot, SlotList::Shape);
  EXPECT_EQ(fieldEntry(Field::TextureFile).slot, SlotList::Text);
}

TEST(FieldTable, OptionTablesAreTheCaptionsOfTheStoredValues) {
  EXPECT_EQ(model::optionName(model::kGradientStyleNames, 8), "Pyramid");
  EXPECT_EQ(model::optionName(model::kBorderStyleNames, 2), "Raised");
  EXPECT_EQ(model::optionName(model::kPaletteKindNames, 3), "");
  EXPECT_EQ(model::colorCountOf(0), 256);
  EXPECT_EQ(model::colorCountOf(5), 128);
  EXPECT_FALSE(model::colorCountOf(6));
  for (int index = 0; index < 6; ++index) EXPECT_EQ(model::colorCountIndexOf(*model::colorCountOf(index)), index);
  EXPECT_EQ(model::colorCountIndexOf(100), -1);
}

TEST(FieldEdits, LockFramesDecidesWhichFramesAFieldReaches) {
  {
    ProjectWith p(3, 2, true);
    p.editor.setField(Field::FrameColor, rgb(1, 2, 3));
    EXPECT_EQ(p.frame(2).frameColor, rgb(1, 2, 3));
    EXPECT_EQ(p.frame(1).frameColor, model::kNewFrameColor);
    EXPECT_EQ(p.frame(3).frameColor, model::kNewFrameColor);
    // Always copied: the web-site colour, width and height.
    p.editor.setField(Field::WebSiteColor, rgb(9, 9, 9));
    p.editor.setField(Field::Width, 300);
    p.editor.setField(Field::Height, 40);
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(p.frame(k).webSiteColor, rgb(9, 9, 9));
      EXPECT_EQ(p.frame(k).width, 300);
      EXPECT_EQ(p.frame(k).height, 40);
    }
  }
  {
    ProjectWith p(3, 2, false);
    const Change change = p.editor.setField(Field::FrameColor, rgb(1, 2, 3));
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(p.frame(k).frameColor, rgb(1, 2, 3));
    EXPECT_EQ(change.frames.count(), 3u);
    EXPECT_TRUE(p.editor.modified());
    EXPECT_EQ(p.editor.undoLabel(), "Frame Color");
    p.editor.undo();
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(p.frame(k).frameColor, model::kNewFrameColor);
  }
}

TEST(FieldEdits, ShapeColoursCopyAllTenSlotsOfTheCurrentFrame) {
  ProjectWith p(2, 1, true);
  p.editor.selectSlot(SlotKind::Shape, 5);
  p.editor.setField(Field::ShapeFillColor, rgb(5, 5, 5));  // lock on: frame 1 only
  p.editor.goToFrame(2);
  p.editor.selectSlot(SlotKind::Shape, 7);
  p.editor.setField(Field::ShapeFillColor, rgb(7, 7, 7));
  p.editor.goToFrame(1);
  p.editor.toggleLockFrames();
  p.editor.selectSlot(SlotKind::Shape, 3);
  p.editor.setField(Field::ShapeFillColor, rgb(3, 3, 3));
  for (int slot = 0; slot < model::kSlots; ++slot) {
    EXPECT_EQ(p.frame(2).shapeFillColor[slot], p.frame(1).shapeFillColor[slot]) << slot;
  }
  EXPECT_EQ(p.frame(2).shapeFillColor[4], rgb(5, 5, 5));
  EXPECT_EQ(p.frame(2).shapeFillColor[6], rgb(255, 255, 255)) << "frame 2's own slot 7 is overwritten";
}

TEST(FieldEdits, ClearingATextureReachesOnlyThatSlot) {
  ProjectWith p(3, 1, true);
  for (int frame = 1; frame <= 3; ++frame) {
    p.editor.goToFrame(frame);
    for (int slot : {1, 2, 3}) {
      p.editor.selectSlot(SlotKind::Text, slot);
      p.editor.setField(Field::TextureFile, "wood" + std::to_string(slot) + ".bmp");
    }
  }
  p.editor.toggleLockFrames();
  p.editor.goToFrame(2);
  p.editor.selectSlot(SlotKind::Text, 2);
  p.editor.setField(Field::TextureFile, "");
  for (int frame = 1; frame <= 3; ++frame) {
    EXPECT_TRUE(p.frame(frame).textureFile[1].empty());
    EXPECT_EQ(p.frame(frame).textureFile[0].view(), "wood1.bmp");
    EXPECT_EQ(p.frame(frame).textureFile[2].view(), "wood3.bmp");
  }
}

TEST(FieldEdits, SwitchesCarryTheirStyleToOtherFrames) {
  ProjectWith p(2, 1, true);
  p.editor.setField(Field::GradientStyle, 8);  // frame 1 only
  p.editor.toggleLockFrames();
  p.editor.setField(Field::GradientOn, 1);
  EXPECT_EQ(p.frame(2).gradientOn, 1);
  EXPECT_EQ(p.frame(2).gradientStyle, 8);
}

TEST(FieldEdits, ValuesAreKeptInRange) {
  ProjectWith p(1, 1, true);
  p.editor.setField(Field::Delay, 10);
  EXPECT_EQ(p.frame(1).delayMs, 30);
  p.editor.setField(Field::FontSize, 500);
  EXPECT_EQ(p.frame(1).fontSize[0], 72);
  p.editor.setField(Field::Width, 0);
  EXPECT_EQ(p.frame(1).width, 1);
  p.editor.setField(Field::Width, 468);
  p.editor.setField(Field::GradientStyle, 42);
  EXPECT_EQ(p.frame(1).gradientStyle, 8);
  p.editor.setField(Field::Text, std::string(300, 'x'));
  EXPECT_EQ(p.frame(1).text[0].view().size(), 255u);
  EXPECT_FALSE(p.editor.setField(Field::Text, 5).applied) << "a text field takes a text";
  EXPECT_FALSE(p.editor.setField(Field::Delay, "5").applied);
}

TEST(FieldEdits, BorderBandMaximaFollowTheLabelAndTheBevels) {
  ProjectWith p(1, 1, true);
  p.editor.setField(Field::BorderInnerStyle, 0);
  p.editor.setField(Field::BorderOuterStyle, 0);
  EXPECT_EQ(fieldRange(Field::BorderWidth, p.frame(1)).maximum, 30) << "half the smaller side of 468 x 60";
  p.editor.setField(Field::BorderInnerStyle, 1);
  p.editor.setField(Field::BorderOuterStyle, 2);
  p.editor.setField(Field::BevelWidth, 5);
  EXPECT_EQ(fieldRange(Field::BorderWidth, p.frame(1)).maximum, 20);
  p.editor.setField(Field::BorderWidth, 99);
  EXPECT_EQ(p.frame(1).borderWidth, 20);
  EXPECT_EQ(fieldRange(Field::BevelWidth, p.frame(1)).maximum, (60 - 40) / 4);
}

// A new bevel style or a lower label lowers the limits of the widths already set; the
// lowered widths are stored (in every frame the edit reaches, in the same undo step), so the
// file holds what the spins show and the band never covers more than the label.
TEST(FieldEdits, WidthsAboveTheirNewLimitsAreStoredAtTheLimit) {
  ProjectWith p(3, 1, false);
  p.editor.setField(Field::BordersOn, 1);
  p.editor.setField(Field::BorderInnerStyle, 0);
  p.editor.setField(Field::BorderOuterStyle, 0);
  p.editor.setField(Field::BevelWidth, 10);
  p.editor.setField(Field::BorderWidth, 20);
  p.editor.setField(Field::BorderInnerStyle, 1);
  ASSERT_EQ(p.frame(1).bevelWidth, 10) << "2 x 10 + 2 x 20 still fits 60";
  ASSERT_EQ(p.frame(1).borderWidth, 20);
  const FrameRecord before = p.frame(2);
  p.editor.setField(Field::BorderOuterStyle, 2);
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    // What the spins offer now: each limit taken with the other width as it was,
    // (60 - 2 x 20) / 4 and (60 - 4 x 10) / 2.
    EXPECT_EQ(p.frame(k).bevelWidth, 5);
    EXPECT_EQ(p.frame(k).borderWidth, 10);
    EXPECT_LE(p.frame(k).borderWidth, fieldRange(Field::BorderWidth, p.frame(k)).maximum);
    EXPECT_LE(p.frame(k).bevelWidth, fieldRange(Field::BevelWidth, p.frame(k)).maximum);
  }
  EXPECT_EQ(p.editor.undoLabel(), "Border Outer Style");
  p.editor.undo();
  EXPECT_EQ(std::memcmp(&p.frame(2), &before, sizeof before), 0) << "one undo step brings back style and widths";

  // A border as wide as half the label leaves the bevel no room, whatever the styles.
  p.editor.setField(Field::BorderInnerStyle, 0);
  p.editor.setField(Field::BorderWidth, 30);
  EXPECT_EQ(p.frame(1).borderWidth, 30);
  EXPECT_EQ(p.frame(1).bevelWidth, 1);
  // A lower label: every frame, since the size is the same in all of them.
  p.editor.setField(Field::BevelWidth, 1);
  p.editor.setField(Field::Height, 20);
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(p.frame(k).height, 20);
    EXPECT_EQ(p.frame(k).borderWidth, 10);
  }
  // Typing "40" passes through "4": the widths come from before the typing, not from "4".
  p.editor.setField(Field::Height, 60);
  p.editor.setField(Field::BorderWidth, 15);
  p.editor.closeMerge();
  p.editor.setField(Field::Height, 4);
  EXPECT_EQ(p.frame(1).borderWidth, 2);
  p.editor.setField(Field::Height, 40);
  EXPECT_EQ(p.frame(1).borderWidth, 15);
  EXPECT_EQ(p.frame(3).borderWidth, 15);
  // A run of bevel steps keeps each new bevel.
  p.editor.closeMerge();
  p.editor.setField(Field::BevelWidth, 2);
  p.editor.setField(Field::BevelWidth, 3);
  EXPECT_EQ(p.frame(1).bevelWidth, 3);
  // With Lock Frames on, a style edit narrows only the frame it reaches.
  p.editor.setField(Field::Height, 60);
  p.editor.setField(Field::BorderWidth, 30);
  p.editor.toggleLockFrames();
  p.editor.setField(Field::BorderOuterStyle, 2);
  EXPECT_EQ(p.frame(1).borderWidth, 29);
  EXPECT_EQ(p.frame(2).borderWidth, 30);
}

TEST(FieldEdits, BorderColourBringsItsBevelColours) {
  ProjectWith p(2, 1, false);
  p.editor.setField(Field::BorderColor, rgb(255, 0, 0));
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(p.frame(k).borderColor, rgb(255, 0, 0));
    EXPECT_EQ(p.frame(k).highlightColor, rgb(255, 171, 171));
    EXPECT_EQ(p.frame(k).shadowColor, rgb(168, 0, 0));
  }
}

TEST(FieldEdits, RangesFromTheDisplay) {
  const RangeContext display{1280, 1024, 700, 120};
  const FrameRecord& r = Editor("/app/", 96).project().frame(1);
  EXPECT_EQ(fieldRange(Field::TextX, r, display).minimum, -1280);
  EXPECT_EQ(fieldRange(Field::PictureY, r, display).maximum, 1024);
  EXPECT_EQ(fieldRange(Field::ShapeWidth, r, display).minimum, 0);
  EXPECT_EQ(fieldRange(Field::ShapeHeight, r, display).maximum, 120);
  EXPECT_EQ(fieldRange(Field::ViewAngle, r, display).maximum, 360);
}

TEST(FieldEdits, TypingMergesIntoOneStepUntilClosed) {
  ProjectWith p(1, 1, true);
  p.editor.setField(Field::Text, "H");
  p.editor.setField(Field::Text, "He");
  p.editor.setField(Field::Text, "Hey");
  p.editor.closeMerge();
  p.editor.setField(Field::Text, "Hey!");
  p.editor.undo();
  EXPECT_EQ(fieldText(p.editor.project(), Field::Text), "Hey");
  p.editor.undo();
  EXPECT_EQ(fieldText(p.editor.project(), Field::Text), "");
  EXPECT_FALSE(p.editor.canUndo());
}

TEST(FieldEdits, ProjectSettingsAreOneStepAndReadBack) {
  ProjectWith p(2, 2, true);
  const Change change = p.editor.setField(Field::PaletteKind, 2);
  EXPECT_TRUE(change.settingsChanged);
  EXPECT_TRUE(change.frames.none());
  EXPECT_EQ(fieldNumber(p.editor.project(), Field::PaletteKind), 2);
  p.editor.setField(Field::ColorCount, 3);
  EXPECT_EQ(p.editor.project().settings.colorCountIndex, 3);
  p.editor.undo();
  p.editor.undo();
  EXPECT_EQ(p.editor.project().settings.paletteKind, 0);
  EXPECT_FALSE(p.editor.editFrames(EditScope::Project, "x", [](FrameRecord&) {}).applied);
}

}  // namespace
}  // namespace zefra::editor
