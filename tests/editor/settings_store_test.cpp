// Window placement and "LastDir" in the settings store: the read order with its early stop,
// the strict integer format, and writing only into a key that can be opened.
#include <gtest/gtest.h>

#include "editor/settings.h"
#include "editor/settings_memory_store.h"

namespace zefra::editor {
namespace {

MemorySettingsStore storeWith(std::initializer_list<std::pair<const char*, const char*>> values) {
  MemorySettingsStore store;
  store.keyExists = true;
  for (auto& [name, text] : values) store.values[name] = text;
  return store;
}

TEST(SettingsRead, AllValuesPresentAreReadAndTheKeyIsClosedAgain) {
  auto store = storeWith({{"LastDir", "/home/u/labels"}, {"L", "10"}, {"T", "-20"}, {"W", "800"}, {"H", "600"}});
  StoredSettings s = readSettings(store);
  EXPECT_EQ(s.lastDir, "/home/u/labels");
  EXPECT_EQ(s.left, 10);
  EXPECT_EQ(s.top, -20);
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 600);
  EXPECT_EQ(store.openCount, 0);
}

TEST(SettingsRead, FirstMissingOrMalformedValueStopsTheRest) {
  {
    auto store = storeWith({{"L", "10"}, {"W", "800"}, {"H", "600"}});  // T missing
    StoredSettings s = readSettings(store);
    EXPECT_EQ(s.left, 10);
    EXPECT_FALSE(s.top);
    EXPECT_FALSE(s.width) << "W follows a missing T and must not be applied";
    EXPECT_FALSE(s.height);
  }
  {
    auto store = storeWith({{"L", "10"}, {"T", "20"}, {"W", "80x"}, {"H", "600"}});
    StoredSettings s = readSettings(store);
    EXPECT_EQ(s.top, 20);
    EXPECT_FALSE(s.width);
    EXPECT_FALSE(s.height);
  }
  {
    auto store = storeWith({{"L", ""}, {"T", "20"}});
    StoredSettings s = readSettings(store);
    EXPECT_FALSE(s.left);
    EXPECT_FALSE(s.top);
  }
}

TEST(SettingsRead, MissingKeyIsCreatedAndReadsEmpty) {
  MemorySettingsStore store;
  StoredSettings s = readSettings(store);
  EXPECT_TRUE(store.keyExists);
  EXPECT_EQ(s.lastDir, "");
  EXPECT_FALSE(s.left);
}

TEST(SettingsRead, IntegersAreDecimalAndMustFit) {
  EXPECT_EQ(parseStoredInt("0"), 0);
  EXPECT_EQ(parseStoredInt("-1280"), -1280);
  EXPECT_EQ(parseStoredInt("2147483647"), 2147483647);
  EXPECT_FALSE(parseStoredInt("2147483648"));
  EXPECT_FALSE(parseStoredInt(" 12"));
  EXPECT_FALSE(parseStoredInt("12 "));
  EXPECT_FALSE(parseStoredInt("1.5"));
  EXPECT_FALSE(parseStoredInt("0x10"));
  EXPECT_FALSE(parseStoredInt("-"));
  EXPECT_FALSE(parseStoredInt(""));
}

TEST(SettingsWrite, WritesPlacementAndFolderThatReadBack) {
  MemorySettingsStore store;
  store.keyExists = true;
  ASSERT_TRUE(writeSettings(store, "/tmp/p", WindowPlacement{-5, 7, 640, 480}));
  StoredSettings s = readSettings(store);
  EXPECT_EQ(s.lastDir, "/tmp/p");
  EXPECT_EQ(s.left, -5);
  EXPECT_EQ(s.top, 7);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  EXPECT_EQ(store.openCount, 0);
}

TEST(SettingsWrite, KeyThatCannotBeOpenedGetsNothing) {
  MemorySettingsStore missing;  // writing never creates the key
  EXPECT_FALSE(writeSettings(missing, "/x", WindowPlacement{1, 2, 3, 4}));
  EXPECT_FALSE(missing.keyExists);
  EXPECT_EQ(missing.writes, 0);

  auto readOnly = storeWith({{"LastDir", "/old"}});
  readOnly.readOnly = true;
  EXPECT_FALSE(writeSettings(readOnly, "/new", WindowPlacement{1, 2, 3, 4}));
  EXPECT_EQ(readOnly.values["LastDir"], "/old");
  EXPECT_EQ(readOnly.writes, 0);
}

}  // namespace
}  // namespace zefra::editor
