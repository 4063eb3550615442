#pragma once
// JSON string literals for the --json output of zefra-cli. Text that is valid UTF-8 (file
// names, usually) passes through; other bytes - project texts are 8-bit Windows text - are
// read as Latin-1 and escaped as \u00XX, so the output is always valid JSON.

#include <string>
#include <vector>

namespace zefra::cli {

std::string jsonText(const std::string& text);

// ["a", "b"] / [1, 2]
std::string jsonTextArray(const std::vector<std::string>& texts);
std::string jsonIntArray(const std::vector<int>& values);

}  // namespace zefra::cli
