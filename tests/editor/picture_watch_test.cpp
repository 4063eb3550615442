// "Edit Picture...": which slots are watched together, when a reload is due (a failed
// reload is tried again), giving up on a missing file, and which program is started.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "editor/image_editor_command.h"
#include "editor/picture_watch.h"
#include "editor/settings_memory_store.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;

TEST(PictureWatch, SlotsShowingTheSameNameAreWatchedTogether) {
  model::FrameRecord r = model::newFrameRecord(96);
  r.pictureFile[1].assign("/p/logo.bmp");
  r.pictureFile[4].assign("/p/logo.bmp");
  r.pictureFile[6].assign("/p/LOGO.bmp");    // another name, though maybe the same file elsewhere
  r.pictureFile[7].assign("/p/logo.bmp ");   // differs in one byte
  EXPECT_EQ(slotsShowingSameFile(r, 2), (std::vector<int>{2, 5}));
  EXPECT_EQ(slotsShowingSameFile(r, 5), (std::vector<int>{2, 5}));
  EXPECT_EQ(slotsShowingSameFile(r, 7), (std::vector<int>{7}));
  EXPECT_TRUE(slotsShowingSameFile(r, 1).empty()) << "a slot without a file";
  EXPECT_TRUE(slotsShowingSameFile(r, 11).empty());
}

TEST(PictureWatch, AChangedStampAsksForAReloadUntilOneSucceeds) {
  PictureWatch watch;
  const FileStamp first{1000, 50};
  ASSERT_TRUE(watch.start("/p/logo.bmp", {2, 5}, first));
  EXPECT_TRUE(watch.active());
  EXPECT_EQ(watch.slots(), (std::vector<int>{2, 5}));
  EXPECT_FALSE(watch.changed(first));
  // The editor writes: first half a file, later the whole one.
  const FileStamp partial{2000, 20};
  EXPECT_TRUE(watch.changed(partial));
  // The reload failed, so nothing is taken and the next look asks again.
  EXPECT_TRUE(watch.changed(partial));
  const FileStamp whole{3000, 50};
  EXPECT_TRUE(watch.changed(whole));
  watch.reloaded(whole);
  EXPECT_FALSE(watch.changed(whole));
  // Same time, other size (a coarse clock) is a change too.
  EXPECT_TRUE(watch.changed(FileStamp{3000, 51}));
  // A file that is gone for a moment (replaced by rename) is skipped.
  EXPECT_FALSE(watch.changed(std::nullopt));
  watch.stop();
  EXPECT_FALSE(watch.active());
  EXPECT_FALSE(watch.changed(FileStamp{9000, 1}));
}

TEST(PictureWatch, AMissingFileGivesUpSilently) {
  PictureWatch watch;
  EXPECT_FALSE(watch.start("/p/gone.bmp", {1}, std::nullopt));
  EXPECT_FALSE(watch.active());
  // Starting on another picture replaces the watch.
  ASSERT_TRUE(watch.start("/p/a.bmp", {1}, FileStamp{1, 1}));
  ASSERT_TRUE(watch.start("/p/b.bmp", {3}, FileStamp{1, 1}));
  EXPECT_EQ(watch.file(), "/p/b.bmp");
  EXPECT_FALSE(watch.start("/p/c.bmp", {4}, std::nullopt));
  EXPECT_FALSE(watch.active()) << "a failed start ends the previous watch too";
}

TEST(PictureWatch, FileStampsFollowWritesAndRenames) {
  zefra::testing::TempDir dir;
  const std::string file = (dir / "p.bmp").string();
  EXPECT_FALSE(fileStamp(file).has_value());
  std::ofstream(file) << "one";
  const auto a = fileStamp(file);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->size, 3);
  // Replaced by rename, with an older time stamp but another size.
  const std::string temp = (dir / "p.tmp").string();
  std::ofstream(temp) << "three";
  fs::last_write_time(temp, fs::last_write_time(file) - std::chrono::hours(1));
  fs::rename(temp, file);
  const auto b = fileStamp(file);
  ASSERT_TRUE(b.has_value());
  EXPECT_NE(*a, *b);
  EXPECT_FALSE(fileStamp(dir / "").has_value()) << "a folder is not a picture";
}

TEST(ImageEditorCommand, TheSettingComesFirst) {
  auto none = [](const std::string&) { return false; };
  auto all = [](const std::string&) { return true; };
  EXPECT_EQ(imageEditorCommand("mypaint", "/p/a b.bmp", all), (LaunchCommand{"mypaint", {"/p/a b.bmp"}, false}));
  EXPECT_EQ(imageEditorCommand("  \"/opt/My Paint/paint\" --new-window  ", "/p/x.bmp", none),
            (LaunchCommand{"/opt/My Paint/paint", {"--new-window", "/p/x.bmp"}, false}));
  EXPECT_EQ(imageEditorCommand("paint --open=%f --wait", "/p/x.bmp", none),
            (LaunchCommand{"paint", {"--open=/p/x.bmp", "--wait"}, false}));
  // A setting that is not a command line counts as unset.
  EXPECT_EQ(imageEditorCommand("paint \"unterminated", "/p/x.bmp", none), (LaunchCommand{{}, {}, true}));
}

TEST(ImageEditorCommand, ThenTheFirstInstalledPaintProgramThenTheDesktop) {
  std::set<std::string> installed{"krita", "gimp"};
  auto has = [&](const std::string& name) { return installed.count(name) > 0; };
  EXPECT_EQ(imageEditorCommand("", "/p/x.bmp", has), (LaunchCommand{"gimp", {"/p/x.bmp"}, false}));
  installed.clear();
  EXPECT_EQ(imageEditorCommand("   ", "/p/x.bmp", has), (LaunchCommand{{}, {}, true}));
}

TEST(ImageEditorCommand, SplitsLikeAShell) {
  EXPECT_EQ(splitCommandLine("a 'b c' \"d \\\" e\" f\\ g"),
            (std::vector<std::string>{"a", "b c", "d \" e", "f g"}));
  EXPECT_EQ(splitCommandLine("''"), (std::vector<std::string>{""}));
  EXPECT_EQ(splitCommandLine(""), (std::vector<std::string>{}));
  EXPECT_FALSE(splitCommandLine("'open").has_value());
}

TEST(ImageEditorCommand, ReadsTheSetting) {
  MemorySettingsStore store;
  EXPECT_EQ(readImageEditorSetting(store), "");
  {
    SettingsKey key(store, true);
    store.setValue(kImageEditorValue, "pinta");
  }
  EXPECT_EQ(readImageEditorSetting(store), "pinta");
}

}  // namespace
}  // namespace zefra::editor
