// Export choices kept per project file: read back as written, the last ones used for a
// project without its own, damaged or out-of-range values made safe.
#include "editor/export_preferences.h"

#include <gtest/gtest.h>

#include "editor/settings_memory_store.h"

namespace zefra::editor {
namespace {

TEST(ExportPreferences, KeptPerProjectAndTheLastUsedForOthers) {
  MemorySettingsStore store;
  EXPECT_EQ(readExportPreferences(store, "/a/bakery.lbl"), ExportPreferences{});
  ExportPreferences bakery;
  bakery.sizeLimitOn = true;
  bakery.sizeLimitKb = 40;
  bakery.adCheck = AdCheckChoice::Iab;
  bakery.plays = 3;
  bakery.lastExportPath = "/out/bakery; 728=x90.gif";
  writeExportPreferences(store, "/a/bakery.lbl", bakery);
  EXPECT_EQ(readExportPreferences(store, "/a/bakery.lbl"), bakery);

  // Another project starts with the last values used, but not with their export path.
  ExportPreferences other = readExportPreferences(store, "/b/shoes.lbl");
  EXPECT_EQ(other.sizeLimitKb, 40);
  EXPECT_EQ(other.adCheck, AdCheckChoice::Iab);
  EXPECT_TRUE(other.lastExportPath.empty());
  other.plays = 0;
  writeExportPreferences(store, "/b/shoes.lbl", other);
  EXPECT_EQ(readExportPreferences(store, "/a/bakery.lbl").plays, 3);  // its own stay
  EXPECT_NE(exportPreferencesName("/a/bakery.lbl"), exportPreferencesName("/b/shoes.lbl"));
  EXPECT_TRUE(exportPreferencesName("").empty());
}

TEST(ExportPreferences, DamagedTextIsRefusedAndRangesHold) {
  EXPECT_FALSE(parseExportPreferences("limit=1;kb=abc"));
  EXPECT_FALSE(parseExportPreferences("limit"));
  const auto wild = parseExportPreferences("limit=1;kb=999999;check=9;plays=-4;future=1;path=");
  ASSERT_TRUE(wild);
  EXPECT_EQ(wild->sizeLimitKb, kMaxSizeLimitKb);
  EXPECT_EQ(wild->adCheck, AdCheckChoice::Custom);
  EXPECT_EQ(wild->plays, 0);
  MemorySettingsStore store;
  {
    SettingsKey key(store, true);
    store.setValue(exportPreferencesName("/p.lbl"), "kb=;;");
  }
  EXPECT_EQ(readExportPreferences(store, "/p.lbl"), ExportPreferences{});
}

}  // namespace
}  // namespace zefra::editor
