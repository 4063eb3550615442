#pragma once
// The export choices a project file has no field for: the size limit, the ad check with
// its custom rules, the play count and where the project was last exported. They are kept
// per project file in the settings store, and the last ones used are what a project that
// has none of its own starts with.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/settings_store.h"

namespace zefra::editor {

enum class AdCheckChoice { None = 0, Iab = 1, GoogleAds = 2, Custom = 3 };

struct ExportPreferences {
  bool sizeLimitOn = false;
  int sizeLimitKb = 150;  // 1..10000
  AdCheckChoice adCheck = AdCheckChoice::None;
  int plays = 0;  // 0 = for ever, 1..100
  // The Custom profile's rules; 0 = no rule.
  int customMaxKb = 150;
  int customMaxSeconds = 15;
  int customMaxPlays = 3;
  int customMaxFps = 0;
  std::string lastExportPath;  // empty: never exported

  friend bool operator==(const ExportPreferences&, const ExportPreferences&) = default;
};

inline constexpr int kMaxSizeLimitKb = 10000;

// The value name that holds `projectFile`'s preferences ("Export-" and a hash of the path);
// the untitled project (an empty path) has none of its own.
std::string exportPreferencesName(std::string_view projectFile);

// The project's own preferences, else the last ones used (without an export path), else
// the defaults. Values out of range are brought within it.
ExportPreferences readExportPreferences(SettingsStore& store, std::string_view projectFile);
// Stores them for the project (when it has a file) and as the last ones used.
void writeExportPreferences(SettingsStore& store, std::string_view projectFile, const ExportPreferences& preferences);

// The text form kept in the store: "limit=1;kb=40;check=1;plays=3;...;path=/x/y.gif"
// (the path comes last and may hold any character).
std::string exportPreferencesText(const ExportPreferences& preferences);
std::optional<ExportPreferences> parseExportPreferences(std::string_view text);

}  // namespace zefra::editor
