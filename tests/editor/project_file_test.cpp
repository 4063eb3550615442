// Opening, drawing and saving a project leaves it as the file had it; the undo history
// stays within its byte limit.
#include "editor/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "editor/editor.h"
#include "io/lbl_test_files.h"
#include "render/frame_canvas.h"
#include "render/text_layer_renderer.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;

std::vector<fs::path> demoProjects() {
  std::vector<fs::path> found;
  const fs::path demo = fs::path(ZEFRA_SOURCE_DIR) / "demo";
  if (!fs::is_directory(demo)) return found;
  for (const auto& entry : fs::directory_iterator(demo)) {
    if (entry.path().extension() == ".lbl") found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

bool sameRecords(const model::LabelProject& a, const model::LabelProject& b) {
  return a.frameCount == b.frameCount &&
         std::memcmp(a.records.data(), b.records.data(), sizeof(model::FrameRecord) * a.frameCount) == 0 &&
         a.settings == b.settings;
}

// The demos keep their pictures beside them under relative names: drawing finds them
// there, and neither drawing nor saving again turns them into other names.
TEST(ProjectFile, EveryDemoDrawsAndSavesBackToTheSameBytes) {
  const std::vector<fs::path> demos = demoProjects();
  if (demos.empty()) GTEST_SKIP() << "no sample projects in the source tree";
  TempDir copy;
  fs::copy(fs::path(ZEFRA_SOURCE_DIR) / "demo", copy.path, fs::copy_options::recursive);
  int picturesFoundBeside = 0;
  for (const fs::path& original : demos) {
    SCOPED_TRACE(original.filename().string());
    const fs::path path = copy.path / original.filename();
    const std::vector<std::uint8_t> before = readBytes(path);
    Editor editor("/nonexistent-program-folder/", 96);
    ASSERT_TRUE(editor.load(path).ok);
    const auto loaded = std::make_unique<model::LabelProject>(editor.project());

    render::TextLayerRenderer texts(96);
    render::FrameCanvas canvas(render::canvasSettingsFor(editor.project()));
    canvas.setTextLayerPainter(&texts);
    EXPECT_EQ(canvas.settings().projectDir, copy.path.string());
    for (int k = 1; k <= editor.project().frameCount; ++k) {
      const render::LayoutReport report = canvas.draw(editor.project().frame(k));
      for (const std::string& file : report.pictureFiles) picturesFoundBeside += file.empty() ? 0 : 1;
    }
    EXPECT_TRUE(sameRecords(*loaded, editor.project())) << "drawing wrote into the project";
    EXPECT_FALSE(editor.modified());

    ASSERT_TRUE(editor.save().ok);
    EXPECT_EQ(readBytes(path), before);
  }
  EXPECT_GT(picturesFoundBeside, 0) << "some demo shows a picture kept beside it";
}

TEST(ProjectFile, OpeningSetsTheFileAndSelectsTheFirstFrameAndSlots) {
  const std::vector<fs::path> demos = demoProjects();
  if (demos.empty()) GTEST_SKIP() << "no sample projects in the source tree";
  auto project = std::make_unique<model::LabelProject>();
  project->currentFrame = 9;
  project->currentShape = 4;
  const io::LblReadResult read = openProjectFile(demos.front(), *project);
  EXPECT_EQ(read.format, io::LblFormat::Lb1);
  EXPECT_EQ(project->currentFrame, 1);
  EXPECT_EQ(project->currentShape, 1);
  EXPECT_EQ(project->fileName.str(), demos.front().string());
  EXPECT_EQ(project->projectDir.str(), demos.front().parent_path().string());
}

TEST(UndoHistory, BoundedByBytesOldestStepsFirst) {
  Editor editor("/app/", 96);
  while (editor.project().frameCount < model::kMaxFrames) editor.insertFrame();
  editor.toggleLockFrames();  // off: every edit holds two records of each of 127 frames
  const int edits = 40;
  for (int i = 1; i <= edits; ++i) {
    editor.setField(Field::FrameColor, rgb(static_cast<std::uint8_t>(i), 0, 0));
    editor.closeMerge();
  }
  EXPECT_LE(editor.undoBytes(), Editor::kUndoByteLimit);
  const std::size_t kept = editor.undoCount();
  EXPECT_LT(kept, static_cast<std::size_t>(edits));
  EXPECT_GT(kept, 10u);
  // Undoing everything that is left reaches the colour of the oldest kept edit's
  // predecessor: the steps that went were the oldest.
  while (editor.canUndo()) editor.undo();
  const auto oldestGone = static_cast<std::uint8_t>(edits - kept);
  EXPECT_EQ(editor.project().frame(1).frameColor, rgb(oldestGone, 0, 0));
  EXPECT_EQ(editor.project().frame(127).frameColor, rgb(oldestGone, 0, 0));
  EXPECT_EQ(editor.undoBytes(), 0u);
}

TEST(UndoHistory, BoundedByCountToo) {
  Editor editor("/app/", 96);
  for (int i = 0; i < 250; ++i) {
    editor.setField(Field::Delay, 100 + i);
    editor.closeMerge();
  }
  EXPECT_EQ(editor.undoCount(), Editor::kUndoLimit);
}

}  // namespace
}  // namespace zefra::editor
