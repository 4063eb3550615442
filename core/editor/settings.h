#pragma once
// Reading and writing the window placement and the last project folder ("LastDir", "L",
// "T", "W", "H") in the per-user settings store.

#include <optional>
#include <string>
#include <string_view>

#include "editor/settings_store.h"

namespace zefra::editor {

inline constexpr const char* kSettingsOrganization = "Pendrake";
inline constexpr const char* kSettingsApplication = "Zefra";
inline constexpr const char* kSettingsGroup = "1.5";
inline constexpr const char* kLastDirValue = "LastDir";
inline constexpr const char* kLeftValue = "L";
inline constexpr const char* kTopValue = "T";
inline constexpr const char* kWidthValue = "W";
inline constexpr const char* kHeightValue = "H";

// What was read at start. The placement values are read in the order left, top, width,
// height and the first missing or malformed one ends the reading: every later value is
// empty even when it is stored, and the window keeps its default from there on.
struct StoredSettings {
  std::string lastDir;
  std::optional<int> left;
  std::optional<int> top;
  std::optional<int> width;
  std::optional<int> height;
};

struct WindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Opens the key (creating it) and reads it; a key that cannot be opened reads as empty.
StoredSettings readSettings(SettingsStore& store);

// Opens the key without creating it and writes everything; answers false, having written
// nothing, when the key cannot be opened.
bool writeSettings(SettingsStore& store, std::string_view lastDir, const WindowPlacement& placement);

// A stored integer: optional minus sign and decimal digits that fit an int, nothing else.
std::optional<int> parseStoredInt(std::string_view text);

}  // namespace zefra::editor
