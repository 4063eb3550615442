#pragma once
// The five most recently used project files ("MRUD1".."MRUD5", most recent first) and the
// "Recent &Files" submenu built from them.

#include <array>
#include <string>
#include <string_view>

#include "editor/settings_store.h"

namespace zefra::editor {

inline constexpr int kRecentFileCount = 5;

using RecentFileList = std::array<std::string, kRecentFileCount>;

// "MRUD" + n for n = 1..5.
std::string recentFileValueName(int n);

// Paths that differ only in the letter case of ASCII letters name the same entry.
bool samePathIgnoringCase(std::string_view a, std::string_view b);

// Opens the key (creating it) and reads the five entries; missing ones are empty.
RecentFileList readRecentFiles(SettingsStore& store);

// Records a project that was just loaded or saved. A path already in the list (ignoring
// case) keeps its place and nothing is written; otherwise the list moves down one place,
// the fifth entry is lost and the path becomes entry 1. Answers whether the list changed.
bool recordRecentFile(SettingsStore& store, std::string_view path);

// The submenu's five items ("N11".."N51"). An item is shown once its entry has been seen
// non-empty and stays shown, at its own position, for the rest of the run; the submenu is
// enabled once any item is shown.
class RecentFilesMenu {
 public:
  struct Item {
    std::string caption;  // "&" + n + " " + path
    bool visible = false;
  };

  void rebuild(const RecentFileList& entries);

  const Item& item(int n) const { return items.at(static_cast<std::size_t>(n - 1)); }
  bool enabled() const { return anyVisible; }

  // The path an item opens: its caption without the three characters of "&n ".
  static std::string pathOfCaption(std::string_view caption);

 private:
  std::array<Item, kRecentFileCount> items;
  bool anyVisible = false;
};

}  // namespace zefra::editor
