#pragma once
// A counted string of exactly 256 bytes: a length byte, then 255 character bytes in the
// project's 8-bit code page. Bytes past the length are not significant. An empty string
// marks a text, picture or texture slot that is not in use.

#include <cstdint>
#include <string>
#include <string_view>

namespace zefra::model {

struct String255 {
  static constexpr std::size_t kCapacity = 255;

  std::uint8_t length = 0;
  char chars[kCapacity] = {};

  String255() = default;
  String255(std::string_view s) { assign(s); }  // NOLINT: implicit from text is the point
  String255& operator=(std::string_view s) {
    assign(s);
    return *this;
  }

  bool empty() const { return length == 0; }
  std::string_view view() const { return {chars, length}; }
  std::string str() const { return std::string(view()); }

  // Longer text is cut at 255 bytes, as a fixed record cannot hold more.
  void assign(std::string_view s) {
    length = static_cast<std::uint8_t>(s.size() > kCapacity ? kCapacity : s.size());
    for (std::size_t i = 0; i < length; ++i) chars[i] = s[i];
  }
  void clear() { length = 0; }

  // Compares the significant bytes only.
  friend bool operator==(const String255& a, const String255& b) { return a.view() == b.view(); }
};

static_assert(sizeof(String255) == 256);

}  // namespace zefra::model
