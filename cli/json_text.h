#pragma once
// JSON string literals for the --json output of zefra-cli. Text that is valid UTF-8 (file
// names, usually) passes through; other bytes - project texts are 8-bit Windows text - are
// read as Latin-1 and escaped as \u00XX, so the output is always valid JSON.

#include <string>
#include <string_view>
#include <vector>

namespace zefra::cli {

std::string jsonText(const std::string& text);

// The length (1 to 4) of the well-formed UTF-8 sequence at the start of `bytes` (RFC 3629:
// no overlong forms, no surrogates, nothing past U+10FFFF), or 0 when there is none.
std::size_t utf8SequenceLength(std::string_view bytes);
bool validUtf8(std::string_view text);

// ["a", "b"] / [1, 2]
std::string jsonTextArray(const std::vector<std::string>& texts);
std::string jsonIntArray(const std::vector<int>& values);

}  // namespace zefra::cli
