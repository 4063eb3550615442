// The property panels' rules without a window: which frames an edit reaches (Lock Frames),
// derived and copied values, limits of the size, delay and border fields, slot seeding,
// and undo/redo of every kind of panel edit restoring the exact bytes of every frame.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "common/color_text.h"
#include "editor/editor.h"
#include "editor/panel_edits.h"
#include "editor/panel_rules.h"
#include "raster/html_color.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// A new project of `count` frames with frame 1 current and Lock Frames as given. Every
// frame gets a distinct frame colour so copies between frames show.
void makeFrames(Editor& editor, int count, bool lockFrames) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.goToFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "mark", [k](FrameRecord& f) {
      f.frameColor = rgb(static_cast<std::uint8_t>(k), 0, 0);
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

TEST(PanelColors, FrameColorFollowsLockFrames) {
  for (bool lock : {true, false}) {
    Editor editor("/app/", 96);
    makeFrames(editor, 3, lock);
    editor.goToFrame(2);
    const Change change = editColor(editor, ColorTarget::Frame, rgb(1, 2, 3));
    EXPECT_EQ(editor.project().frame(2).frameColor, rgb(1, 2, 3));
    EXPECT_EQ(editor.project().frame(1).frameColor, lock ? rgb(1, 0, 0) : rgb(1, 2, 3)) << "lock " << lock;
    EXPECT_EQ(editor.project().frame(3).frameColor, lock ? rgb(3, 0, 0) : rgb(1, 2, 3)) << "lock " << lock;
    EXPECT_EQ(change.frames.count(), lock ? 1u : 3u);
    EXPECT_TRUE(editor.modified());
    EXPECT_EQ(editor.undoLabel(), "Frame Color");
  }
}

TEST(PanelColors, WebSiteColorAndSizeReachEveryFrameEvenWhenLocked) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, true);
  editor.goToFrame(2);
  editColor(editor, ColorTarget::WebSite, rgb(9, 9, 9));
  editLabelSize(editor, 200, 40);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(editor.project().frame(k).webSiteColor, rgb(9, 9, 9));
    EXPECT_EQ(editor.project().frame(k).width, 200);
    EXPECT_EQ(editor.project().frame(k).height, 40);
  }
}

TEST(PanelColors, ShapeFillCopiesAllTenSlotsOfTheCurrentFrameWhenUnlocked) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, false);
  editor.goToFrame(2);
  editor.selectSlot(SlotKind::Shape, 3);
  editColor(editor, ColorTarget::ShapeFill, rgb(50, 60, 70));
  for (int k = 1; k <= 3; ++k) {
    const FrameRecord& f = editor.project().frame(k);
    for (int s = 0; s < model::kSlots; ++s) {
      const Color expected = s == 2 ? rgb(50, 60, 70) : rgb(0, 2, static_cast<std::uint8_t>(s));
      EXPECT_EQ(f.shapeFillColor[s], expected) << "frame " << k << " slot " << s + 1;
    }
  }

  // Locked: only the one slot of the current frame.
  editor.toggleLockFrames();
  editor.selectSlot(SlotKind::Shape, 5);
  editColor(editor, ColorTarget::ShapeBorder, rgb(1, 1, 1));
  EXPECT_EQ(editor.project().frame(2).shapeBorderColor[4], rgb(1, 1, 1));
  EXPECT_NE(editor.project().frame(1).shapeBorderColor[4], rgb(1, 1, 1));
  EXPECT_NE(editor.project().frame(2).shapeBorderColor[3], rgb(1, 1, 1));
}

TEST(PanelColors, BorderColorDerivesHighlightAndShadowRoundingHalfToEven) {
  EXPECT_EQ(derivedBevelColors(rgb(136, 136, 136)).highlight, rgb(216, 216, 216));
  EXPECT_EQ(derivedBevelColors(rgb(136, 136, 136)).shadow, rgb(90, 90, 90));
  EXPECT_EQ(derivedBevelColors(rgb(255, 0, 0)).highlight, rgb(255, 171, 171));
  EXPECT_EQ(derivedBevelColors(rgb(255, 0, 0)).shadow, rgb(168, 0, 0));
  // 0.66 * 25 = 16.5 exactly in decimal but not in binary; 0.66 * 75 = 49.5 likewise:
  // whatever the binary value, the result stays within one of the true product.
  EXPECT_NEAR(redOf(derivedBevelColors(rgb(75, 0, 0)).shadow), 49.5, 0.5);

  Editor editor("/app/", 96);
  makeFrames(editor, 2, false);
  editColor(editor, ColorTarget::Border, rgb(255, 0, 0));
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(editor.project().frame(k).borderColor, rgb(255, 0, 0));
    EXPECT_EQ(editor.project().frame(k).highlightColor, rgb(255, 171, 171));
    EXPECT_EQ(editor.project().frame(k).shadowColor, rgb(168, 0, 0));
  }
  EXPECT_EQ(editor.undoLabel(), "Border Color");
}

TEST(PanelColors, TransparentColorIsAProjectSetting) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, false);
  const Snapshot before = Snapshot::of(editor);
  const Change change = editColor(editor, ColorTarget::Transparent, rgb(7, 8, 9));
  EXPECT_TRUE(change.settingsChanged);
  EXPECT_TRUE(change.frames.none());
  EXPECT_EQ(editor.project().settings.transparentColor, rgb(7, 8, 9));
  EXPECT_EQ(colorOf(editor.project(), ColorTarget::Transparent), rgb(7, 8, 9));
  editor.undo();
  EXPECT_TRUE(Snapshot::of(editor) == before);
}

TEST(PanelSizes, DelayBelowThirtyIsStoredAsThirty) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, true);
  editDelay(editor, delayFromText("10"));
  EXPECT_EQ(editor.project().frame(1).delayMs, 30);
  EXPECT_EQ(delayTextOnLeave("10"), "30");
  EXPECT_EQ(delayTextOnLeave(""), "30");
  EXPECT_EQ(delayTextOnLeave("abc"), "30");
  EXPECT_EQ(delayTextOnLeave("250"), "250");
  EXPECT_EQ(delayFromText("x"), 30);
  EXPECT_EQ(delayFromText("99999999999999999999"), 32767) << "an overlong number must not wrap";
  EXPECT_NE(editor.project().frame(2).delayMs, 30) << "Lock Frames on keeps the delay in frame 1";
  editor.toggleLockFrames();
  editDelay(editor, 500);
  EXPECT_EQ(editor.project().frame(2).delayMs, 500);
}

TEST(PanelSizes, SideTextsAndKeys) {
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

TEST(PanelSizes, LabelSideGrowsTheWindowWithinTheWorkAreaOrIsRefused) {
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

TEST(PanelBorders, ComputedMaxima) {
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

TEST(PanelBorders, WidthsStayWithinTheRoomTheStylesLeave) {
  Editor editor("/app/", 96);
  makeFrames(editor, 1, true);
  editBorder(editor, BorderField::InnerStyle, 1);
  editBorder(editor, BorderField::OuterStyle, 2);
  editBorder(editor, BorderField::BevelWidth, 5);
  editBorder(editor, BorderField::BorderWidth, 99);
  EXPECT_EQ(editor.project().current().borderWidth, 20);
  // A wider bevel squeezes the border width back into range in the same step.
  editBorder(editor, BorderField::BevelWidth, 10);
  const FrameRecord& f = editor.project().current();
  EXPECT_EQ(f.bevelWidth, 5) << "the bevel cannot exceed the room the border leaves";
  editBorder(editor, BorderField::BorderWidth, 0);
  editBorder(editor, BorderField::BevelWidth, 10);
  EXPECT_EQ(editor.project().current().bevelWidth, 10);
  editBorder(editor, BorderField::BorderWidth, 50);
  EXPECT_EQ(editor.project().current().borderWidth, 10);  // (60 - 40) / 2
}

TEST(PanelFiles, ClearingTheTextureOfSlotTwoReachesEveryFrameAndNoOtherSlot) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3, false);
  editor.selectSlot(SlotKind::Text, 2);
  setTextureFile(editor, "Textures/a.bmp");
  editor.selectSlot(SlotKind::Text, 1);
  setTextureFile(editor, "Textures/b.bmp");
  editor.selectSlot(SlotKind::Text, 2);
  editor.goToFrame(3);
  const Change change = setTextureFile(editor, "");
  EXPECT_EQ(change.frames.count(), 3u);
  EXPECT_EQ(editor.undoLabel(), "Clear Texture");
  for (int k = 1; k <= 3; ++k) {
    EXPECT_TRUE(editor.project().frame(k).textureFile[1].empty());
    EXPECT_EQ(editor.project().frame(k).textureFile[0].str(), "Textures/b.bmp");
  }
}

TEST(PanelFiles, LongPathsAreCutAt255Characters) {
  Editor editor("/app/", 96);
  makeFrames(editor, 1, true);
  setPictureFile(editor, std::string(400, 'p'));
  EXPECT_EQ(editor.project().current().pictureFile[0].view().size(), 255u);
  editText(editor, std::string(300, 't'));
  EXPECT_EQ(editor.project().current().text[0].view().size(), 255u);
}

TEST(PanelFont, WritesAllSevenPropertiesOfTheSlot) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, false);
  editor.selectSlot(SlotKind::Text, 4);
  FontChoice font{"DejaVu Serif", 99, rgb(1, 2, 3), true, true, true, true};
  editFont(editor, font);
  font.size = 72;  // limited to the spin's range
  for (int k = 1; k <= 2; ++k) {
    editor.goToFrame(k);
    EXPECT_EQ(fontOf(editor.project()), font) << "frame " << k;
  }
  EXPECT_NE(editor.project().frame(1).fontName[0].str(), "DejaVu Serif");
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

  // A slot in use is left alone.
  const Snapshot before = Snapshot::of(editor);
  selectSlotSeeding(editor, SlotKind::Shape, 1);
  selectSlotSeeding(editor, SlotKind::Shape, 2);
  EXPECT_TRUE(Snapshot::of(editor) == before);
}

TEST(PanelSlots, SelectingAnUnusedTextSlotSeedsItWithTheWordText) {
  Editor editor("/app/", 96);
  makeFrames(editor, 2, false);
  editText(editor, "Hello");
  editFont(editor, {"DejaVu Sans", 30, rgb(4, 5, 6), true, false, false, false});
  editor.editFrames(EditScope::FollowLock, "pos", [](FrameRecord& f) { f.textX[0] = 33; });
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

// Every kind of panel edit, undone and redone, gives back the exact bytes of every frame.
TEST(PanelUndo, EveryKindOfEditRestoresTheExactBytes) {
  const std::vector<std::pair<std::string, std::function<Change(Editor&)>>> edits = {
      {"WebSite Color", [](Editor& e) { return editColor(e, ColorTarget::WebSite, rgb(1, 1, 1)); }},
      {"Frame Color", [](Editor& e) { return editColor(e, ColorTarget::Frame, rgb(1, 1, 1)); }},
      {"Border Color", [](Editor& e) { return editColor(e, ColorTarget::Border, rgb(1, 1, 1)); }},
      {"Shape Color", [](Editor& e) { return editColor(e, ColorTarget::ShapeFill, rgb(1, 1, 1)); }},
      {"Font Color", [](Editor& e) { return editColor(e, ColorTarget::Font, rgb(1, 1, 1)); }},
      {"Transparent Color", [](Editor& e) { return editColor(e, ColorTarget::Transparent, rgb(1, 1, 1)); }},
      {"Label Size", [](Editor& e) { return editLabelSize(e, 100, 50); }},
      {"Delay Time", [](Editor& e) { return editDelay(e, 700); }},
      {"Background Gradient", [](Editor& e) { return editBackgroundGradient(e, true, 8); }},
      {"Text Color Gradient", [](Editor& e) { return editTextGradient(e, false, 1); }},
      {"Borders", [](Editor& e) { return editBordersOn(e, true); }},
      {"Border Width", [](Editor& e) { return editBorder(e, BorderField::BorderWidth, 9); }},
      {"Font", [](Editor& e) { return editFont(e, {"Serif", 20, rgb(3, 3, 3), false, true, false, true}); }},
      {"Load Picture", [](Editor& e) { return setPictureFile(e, "/pics/x.bmp"); }},
      {"Load Texture", [](Editor& e) { return setTextureFile(e, "/tex/y.bmp"); }},
      {"Typing", [](Editor& e) { return editText(e, "Zefra"); }},
      {"New Shape Layer", [](Editor& e) {
         e.editFrames(EditScope::FollowLock, "shape", [](FrameRecord& f) { f.shapeStyle[0] = 1; });
         return selectSlotSeeding(e, SlotKind::Shape, 2);
       }},
      {"Transparent GIF", [](Editor& e) { return editTransparent(e, true); }},
      {"Palette", [](Editor& e) { return editPaletteKind(e, model::PaletteKind::Grayscale); }},
      {"Colors", [](Editor& e) { return editColorCountIndex(e, 3); }},
  };
  for (bool lock : {true, false}) {
    for (const auto& [label, edit] : edits) {
      Editor editor("/app/", 96);
      makeFrames(editor, 3, lock);
      editor.goToFrame(2);
      const Snapshot before = Snapshot::of(editor);
      const Change change = edit(editor);
      ASSERT_TRUE(change.applied) << label;
      const Snapshot after = Snapshot::of(editor);
      ASSERT_FALSE(after == before) << label << ": the edit changed nothing";
      EXPECT_EQ(editor.undoLabel(), label);
      editor.undo();
      if (label == "New Shape Layer") editor.undo();  // the helper's own first step
      EXPECT_TRUE(Snapshot::of(editor) == before) << label << " lock " << lock;
      if (label == "New Shape Layer") editor.redo();
      editor.redo();
      EXPECT_TRUE(Snapshot::of(editor) == after) << label << " lock " << lock;
    }
  }
}

TEST(PanelUndo, ARunOfTypingIsOneStep) {
  Editor editor("/app/", 96);
  makeFrames(editor, 1, true);
  const Snapshot before = Snapshot::of(editor);
  editText(editor, "H", 7);
  editText(editor, "He", 7);
  editText(editor, "Hey", 7);
  editor.closeMerge();
  editText(editor, "Hey!", 7);
  editor.undo();
  EXPECT_EQ(editor.project().current().text[0].str(), "Hey");
  editor.undo();
  EXPECT_TRUE(Snapshot::of(editor) == before);
}

TEST(ColorText, HtmlNotation) {
  EXPECT_EQ(htmlColorText(rgb(255, 136, 34)), "#FF8822");
  EXPECT_EQ(htmlColorText(rgb(0, 0, 0)), "#000000");
  EXPECT_EQ(raster::colorToHtmlColor(rgb(1, 2, 171)), "#0102AB");
  // A system colour shows the RGB value it stands for (button face here).
  EXPECT_EQ(raster::colorToHtmlColor(0x8000000Fu), htmlColorText(raster::resolveColor(0x8000000Fu)));
  EXPECT_EQ(raster::colorToHtmlColor(0x8000000Fu).size(), 7u);
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
