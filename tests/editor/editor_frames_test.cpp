// Frame commands of the editor: Insert, Delete, Reverse, navigation, the frame limits,
// Lock Frames, the modified rules and undo/redo of each.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "io/lbl_test_files.h"
#include "editor/frame_marks.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;

// A project of `count` frames, frame k marked by delay k * 10, then frame 1 current.
void makeFrames(Editor& editor, int count) {
  editor.newProject();
  for (int k = 1; k < count; ++k) ASSERT_TRUE(editor.insertFrame().applied);
  for (int k = 1; k <= count; ++k) {
    editor.goToFrame(k);
    editor.editFrames(EditScope::CurrentFrame, "Delay",
                      [k](FrameRecord& f) { f.delayMs = static_cast<std::int16_t>(k * 10); });
  }
  editor.firstFrame();
}

TEST(EditorInsert, CopiesTheCurrentFrameRightAfterIt) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3);
  editor.goToFrame(2);
  editor.discardChanges();
  const Change change = editor.insertFrame();
  EXPECT_TRUE(change.applied);
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 2, 3}));
  EXPECT_EQ(editor.project().currentFrame, 3);
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{3, 4}));
  EXPECT_TRUE(change.frameCountChanged);
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(std::memcmp(&editor.project().frame(2), &editor.project().frame(3), sizeof(FrameRecord)), 0);
}

TEST(EditorInsert, StopsAt127FramesWithTheMessage) {
  Editor editor("/app/", 96);
  makeFrames(editor, 126);
  editor.lastFrame();
  ASSERT_TRUE(editor.insertFrame().applied);
  EXPECT_EQ(editor.project().frameCount, 127);
  EXPECT_EQ(editor.project().currentFrame, 127);
  EXPECT_EQ(editor.project().frame(126).delayMs, 1260);
  EXPECT_EQ(editor.project().frame(127).delayMs, 1260);

  editor.discardChanges();
  editor.goToFrame(5);
  const Change refused = editor.insertFrame();
  EXPECT_FALSE(refused.applied);
  EXPECT_EQ(refused.message, "Maximal numbers of frames is 127.");
  EXPECT_EQ(editor.project().frameCount, 127);
  EXPECT_EQ(editor.project().currentFrame, 5);
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), "Insert Frame") << "a refused command records no step";
}

TEST(EditorDelete, FollowingFrameTakesThePlace) {
  Editor editor("/app/", 96);
  makeFrames(editor, 5);
  editor.goToFrame(3);
  const Change change = editor.deleteFrame();
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 4, 5}));
  EXPECT_EQ(editor.project().currentFrame, 3);
  EXPECT_EQ(editor.project().current().delayMs, 40);
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{3, 4}));
}

TEST(EditorDelete, LastFrameCurrentMovesToTheNewLast) {
  Editor editor("/app/", 96);
  makeFrames(editor, 4);
  editor.lastFrame();
  editor.deleteFrame();
  EXPECT_EQ(order(editor), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(editor.project().currentFrame, 3);
}

TEST(EditorDelete, TheOnlyFrameCannotBeDeleted) {
  Editor editor("/app/", 96);
  const Change refused = editor.deleteFrame();
  EXPECT_FALSE(refused.applied);
  EXPECT_EQ(refused.message, "Could not delete this frame.");
  EXPECT_EQ(editor.project().frameCount, 1);
  EXPECT_FALSE(editor.modified());
  EXPECT_FALSE(editor.canUndo());
}

TEST(EditorReverse, MirrorsTheOrderAndKeepsTheProjectSettings) {
  Editor editor("/app/", 96);
  makeFrames(editor, 4);
  editor.editSettings("Palette", [](model::ProjectSettings& s) {
    s.transparent = 1;
    s.transparentColor = 0x00010203;
    s.paletteKind = 2;
    s.colorCountIndex = 3;
  });
  const model::ProjectSettings before = editor.project().settings;
  editor.goToFrame(2);
  editor.discardChanges();
  editor.reverseFrames();
  EXPECT_EQ(order(editor), (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(editor.project().currentFrame, 2);
  EXPECT_EQ(editor.project().current().delayMs, 30);
  EXPECT_EQ(editor.project().settings, before);
  EXPECT_EQ(editor.project().settings.designDpi, 96);
  EXPECT_FALSE(editor.modified());

  makeFrames(editor, 5);
  const Change change = editor.reverseFrames();
  EXPECT_EQ(order(editor), (std::vector<int>{5, 4, 3, 2, 1}));
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{1, 2, 4, 5})) << "the middle frame is not moved";
}

TEST(EditorNavigation, WrapsAroundAndNeverMarksModified) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3);
  editor.discardChanges();
  editor.lastFrame();
  EXPECT_EQ(editor.project().currentFrame, 3);
  EXPECT_TRUE(editor.nextFrame().currentFrameChanged);
  EXPECT_EQ(editor.project().currentFrame, 1);
  editor.previousFrame();
  EXPECT_EQ(editor.project().currentFrame, 3);
  editor.previousFrame();
  EXPECT_EQ(editor.project().currentFrame, 2);
  editor.firstFrame();
  EXPECT_EQ(editor.project().currentFrame, 1);
  editor.goToFrame(99);
  EXPECT_EQ(editor.project().currentFrame, 3);
  EXPECT_FALSE(editor.modified());

  editor.newProject();
  EXPECT_FALSE(editor.nextFrame().currentFrameChanged);
  EXPECT_EQ(editor.project().currentFrame, 1);
  editor.previousFrame();
  EXPECT_EQ(editor.project().currentFrame, 1);
}

// Whatever record moves into position 1, the project keeps its own settings, also in
// the saved file.
TEST(EditorProjectSettings, StayWithTheProjectWhenFrameOneMoves) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3);
  editor.editSettings("Transparency", [](model::ProjectSettings& s) {
    s.transparent = 1;
    s.transparentColor = 0x00ABCDEF;
    s.paletteKind = 1;
    s.colorCountIndex = 2;
  });
  const model::ProjectSettings settings = editor.project().settings;
  // Record 2's frame-1-only bytes hold something else; deleting frame 1 brings it forward.
  editor.goToFrame(2);
  editor.editFrames(EditScope::CurrentFrame, "garbage", [](FrameRecord& f) {
    f.transparent = 0;
    f.paletteKind = 0;
    f.colorCountIndex = 5;
    f.designDpi = 1;
  });
  editor.firstFrame();
  editor.deleteFrame();
  EXPECT_EQ(order(editor), (std::vector<int>{2, 3}));
  EXPECT_EQ(editor.project().settings, settings);
  editor.insertFrame();  // frame 1 duplicated: still the same settings
  editor.reverseFrames();
  EXPECT_EQ(editor.project().settings, settings);

  testing::TempDir dir;
  ASSERT_TRUE(editor.saveAs(dir / "moved.lbl").ok);
  Editor reader("/app/", 72);
  ASSERT_TRUE(reader.load(dir / "moved.lbl").ok);
  EXPECT_EQ(reader.project().settings, settings);
  EXPECT_EQ(reader.project().settings.designDpi, 96);
}

TEST(EditorLockFrames, DecidesHowFarAnEditReaches) {
  Editor editor("/app/", 96);
  makeFrames(editor, 3);
  EXPECT_TRUE(editor.project().lockFrames) << "New switches Lock Frames on";
  editor.goToFrame(2);
  Change change = editor.editFrames(EditScope::FollowLock, "Colour", [](FrameRecord& f) { f.frameColor = 0x1234; });
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{2}));
  EXPECT_EQ(editor.project().frame(1).frameColor, model::kNewFrameColor);
  EXPECT_EQ(editor.project().frame(3).frameColor, model::kNewFrameColor);

  EXPECT_FALSE(editor.toggleLockFrames());
  change = editor.editFrames(EditScope::FollowLock, "Colour", [](FrameRecord& f) { f.frameColor = 0x5678; });
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{1, 2, 3}));
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(editor.project().frame(k).frameColor, 0x5678u);

  EXPECT_TRUE(editor.toggleLockFrames());
  change = editor.editFrames(EditScope::AllFrames, "Size", [](FrameRecord& f) { f.width = 200; });
  EXPECT_EQ(frameList(change.frames), (std::vector<int>{1, 2, 3}));

  // New turns it on again.
  editor.toggleLockFrames();
  editor.newProject();
  EXPECT_TRUE(editor.project().lockFrames);
}

TEST(EditorEdits, UnchangedValuesChangeNothing) {
  Editor editor("/app/", 96);
  const Change change = editor.editFrames(EditScope::AllFrames, "Same", [](FrameRecord& f) { f.delayMs = 100; });
  EXPECT_TRUE(change.frames.none());
  EXPECT_FALSE(editor.modified());
  EXPECT_FALSE(editor.canUndo());
}

class EditorUndo : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> snapshot() const {
    const auto& p = editor.project();
    std::vector<std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(p.records.data()),
                                    reinterpret_cast<const std::uint8_t*>(p.records.data()) +
                                        sizeof(FrameRecord) * p.frameCount);
    bytes.push_back(p.frameCount);
    bytes.push_back(p.currentFrame);
    return bytes;
  }

  Editor editor{"/app/", 96};
};

TEST_F(EditorUndo, EveryFrameCommandUndoesAndRedoesExactly) {
  makeFrames(editor, 5);
  editor.goToFrame(2);
  for (auto command : {&Editor::insertFrame, &Editor::deleteFrame, &Editor::reverseFrames}) {
    for (int current : {1, 3, 5}) {
      makeFrames(editor, 5);
      editor.goToFrame(current);
      const auto before = snapshot();
      ASSERT_TRUE((editor.*command)().applied);
      const auto after = snapshot();
      ASSERT_NE(before, after);
      editor.undo();
      EXPECT_EQ(snapshot(), before) << "current " << current;
      editor.redo();
      EXPECT_EQ(snapshot(), after) << "current " << current;
    }
  }
}

TEST_F(EditorUndo, FieldEditsAndSettingsComeBack) {
  makeFrames(editor, 3);
  editor.toggleLockFrames();
  const auto before = snapshot();
  editor.editFrames(EditScope::FollowLock, "Text", [](FrameRecord& f) { f.text[2] = "Hello"; });
  editor.editSettings("Palette", [](model::ProjectSettings& s) { s.paletteKind = 2; });
  EXPECT_EQ(editor.undoLabel(), "Palette");
  editor.undo();
  EXPECT_EQ(editor.project().settings.paletteKind, 0);
  EXPECT_EQ(editor.undoLabel(), "Text");
  editor.undo();
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(editor.redoLabel(), "Text");
  editor.redo();
  EXPECT_EQ(editor.project().frame(3).text[2].view(), "Hello");
  // A new edit drops what could be redone.
  editor.editFrames(EditScope::CurrentFrame, "Move", [](FrameRecord& f) { f.textX[0] = 5; });
  EXPECT_FALSE(editor.canRedo());
}

TEST_F(EditorUndo, ADragMergesIntoOneStep) {
  const auto before = snapshot();
  for (int x = 1; x <= 10; ++x)
    editor.editFrames(EditScope::CurrentFrame, "Move Text", [x](FrameRecord& f) { f.textX[0] = static_cast<std::int16_t>(x); }, 7);
  editor.closeMerge();
  editor.editFrames(EditScope::CurrentFrame, "Move Text", [](FrameRecord& f) { f.textX[0] = 50; }, 7);
  editor.undo();
  EXPECT_EQ(editor.project().frame(1).textX[0], 10);
  editor.undo();
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(editor.canUndo());
}

TEST_F(EditorUndo, NewProjectForgetsTheHistory) {
  editor.insertFrame();
  editor.newProject();
  EXPECT_FALSE(editor.canUndo());
  EXPECT_FALSE(editor.undo().applied);
}

}  // namespace
}  // namespace zefra::editor
