// New, load, save and Save as through the editor: titles, the modified flag, the
// messages, and saving that never destroys the previous file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "editor/editor.h"
#include "io/lbl_test_files.h"

namespace zefra::editor {
namespace {

using model::FrameRecord;
using testing::readBytes;
using testing::TempDir;
using testing::V102Frame;
using testing::v102File;
using testing::writeBytes;

TEST(EditorMessages, TextsAreTheProgramsOwn) {
  EXPECT_EQ(readErrorMessage("/x/y.lbl"), "Error reading the file /x/y.lbl");
  EXPECT_EQ(saveQuestion("untitled.lbl"), "Project untitled.lbl has been modified. Save it?");
}

TEST(EditorNew, StartsUntitledAndKeepsTheFileName) {
  TempDir dir;
  Editor editor(dir.path.string() + "/", 120);
  EXPECT_EQ(editor.caption(), "untitled.lbl");
  EXPECT_FALSE(editor.saveEnabled());
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.project().settings.designDpi, 120);
  EXPECT_FALSE(editor.save().ok) << "Save needs a file name";

  ASSERT_TRUE(editor.saveAs(dir / "a.lbl").ok);
  EXPECT_EQ(editor.caption(), "a.lbl");
  EXPECT_TRUE(editor.saveEnabled());
  editor.insertFrame();
  const Change change = editor.newProject();
  EXPECT_TRUE(change.projectReplaced);
  EXPECT_EQ(editor.caption(), "untitled.lbl");
  EXPECT_FALSE(editor.saveEnabled());
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.project().frameCount, 1);
  EXPECT_EQ(editor.project().fileName.view(), (dir / "a.lbl").string()) << "Save as proposes it";
}

TEST(EditorLoad, ReadsAProjectBackAsSaved) {
  TempDir dir;
  Editor writer("/nowhere/", 96);
  writer.insertFrame();
  writer.insertFrame();
  writer.editFrames(EditScope::CurrentFrame, "Text", [](FrameRecord& f) { f.text[4] = "Zefra"; });
  writer.editSettings("Palette", [](model::ProjectSettings& s) { s.paletteKind = 1; });
  ASSERT_TRUE(writer.saveAs(dir / "three.lbl").ok);
  EXPECT_FALSE(writer.modified());

  Editor reader("/nowhere/", 96);
  reader.toggleLockFrames();
  reader.insertFrame();
  const LoadResult result = reader.load(dir / "three.lbl");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_TRUE(result.warning.empty());
  EXPECT_TRUE(result.change.projectReplaced);
  EXPECT_EQ(reader.project().frameCount, 3);
  EXPECT_EQ(reader.project().currentFrame, 1);
  EXPECT_EQ(reader.project().frame(3).text[4].view(), "Zefra");
  EXPECT_EQ(reader.project().settings.paletteKind, 1);
  EXPECT_EQ(reader.caption(), "three.lbl");
  EXPECT_TRUE(reader.saveEnabled());
  EXPECT_FALSE(reader.modified());
  EXPECT_FALSE(reader.canUndo());
  EXPECT_FALSE(reader.project().lockFrames) << "loading leaves Lock Frames as it was";
  EXPECT_EQ(reader.project().fileName.view(), (dir / "three.lbl").string());
  EXPECT_EQ(reader.project().projectDir.view(), dir.path.string());
  for (int k = 1; k <= 3; ++k)
    EXPECT_EQ(std::memcmp(&reader.project().frame(k), &writer.project().frame(k), sizeof(FrameRecord)), 0);
}

TEST(EditorLoad, FailureReportsThePathAndStartsANewProject) {
  TempDir dir;
  writeBytes(dir / "junk.lbl", {0x05, 0x4C, 0x42, 0x58, 0, 0, 0});
  Editor editor("/app/", 96);
  ASSERT_TRUE(editor.saveAs(dir / "good.lbl").ok);
  editor.insertFrame();
  const LoadResult result = editor.load(dir / "junk.lbl");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "Error reading the file " + (dir / "junk.lbl").string());
  EXPECT_TRUE(result.change.projectReplaced);
  EXPECT_EQ(editor.project().frameCount, 1);
  EXPECT_EQ(editor.project().frame(1).width, 468);
  EXPECT_EQ(editor.caption(), "untitled.lbl");
  EXPECT_FALSE(editor.saveEnabled());
  EXPECT_FALSE(editor.modified());
  EXPECT_FALSE(editor.canUndo()) << "the insert before the failed load is gone with its project";
}

TEST(EditorLoad, OldFormatWarnsAndKeepsTheDesignDpi) {
  TempDir dir;
  writeBytes(dir / "old.lbl", v102File({V102Frame().delay(70).size(200, 30).text(1, "Hi"), V102Frame().delay(90)}));
  Editor editor("/app/", 144);
  const LoadResult result = editor.load(dir / "old.lbl");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.format, io::LblFormat::V102);
  EXPECT_EQ(result.warning,
            "The file old.lbl has been created with Zefra 1.02. Probably, it will be displayed with some distortions.");
  EXPECT_EQ(editor.project().frameCount, 2);
  EXPECT_EQ(editor.project().frame(2).delayMs, 90);
  EXPECT_EQ(editor.project().frame(1).text[0].view(), "Hi");
  EXPECT_EQ(editor.project().settings.designDpi, 144) << "the new project's DPI, never zero";
}

TEST(EditorSave, PathsInsideTheProgramFolderAreStoredRelative) {
  TempDir dir;
  const std::string appDir = dir.path.string() + "/";
  Editor editor(appDir, 96);
  editor.editFrames(EditScope::CurrentFrame, "Picture", [&](FrameRecord& f) {
    f.pictureFile[0] = appDir + "Demo/logo.gif";
    f.textureFile[1] = "/elsewhere/wood.bmp";
  });
  ASSERT_TRUE(editor.saveAs(dir / "p.lbl").ok);
  const auto bytes = readBytes(dir / "p.lbl");
  ASSERT_EQ(bytes.size(), model::kFrameRecordSize);
  const auto* record = reinterpret_cast<const FrameRecord*>(bytes.data());
  EXPECT_EQ(record->pictureFile[0].view(), "Demo/logo.gif");
  EXPECT_EQ(record->textureFile[1].view(), "/elsewhere/wood.bmp");
  EXPECT_EQ(editor.project().frame(1).pictureFile[0].view(), "Demo/logo.gif") << "shortened in place";
}

TEST(EditorSave, PathsLongerThan255BytesAreKeptWhole) {
  TempDir dir;
  std::filesystem::path deep = dir.path;
  for (int i = 0; i < 6; ++i) deep /= std::string(60, static_cast<char>('a' + i));
  std::filesystem::create_directories(deep);
  const auto file = deep / "long.lbl";
  ASSERT_GT(file.string().size(), 255u);
  Editor editor("/app/", 96);
  ASSERT_TRUE(editor.saveAs(file).ok);
  editor.insertFrame();
  ASSERT_TRUE(editor.save().ok);
  EXPECT_EQ(std::filesystem::file_size(file), 2 * model::kFrameRecordSize);
  Editor reader("/app/", 96);
  ASSERT_TRUE(reader.load(file).ok);
  EXPECT_EQ(reader.project().fileName.str(), file.string());
  EXPECT_EQ(reader.project().projectDir.str(), deep.string());
}

TEST(EditorSave, SaveAsIntoAMissingFolderFailsAndKeepsTheTitle) {
  TempDir dir;
  Editor editor("/app/", 96);
  ASSERT_TRUE(editor.saveAs(dir / "first.lbl").ok);
  editor.insertFrame();
  const SaveResult result = editor.saveAs(dir / "missing" / "second.lbl");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("No such file or directory"), std::string::npos) << result.error;
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(editor.caption(), "first.lbl");
  EXPECT_EQ(editor.project().fileName.view(), (dir / "first.lbl").string());
}

// A disk that fills up during Save: the previous project file stays whole and the
// project stays modified. The limit is set in a child process.
TEST(EditorSave, FailedWriteLeavesThePreviousFileAndModified) {
  TempDir dir;
  Editor editor("/app/", 96);
  ASSERT_TRUE(editor.saveAs(dir / "p.lbl").ok);
  const auto previous = readBytes(dir / "p.lbl");
  for (int i = 0; i < 20; ++i) editor.insertFrame();
  ASSERT_TRUE(editor.modified());

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{50000, 50000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const SaveResult result = editor.save();
    const bool reported = !result.ok && result.error.find("File too large") != std::string::npos;
    ::_exit(reported && editor.modified() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure must be reported and modified kept";
  EXPECT_EQ(readBytes(dir / "p.lbl"), previous);

  ASSERT_TRUE(editor.save().ok);
  EXPECT_EQ(std::filesystem::file_size(dir / "p.lbl"), 21 * model::kFrameRecordSize);
  EXPECT_FALSE(editor.modified());
}

}  // namespace
}  // namespace zefra::editor
