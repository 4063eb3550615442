#pragma once
// Which program "Edit Picture..." starts on a picture file. The user's choice comes first:
// the command line in the setting "ImageEditor" (the file is put where it says "%f", or
// added at the end). Without one, the first installed of a short list of common desktop
// paint programs; without any of those, the desktop's default application for the file
// type (which the caller opens through the desktop, and which returns at once).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/settings_store.h"

namespace zefra::editor {

inline constexpr const char* kImageEditorValue = "ImageEditor";

// Tried in this order when the setting is empty.
inline const std::vector<std::string>& paintPrograms() {
  static const std::vector<std::string> programs{"pinta", "kolourpaint", "gimp", "krita", "mtpaint", "drawing"};
  return programs;
}

struct LaunchCommand {
  std::string program;             // empty with desktopDefault
  std::vector<std::string> arguments;
  bool desktopDefault = false;     // open the file with the desktop's default application
  friend bool operator==(const LaunchCommand&, const LaunchCommand&) = default;
};

// Splits a command line into words: blanks separate words, double or single quotes group
// blanks into a word, a backslash outside single quotes takes the next character as it
// is. Answers nothing for an unterminated quote.
std::optional<std::vector<std::string>> splitCommandLine(std::string_view line);

// `installed` answers whether a program name can be started (found on the PATH). A setting
// that is not a valid command line counts as unset.
LaunchCommand imageEditorCommand(std::string_view setting, const std::string& file,
                                 const std::function<bool(const std::string&)>& installed);

// The "ImageEditor" value of the settings key; empty when it is missing or the key cannot
// be opened.
std::string readImageEditorSetting(SettingsStore& store);

}  // namespace zefra::editor
