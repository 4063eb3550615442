#pragma once
// Naming rules and user messages of saving an exported animation.

#include <string>
#include <string_view>

namespace zefra::exporter {

// The file name a save uses: the chosen name unchanged when its last four characters are
// ".gif" in any mix of case, otherwise the chosen name with ".gif" appended (a name with
// another extension keeps it: "banner.png" becomes "banner.png.gif").
std::string gifFileNameFor(std::string_view chosenName);

// The name proposed for the GIF of a project: the project's file name without directory
// and without its extension ("/home/a/sale.lbl" -> "sale"). Empty for an unsaved project.
std::string proposedGifBaseName(std::string_view projectFileName);

// The last path component, as the messages show it.
std::string fileNameWithoutDirectory(std::string_view path);

// "File NAME has been successfully created!" with NAME without directory.
std::string gifSavedMessage(std::string_view path);

// "Error writing the file NAME" with NAME without directory.
std::string gifWriteErrorMessage(std::string_view path);

}  // namespace zefra::exporter
