// Recovery copies: where they go, what the sidecar keeps, which copies are offered (only
// those of editors that are gone, each to one editor at a time), and opening one as the
// project it was taken from without ever touching the user's own file.
#include "editor/recovery_store.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>

#include "editor/editor.h"
#include "io/lbl_test_files.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using model::FrameRecord;
using testing::readBytes;
using testing::TempDir;

// An edited, saved and then further edited project: what a user has open when the
// editor dies. Picture 1 and a texture are used by both frames, picture 2 by the second.
std::unique_ptr<Editor> editedProject(const TempDir& dir) {
  auto editor = std::make_unique<Editor>("/nowhere/", 96);
  editor->editFrames(EditScope::AllFrames, "Set up", [](FrameRecord& r) {
    r.pictureFile[0].assign("logo.bmp");
    r.textureFile[2].assign("/usr/share/tex/marble.bmp");
  });
  editor->insertFrame();
  editor->editFrames(EditScope::CurrentFrame, "Picture", [](FrameRecord& r) { r.pictureFile[1].assign("star.gif"); });
  EXPECT_TRUE(editor->saveAs(dir / "banner.lbl").ok);
  editor->editFrames(EditScope::CurrentFrame, "Text", [](FrameRecord& r) { r.text[0].assign("Unsaved"); });
  return editor;
}

bool sameFrames(const model::LabelProject& a, const model::LabelProject& b) {
  return a.frameCount == b.frameCount &&
         std::memcmp(a.records.data(), b.records.data(), sizeof(FrameRecord) * a.frameCount) == 0;
}

TEST(RecoveryFolder, FollowsTheDataFolderOfTheUser) {
  EXPECT_EQ(recoveryFolder("/data", "/home/u"), fs::path("/data/zefra/recovery"));
  EXPECT_EQ(recoveryFolder(nullptr, "/home/u"), fs::path("/home/u/.local/share/zefra/recovery"));
  EXPECT_EQ(recoveryFolder("", "/home/u"), fs::path("/home/u/.local/share/zefra/recovery"));
  EXPECT_EQ(recoveryFolder("relative/data", "/home/u"), fs::path("/home/u/.local/share/zefra/recovery"))
      << "a relative XDG_DATA_HOME is ignored";
  EXPECT_TRUE(recoveryFolder(nullptr, nullptr).empty());
}

TEST(RecoveryInfoText, KeepsAnyPathAndRefusesWhatIsNotASidecar) {
  RecoveryInfo info;
  info.originalPath = "/home/u/odd \\ name\nwith a line break.lbl";
  info.savedAt = 1'765'000'000;
  info.frames = 12;
  info.pictures = {"a.bmp", "sub dir\\b\nc.gif", ""};
  RecoveryInfo back;
  ASSERT_TRUE(parseRecoveryInfo(formatRecoveryInfo(info), back));
  EXPECT_EQ(back.originalPath, info.originalPath);
  EXPECT_EQ(back.savedAt, info.savedAt);
  EXPECT_EQ(back.frames, 12);
  EXPECT_EQ(back.pictures, info.pictures);

  EXPECT_FALSE(parseRecoveryInfo("", back));
  EXPECT_FALSE(parseRecoveryInfo("zefra-recovery 1\nsaved 5\n", back)) << "no original path";
  EXPECT_FALSE(parseRecoveryInfo("zefra-recovery 1\noriginal x\nsaved soon\n", back));
  EXPECT_FALSE(parseRecoveryInfo("something else\noriginal x\n", back));
  ASSERT_TRUE(parseRecoveryInfo("zefra-recovery 1\noriginal \nlater-key 7\nframes 3", back));
  EXPECT_EQ(back.originalPath, "");
  EXPECT_EQ(back.frames, 3);
}

TEST(RecoveryStore, WritesACopyBesideNothingOfTheUsersAndLeavesTheProjectAlone) {
  TempDir dir;
  const auto editor = editedProject(dir);
  const std::vector<std::uint8_t> saved = readBytes(dir / "banner.lbl");
  const auto before = std::make_unique<model::LabelProject>(editor->project());

  RecoveryStore store(dir / "data" / "recovery", "zefra-1-2");
  EXPECT_FALSE(store.hasCopy());
  store.write(editor->project(), 1'765'000'123);
  EXPECT_TRUE(store.hasCopy());
  EXPECT_EQ(store.projectPath(), dir / "data" / "recovery" / "zefra-1-2.lbl");
  EXPECT_EQ(fs::status(store.folder()).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(readBytes(dir / "banner.lbl"), saved) << "the user's file is never written";
  EXPECT_TRUE(sameFrames(editor->project(), *before));
  EXPECT_EQ(editor->project().fileName, before->fileName);
  EXPECT_TRUE(editor->modified());

  Editor reader("/nowhere/", 96);
  ASSERT_TRUE(reader.load(store.projectPath()).ok);
  EXPECT_TRUE(sameFrames(reader.project(), editor->project()));

  store.remove();
  EXPECT_FALSE(store.hasCopy());
  EXPECT_TRUE(fs::is_empty(store.folder())) << "project, sidecar and lock all go";
  store.remove();  // nothing left to remove
}

TEST(RecoveryStore, NeverWritesOverTheProjectsOwnFile) {
  TempDir dir;
  Editor editor("/nowhere/", 96);
  // A project saved in the recovery folder under the very name of this process's copy.
  ASSERT_TRUE(editor.saveAs(dir / "zefra-5-6.lbl").ok);
  const std::vector<std::uint8_t> saved = readBytes(dir / "zefra-5-6.lbl");
  editor.insertFrame();
  RecoveryStore store(dir.path, "zefra-5-6");
  EXPECT_THROW(store.write(editor.project(), 1), std::invalid_argument);
  EXPECT_EQ(readBytes(dir / "zefra-5-6.lbl"), saved);
  EXPECT_FALSE(store.hasCopy());
}

TEST(RecoveryStore, OffersOnlyCopiesOfEditorsThatAreGoneEachToOneEditor) {
  TempDir dir;
  const auto editor = editedProject(dir);
  const fs::path folder = dir / "recovery";
  auto running = std::make_unique<RecoveryStore>(folder, "zefra-10-1");
  running->write(editor->project(), 1000);
  RecoveryStore other(folder, "zefra-11-1");
  other.write(editor->project(), 2000);
  RecoveryStore third(folder, "zefra-12-1");

  EXPECT_TRUE(third.orphanedCopies().empty()) << "both editors still run";
  EXPECT_TRUE(other.orphanedCopies().empty()) << "its own copy is never offered to an editor";

  running.reset();  // the editor ends without removing its copy, as a killed one does
  std::vector<RecoveryCopy> offered = third.orphanedCopies();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].name, "zefra-10-1");
  EXPECT_EQ(offered[0].project, folder / "zefra-10-1.lbl");
  EXPECT_EQ(offered[0].info.originalPath, (dir / "banner.lbl").string());
  EXPECT_EQ(offered[0].info.savedAt, 1000);
  EXPECT_EQ(offered[0].info.frames, 2);
  EXPECT_EQ(offered[0].info.pictures,
            (std::vector<std::string>{"logo.bmp", "/usr/share/tex/marble.bmp", "star.gif"}));

  // While one editor offers it, another one started at the same time does not.
  EXPECT_TRUE(other.orphanedCopies().empty());
  offered.clear();
  EXPECT_EQ(other.orphanedCopies().size(), 1u) << "the claim ends with the offer";

  std::vector<RecoveryCopy> again = third.orphanedCopies();
  ASSERT_EQ(again.size(), 1u);
  third.discard(again[0]);
  again.clear();
  EXPECT_TRUE(third.orphanedCopies().empty());
  EXPECT_FALSE(fs::exists(folder / "zefra-10-1.lbl"));
  EXPECT_FALSE(fs::exists(folder / "zefra-10-1.info"));
  EXPECT_FALSE(fs::exists(folder / "zefra-10-1.lock"));
  EXPECT_TRUE(fs::exists(folder / "zefra-11-1.lbl")) << "the running editor's copy stays";
}

TEST(RecoveryStore, AKilledProcessLeavesItsCopyForTheNextEditor) {
  TempDir dir;
  const auto editor = editedProject(dir);
  const fs::path folder = dir / "recovery";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecoveryStore store(folder);
    store.write(editor->project(), 3000);
    ::raise(SIGKILL);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));

  RecoveryStore next(folder);
  const std::vector<RecoveryCopy> offered = next.orphanedCopies();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_TRUE(offered[0].name.starts_with("zefra-" + std::to_string(child) + "-")) << offered[0].name;
  EXPECT_NE(offered[0].name, next.projectPath().stem().string()) << "each process has a name of its own";
  const std::string later = RecoveryStore::uniqueCopyName();
  EXPECT_NE(later, RecoveryStore::uniqueCopyName()) << "and each store in it";
  EXPECT_TRUE(later.starts_with("zefra-" + std::to_string(::getpid()) + "-")) << later;
  EXPECT_EQ(offered[0].info.savedAt, 3000);
}

TEST(RecoveryStore, CleansCopiesCutShortAndOffersOnesWithADamagedSidecar) {
  TempDir dir;
  const auto editor = editedProject(dir);
  {
    RecoveryStore a(dir.path, "zefra-20-1");
    a.write(editor->project(), 1);
    RecoveryStore b(dir.path, "zefra-21-1");
    b.write(editor->project(), 2);
  }
  fs::remove(dir / "zefra-20-1.lbl");  // died between the sidecar and the project
  std::ofstream(dir / "zefra-21-1.info", std::ios::trunc) << "garbage";
  RecoveryStore next(dir.path, "zefra-22-1");
  const std::vector<RecoveryCopy> offered = next.orphanedCopies();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].name, "zefra-21-1");
  EXPECT_EQ(offered[0].info.originalPath, "") << "offered as never saved";
  EXPECT_GT(offered[0].info.savedAt, 0) << "dated by its file";
  EXPECT_FALSE(fs::exists(dir / "zefra-20-1.info"));
  EXPECT_FALSE(fs::exists(dir / "zefra-20-1.lock"));
}

TEST(EditorRecover, OpensTheCopyAsTheModifiedOriginalAndSaveWritesThere) {
  TempDir dir;
  const auto editor = editedProject(dir);
  RecoveryStore store(dir / "recovery", "zefra-30-1");
  store.write(editor->project(), 1);
  const std::vector<std::uint8_t> copyBytes = readBytes(store.projectPath());

  Editor next("/nowhere/", 96);
  next.setProjectDir("/somewhere/else");
  const LoadResult result = next.recover(store.projectPath(), (dir / "banner.lbl").string());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_TRUE(result.change.projectReplaced);
  EXPECT_TRUE(next.modified());
  EXPECT_EQ(next.caption(), "banner.lbl");
  EXPECT_TRUE(next.saveEnabled());
  EXPECT_EQ(next.project().projectDir.view(), dir.path.string());
  EXPECT_EQ(next.project().frame(2).text[0].view(), "Unsaved");
  EXPECT_FALSE(next.canUndo());

  ASSERT_TRUE(next.save().ok);
  EXPECT_FALSE(next.modified());
  Editor reread("/nowhere/", 96);
  ASSERT_TRUE(reread.load(dir / "banner.lbl").ok);
  EXPECT_TRUE(sameFrames(reread.project(), editor->project()));
  EXPECT_EQ(readBytes(store.projectPath()), copyBytes) << "the copy is only read";
}

TEST(EditorRecover, ANeverSavedProjectStaysUntitledInTheDialogsFolder) {
  TempDir dir;
  Editor first("/nowhere/", 96);
  first.insertFrame();
  RecoveryStore store(dir.path, "zefra-40-1");
  store.write(first.project(), 1);

  Editor next("/nowhere/", 96);
  next.setProjectDir("/home/u/banners");
  ASSERT_TRUE(next.recover(store.projectPath(), "").ok);
  EXPECT_EQ(next.caption(), "untitled.lbl");
  EXPECT_FALSE(next.saveEnabled()) << "Save as asks where it goes";
  EXPECT_TRUE(next.modified());
  EXPECT_TRUE(next.project().fileName.empty()) << "Save as must not propose the copy's name";
  EXPECT_EQ(next.project().projectDir.view(), "/home/u/banners");
  EXPECT_EQ(next.project().frameCount, 2);

  EXPECT_FALSE(next.recover(dir / "missing.lbl", "/home/u/x.lbl").ok);
  EXPECT_FALSE(next.modified());
}

}  // namespace
}  // namespace zefra::editor
