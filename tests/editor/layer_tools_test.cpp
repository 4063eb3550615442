// Layers as a whole: the names the slot lists show, a layer copied into other frames, a
// text style carried to another slot without its text or place, and slot swaps moving a
// layer over or under its neighbour, each one undo step that gives back the exact bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/layer_tools.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// Every frame of the project, byte for byte.
std::vector<FrameRecord> framesOf(const Editor& editor) {
  std::vector<FrameRecord> frames;
  for (int k = 1; k <= editor.project().frameCount; ++k) frames.push_back(editor.project().frame(k));
  return frames;
}

bool sameBytes(const std::vector<FrameRecord>& a, const std::vector<FrameRecord>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(FrameRecord)) == 0;
}

// `count` frames, frame 1 current, Lock Frames as given. Text slot 2, picture slot 3 and
// shape slot 1 of frame 1 hold full layers; the other frames hold other texts in slot 2,
// so copies show.
void makeProject(Editor& editor, int count, bool lockFrames) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.goToFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "mark", [k](FrameRecord& f) {
      f.text[1] = "frame " + std::to_string(k);
      f.textX[1] = static_cast<std::int16_t>(10 * k);
    });
  }
  editor.firstFrame();
  editor.editFrames(EditScope::CurrentFrame, "layers", [](FrameRecord& f) {
    f.text[1] = "Fresh bread daily";
    f.textX[1] = 120;
    f.textY[1] = 14;
    f.fontName[1] = "DejaVu Serif";
    f.fontSize[1] = 30;
    f.fontColor[1] = rgb(200, 10, 20);
    f.fontBold[1] = 1;
    f.viewAngle[1] = 225;
    f.textBorderWidth[1] = 4;
    f.shadowDarkness[1] = 90;
    f.text3DColor[1] = rgb(1, 2, 3);
    f.textGradientOn[1] = 1;
    f.textGradientKind[1] = 1;
    f.textGradientColor1[1] = rgb(4, 5, 6);
    f.textGradientColor2[1] = rgb(7, 8, 9);
    f.textureFile[1] = "/t/stone.bmp";
    f.pictureFile[2] = "/home/ann/art/logo.bmp";
    f.pictureX[2] = 5;
    f.pictureY[2] = 6;
    f.shapeStyle[0] = 2;
    f.shapeX[0] = 3;
    f.shapeWidth[0] = 40;
    f.shapeHeight[0] = 20;
    f.shapeFillColor[0] = rgb(9, 9, 9);
  });
  if (editor.project().lockFrames != lockFrames) editor.toggleLockFrames();
  editor.discardChanges();
}

TEST(LayerNames, SayWhatEachSlotHolds) {
  FrameRecord r = model::newFrameRecord(96);
  for (int s = 0; s < model::kSlots; ++s) {
    r.text[s].clear();
    r.pictureFile[s].clear();
    r.shapeStyle[s] = 0;
  }
  r.text[0] = "Fresh bread daily";
  r.pictureFile[1] = "/home/ann/art/logo.bmp";
  r.pictureFile[4] = "banner.gif";
  r.shapeStyle[0] = 2;
  r.shapeStyle[1] = 1;
  r.shapeStyle[2] = 7;  // a damaged file: drawn as a rectangle
  EXPECT_EQ(layerName(r, SlotKind::Text, 1).title, "Text String 1");
  EXPECT_EQ(layerName(r, SlotKind::Text, 1).content, "Fresh bread daily");
  EXPECT_EQ(layerName(r, SlotKind::Picture, 2).title, "Picture 2");
  EXPECT_EQ(layerName(r, SlotKind::Picture, 2).content, "logo.bmp");
  EXPECT_EQ(layerName(r, SlotKind::Picture, 5).content, "banner.gif");
  EXPECT_EQ(layerName(r, SlotKind::Shape, 1).content, "Rounded rectangle");
  EXPECT_EQ(layerName(r, SlotKind::Shape, 2).content, "Rectangle");
  EXPECT_EQ(layerName(r, SlotKind::Shape, 3).content, "Rectangle");
  EXPECT_EQ(layerName(r, SlotKind::Shape, 10).title, "Shape 10");
  for (SlotKind kind : {SlotKind::Text, SlotKind::Picture, SlotKind::Shape}) {
    EXPECT_TRUE(layerName(r, kind, 4).empty());
    EXPECT_FALSE(slotInUse(r, kind, 4));
  }
  EXPECT_TRUE(slotInUse(r, SlotKind::Picture, 5));

  // Long and odd texts stay one readable line.
  r.text[2] = "Fresh bread daily, warm rolls every morning at seven";
  const LayerName cut = layerName(r, SlotKind::Text, 3);
  EXPECT_TRUE(cut.shortened);
  EXPECT_EQ(cut.content, "Fresh bread daily, warm rolls") << "cut at a word, without the trailing space";
  r.text[3] = "Abcdefghijklmnopqrstuvwxyzabcdefghijklmnop";
  EXPECT_EQ(layerName(r, SlotKind::Text, 4).content, "Abcdefghijklmnopqrstuvwxyzabcdef") << "no word: cut at the limit";
  r.text[4] = "  two\r\nlines\t here ";
  EXPECT_EQ(layerName(r, SlotKind::Text, 5).content, "two lines here");
  EXPECT_FALSE(layerName(r, SlotKind::Text, 5).shortened);
  r.text[5] = "   ";
  EXPECT_FALSE(layerName(r, SlotKind::Text, 6).empty()) << "spaces are a text in use";
  r.text[6] = std::string(kLayerNameTextLength, 'x');
  EXPECT_FALSE(layerName(r, SlotKind::Text, 7).shortened) << "exactly the limit is not cut";
}

TEST(LayerCopy, CopiesTheWholeSelectedLayerIntoTheChosenFramesAsOneStep) {
  for (SlotKind kind : {SlotKind::Text, SlotKind::Picture, SlotKind::Shape}) {
    Editor editor("/app/", 96);
    makeProject(editor, 4, true);
    editor.selectSlot(SlotKind::Text, 2);
    editor.selectSlot(SlotKind::Picture, 3);
    editor.selectSlot(SlotKind::Shape, 1);
    const std::vector<FrameRecord> before = framesOf(editor);
    const std::size_t undoSteps = editor.undoCount();

    const Change change = copyLayerToFrames(editor, kind, allFrames(editor.project()));
    EXPECT_TRUE(change.applied);
    EXPECT_EQ(editor.undoCount(), undoSteps + 1);
    EXPECT_EQ(editor.undoLabel(), kCopyLayerLabel);
    EXPECT_FALSE(change.frames.test(1)) << "the source frame is already as it is";
    const FrameRecord& source = editor.project().frame(1);
    for (int k = 2; k <= 4; ++k) {
      const FrameRecord& f = editor.project().frame(k);
      EXPECT_TRUE(change.frames.test(static_cast<std::size_t>(k)));
      for (SlotKind other : {SlotKind::Text, SlotKind::Picture, SlotKind::Shape}) {
        const int slot = selectedSlot(editor.project(), other);
        EXPECT_EQ(layerName(f, other, slot).content,
                  other == kind ? layerName(source, other, slot).content : layerName(before[k - 1], other, slot).content);
      }
      if (kind == SlotKind::Text) {
        EXPECT_EQ(f.textX[1], 120) << "the place goes with the layer";
        EXPECT_EQ(f.textureFile[1].str(), "/t/stone.bmp");
        EXPECT_EQ(f.fontSize[1], 30);
        EXPECT_EQ(f.text[0], before[k - 1].text[0]) << "other slots stay";
      } else if (kind == SlotKind::Picture) {
        EXPECT_EQ(f.pictureY[2], 6);
      } else {
        EXPECT_EQ(f.shapeWidth[0], 40);
        EXPECT_EQ(f.shapeFillColor[0], rgb(9, 9, 9));
        EXPECT_EQ(f.shapeFillColor[1], before[k - 1].shapeFillColor[1]);
      }
    }
    editor.undo();
    EXPECT_TRUE(sameBytes(framesOf(editor), before));
    editor.redo();
    EXPECT_EQ(editor.project().frame(3).textX[1], kind == SlotKind::Text ? 120 : 30);
  }
}

TEST(LayerCopy, ReachesOnlyTheFramesAskedForAndIgnoresLockFrames) {
  Editor editor("/app/", 96);
  makeProject(editor, 5, true);
  editor.selectSlot(SlotKind::Text, 2);
  FrameSet frames;
  frames.set(2);
  frames.set(4);
  frames.set(9);  // past the last frame: nothing there to write
  const Change change = copyLayerToFrames(editor, SlotKind::Text, frames);
  EXPECT_EQ(change.frames.count(), 2u);
  EXPECT_EQ(editor.project().frame(2).text[1].str(), "Fresh bread daily");
  EXPECT_EQ(editor.project().frame(4).text[1].str(), "Fresh bread daily");
  EXPECT_EQ(editor.project().frame(3).text[1].str(), "frame 3");
  EXPECT_EQ(editor.project().frame(5).text[1].str(), "frame 5");

  // Copying again changes nothing and records no step.
  const std::size_t steps = editor.undoCount();
  EXPECT_TRUE(copyLayerToFrames(editor, SlotKind::Text, frames).frames.none());
  EXPECT_EQ(editor.undoCount(), steps);
}

TEST(LayerCopy, GoesToTheSelectedFramesWhenSeveralAreSelected) {
  Editor editor("/app/", 96);
  makeProject(editor, 5, true);
  EXPECT_EQ(layerCopyTargets(editor), allFrames(editor.project())) << "one frame selected: every frame";
  EXPECT_EQ(allFrames(editor.project()).count(), 5u);
  FrameSet chosen;
  chosen.set(1);
  chosen.set(3);
  chosen.set(4);
  editor.selectFrames(chosen, 1);
  ASSERT_TRUE(editor.severalFramesSelected());
  EXPECT_EQ(layerCopyTargets(editor), chosen);
  editor.selectSlot(SlotKind::Text, 2);
  copyLayerToFrames(editor, SlotKind::Text, layerCopyTargets(editor));
  EXPECT_EQ(editor.project().frame(3).text[1].str(), "Fresh bread daily");
  EXPECT_EQ(editor.project().frame(4).text[1].str(), "Fresh bread daily");
  EXPECT_EQ(editor.project().frame(2).text[1].str(), "frame 2");

  // Swaps and pastes reach the selected frames too, whatever Lock Frames says.
  const Change swapped = bringForward(editor, SlotKind::Text);
  EXPECT_EQ(swapped.frames.count(), 3u);
  EXPECT_EQ(editor.project().frame(4).text[2].str(), "Fresh bread daily");
  EXPECT_EQ(editor.project().frame(5).text[1].str(), "frame 5");
}

TEST(TextStyles, PasteCarriesTheLookButNotTheTextOrPlace) {
  Editor editor("/app/", 96);
  makeProject(editor, 2, true);
  editor.selectSlot(SlotKind::Text, 2);
  const TextStyle style = copyTextStyle(editor.project());
  EXPECT_EQ(style, TextStyle::of(editor.project().current(), 2));

  editor.selectSlot(SlotKind::Text, 5);
  editor.editFrames(EditScope::CurrentFrame, "text", [](FrameRecord& f) {
    f.text[4] = "Open today";
    f.textX[4] = 7;
    f.textY[4] = 8;
  });
  const std::vector<FrameRecord> before = framesOf(editor);
  EXPECT_FALSE(TextStyle::of(editor.project().current(), 5) == style);
  const Change change = pasteTextStyle(editor, style);
  EXPECT_EQ(editor.undoLabel(), kPasteStyleLabel);
  EXPECT_TRUE(change.frames.test(1));
  EXPECT_FALSE(change.frames.test(2)) << "Lock Frames keeps the paste in the current frame";
  const FrameRecord& f = editor.project().current();
  EXPECT_EQ(TextStyle::of(f, 5), style);
  EXPECT_EQ(f.text[4].str(), "Open today");
  EXPECT_EQ(f.textX[4], 7);
  EXPECT_EQ(f.textY[4], 8);
  EXPECT_EQ(f.fontName[4].str(), "DejaVu Serif");
  EXPECT_EQ(f.fontBold[4], 1);
  EXPECT_EQ(f.viewAngle[4], 225);
  EXPECT_EQ(f.shadowDarkness[4], 90);
  EXPECT_EQ(f.textGradientColor2[4], rgb(7, 8, 9));
  EXPECT_EQ(f.textureFile[4].str(), "/t/stone.bmp");
  editor.undo();
  EXPECT_TRUE(sameBytes(framesOf(editor), before));

  // With Lock Frames off the paste reaches every frame.
  editor.toggleLockFrames();
  EXPECT_EQ(pasteTextStyle(editor, style).frames.count(), 2u);
  EXPECT_EQ(editor.project().frame(2).fontSize[4], 30);
  EXPECT_EQ(editor.project().frame(2).text[4], before[1].text[4]);
}

TEST(LayerOrder, SwappingSlotsMovesTheLayerAndTheSelectionAsOneStep) {
  for (bool lock : {true, false}) {
    Editor editor("/app/", 96);
    makeProject(editor, 3, lock);
    editor.selectSlot(SlotKind::Text, 2);
    const std::vector<FrameRecord> before = framesOf(editor);
    const std::size_t steps = editor.undoCount();

    Change change = bringForward(editor, SlotKind::Text);
    EXPECT_TRUE(change.applied);
    EXPECT_TRUE(change.slotSelectionChanged);
    EXPECT_EQ(editor.project().currentText, 3) << "the selection follows the layer";
    EXPECT_EQ(editor.undoCount(), steps + 1);
    EXPECT_EQ(editor.undoLabel(), kBringForwardLabel);
    const FrameRecord& f = editor.project().frame(1);
    EXPECT_EQ(f.text[2].str(), "Fresh bread daily");
    EXPECT_EQ(f.textX[2], 120);
    EXPECT_EQ(f.textureFile[2].str(), "/t/stone.bmp");
    EXPECT_EQ(f.text[1], before[0].text[2]);
    EXPECT_EQ(f.fontSize[1], before[0].fontSize[2]);
    EXPECT_EQ(editor.project().frame(2).text[2].str(), lock ? "" : "frame 2");
    EXPECT_EQ(change.frames.count(), lock ? 1u : 3u);

    // Undo and redo take the selection along with the layer.
    const std::vector<FrameRecord> after = framesOf(editor);
    EXPECT_TRUE(editor.undo().slotSelectionChanged);
    EXPECT_TRUE(sameBytes(framesOf(editor), before));
    EXPECT_EQ(editor.project().currentText, 2);
    EXPECT_TRUE(editor.redo().slotSelectionChanged);
    EXPECT_TRUE(sameBytes(framesOf(editor), after));
    EXPECT_EQ(editor.project().currentText, 3);

    // Back down again, then undo both: the exact bytes of every frame.
    sendBackward(editor, SlotKind::Text);
    EXPECT_EQ(editor.project().currentText, 2);
    EXPECT_TRUE(sameBytes(framesOf(editor), before));
    editor.undo();
    EXPECT_EQ(editor.project().currentText, 3);
    editor.undo();
    EXPECT_EQ(editor.project().currentText, 2);
    EXPECT_TRUE(sameBytes(framesOf(editor), before));
    EXPECT_EQ(editor.undoCount(), steps);
  }
}

TEST(LayerOrder, PicturesAndShapesSwapTooAndTheEndsAreRefused) {
  Editor editor("/app/", 96);
  makeProject(editor, 1, true);
  editor.selectSlot(SlotKind::Picture, 3);
  sendBackward(editor, SlotKind::Picture);
  EXPECT_EQ(editor.project().current().pictureFile[1].str(), "/home/ann/art/logo.bmp");
  EXPECT_EQ(editor.project().current().pictureX[1], 5);
  EXPECT_TRUE(editor.project().current().pictureFile[2].empty());
  EXPECT_EQ(editor.project().currentPicture, 2);

  editor.selectSlot(SlotKind::Shape, 1);
  EXPECT_FALSE(sendBackward(editor, SlotKind::Shape).applied) << "nothing lies under slot 1";
  bringForward(editor, SlotKind::Shape);
  EXPECT_EQ(editor.project().current().shapeStyle[1], 2);
  EXPECT_EQ(editor.project().current().shapeStyle[0], 0);
  EXPECT_EQ(editor.project().currentShape, 2);

  editor.selectSlot(SlotKind::Text, 10);
  EXPECT_FALSE(bringForward(editor, SlotKind::Text).applied) << "nothing lies over slot 10";
  EXPECT_EQ(editor.project().currentText, 10);

  // Two empty slots: nothing to move, the selection stays.
  editor.selectSlot(SlotKind::Picture, 7);
  const std::size_t steps = editor.undoCount();
  EXPECT_TRUE(bringForward(editor, SlotKind::Picture).frames.none());
  EXPECT_EQ(editor.project().currentPicture, 7);
  EXPECT_EQ(editor.undoCount(), steps);
}

}  // namespace
}  // namespace zefra::editor
