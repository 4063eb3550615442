// The recent-files list: newest first, duplicates ignoring letter case keep their place,
// the sixth distinct file pushes out the oldest, and the submenu never hides an item again.
#include <gtest/gtest.h>

#include "editor/recent_files.h"
#include "editor/settings_memory_store.h"

namespace zefra::editor {
namespace {

TEST(RecentFiles, NewestFirstAndSixthDropsTheOldest) {
  MemorySettingsStore store;
  for (const char* p : {"/a.lbl", "/b.lbl", "/c.lbl", "/d.lbl", "/e.lbl"}) {
    EXPECT_TRUE(recordRecentFile(store, p));
  }
  EXPECT_EQ(readRecentFiles(store), (RecentFileList{"/e.lbl", "/d.lbl", "/c.lbl", "/b.lbl", "/a.lbl"}));
  EXPECT_TRUE(recordRecentFile(store, "/f.lbl"));
  EXPECT_EQ(readRecentFiles(store), (RecentFileList{"/f.lbl", "/e.lbl", "/d.lbl", "/c.lbl", "/b.lbl"}));
  EXPECT_EQ(store.openCount, 0);
}

TEST(RecentFiles, ListedPathKeepsItsPlaceEvenInOtherCase) {
  MemorySettingsStore store;
  for (const char* p : {"/a.lbl", "/b.lbl", "/Work/C.lbl", "/d.lbl", "/e.lbl"}) recordRecentFile(store, p);
  const RecentFileList before = readRecentFiles(store);
  ASSERT_EQ(before[2], "/Work/C.lbl");
  const int writes = store.writes;
  EXPECT_FALSE(recordRecentFile(store, "/work/c.LBL"));
  EXPECT_FALSE(recordRecentFile(store, "/Work/C.lbl"));
  EXPECT_EQ(readRecentFiles(store), before);
  EXPECT_EQ(store.writes, writes) << "a listed path must not rewrite the list";
}

TEST(RecentFiles, CaseFoldingOnlyJoinsLetters) {
  EXPECT_TRUE(samePathIgnoringCase("/X/Y.LBL", "/x/y.lbl"));
  EXPECT_FALSE(samePathIgnoringCase("/x/y.lbl", "/x/y.lb"));
  EXPECT_FALSE(samePathIgnoringCase("/x/[.lbl", "/x/{.lbl"));  // 0x5B vs 0x7B differ by the case bit
  EXPECT_FALSE(samePathIgnoringCase("/x/@.lbl", "/x/`.lbl"));
}

TEST(RecentFiles, EntriesWithGapsAreReadInPlace) {
  MemorySettingsStore store;
  store.keyExists = true;
  store.values["MRUD2"] = "/two.lbl";
  store.values["MRUD5"] = "/five.lbl";
  EXPECT_EQ(readRecentFiles(store), (RecentFileList{"", "/two.lbl", "", "", "/five.lbl"}));
  // A new file shifts every slot, gaps included.
  recordRecentFile(store, "/new.lbl");
  EXPECT_EQ(readRecentFiles(store), (RecentFileList{"/new.lbl", "", "/two.lbl", "", ""}));
}

TEST(RecentFilesMenu, ItemsKeepTheirPositionAndNeverHide) {
  RecentFilesMenu menu;
  EXPECT_FALSE(menu.enabled());
  menu.rebuild(RecentFileList{"", "/two.lbl", "", "", ""});
  EXPECT_TRUE(menu.enabled());
  EXPECT_FALSE(menu.item(1).visible);
  EXPECT_TRUE(menu.item(2).visible);
  EXPECT_EQ(menu.item(2).caption, "&2 /two.lbl");
  menu.rebuild(RecentFileList{"/one.lbl", "", "", "", ""});
  EXPECT_EQ(menu.item(1).caption, "&1 /one.lbl");
  EXPECT_TRUE(menu.item(2).visible) << "an item shown once stays shown";
  EXPECT_EQ(menu.item(2).caption, "&2 /two.lbl");
  EXPECT_FALSE(menu.item(3).visible);
}

TEST(RecentFilesMenu, CaptionGivesBackThePath) {
  EXPECT_EQ(RecentFilesMenu::pathOfCaption("&3 /home/u/My Label.lbl"), "/home/u/My Label.lbl");
  EXPECT_EQ(RecentFilesMenu::pathOfCaption("&3 "), "");
  EXPECT_EQ(RecentFilesMenu::pathOfCaption(""), "");
}

}  // namespace
}  // namespace zefra::editor
