#include "editor/recent_files.h"

namespace zefra::editor {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string recentFileValueName(int n) {
  std::string name("MRUD");
  name += std::to_string(n);
  return name;
}

bool samePathIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

RecentFileList readRecentFiles(SettingsStore& store) {
  RecentFileList list;
  SettingsKey key(store, true);
  if (!key.opened()) return list;
  for (int n = 1; n <= kRecentFileCount; ++n) {
    list[static_cast<std::size_t>(n - 1)] = store.value(recentFileValueName(n)).value_or(std::string());
  }
  return list;
}

bool recordRecentFile(SettingsStore& store, std::string_view path) {
  SettingsKey key(store, true);
  if (!key.opened()) return false;
  RecentFileList list;
  for (int n = 1; n <= kRecentFileCount; ++n) {
    list[static_cast<std::size_t>(n - 1)] = store.value(recentFileValueName(n)).value_or(std::string());
    if (samePathIgnoringCase(list[static_cast<std::size_t>(n - 1)], path)) return false;
  }
  for (int n = kRecentFileCount; n >= 2; --n) {
    store.setValue(recentFileValueName(n), list[static_cast<std::size_t>(n - 2)]);
  }
  store.setValue(recentFileValueName(1), path);
  return true;
}

void RecentFilesMenu::rebuild(const RecentFileList& entries) {
  for (int n = 1; n <= kRecentFileCount; ++n) {
    const std::string& path = entries[static_cast<std::size_t>(n - 1)];
    if (path.empty()) continue;
    Item& entry = items[static_cast<std::size_t>(n - 1)];
    std::string caption(1, '&');
    caption += static_cast<char>('0' + n);
    caption += ' ';
    caption += path;
    entry.caption = std::move(caption);
    entry.visible = true;
    anyVisible = true;
  }
}

std::string RecentFilesMenu::pathOfCaption(std::string_view caption) {
  return caption.size() <= 3 ? std::string() : std::string(caption.substr(3));
}

}  // namespace zefra::editor
