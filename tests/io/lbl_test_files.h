#pragma once
// Builders for project-file bytes used by the .lbl tests: a 1.02 record written field
// by field at the offsets of that format, and small file helpers. Header-only so the io
// and cli test programs can share it.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <string>
#include <string_view>
#include <vector>

namespace zefra::testing {

inline constexpr std::size_t kV102Record = 4100;

// One frame of a 1.02 file; every setter writes little-endian bytes at the old offsets.
struct V102Frame {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kV102Record, 0);

  // Every old project had a drawable size; tests that need another one set it.
  V102Frame() { size(468, 60); }

  V102Frame& u8(std::size_t at, std::uint8_t v) {
    bytes.at(at) = v;
    return *this;
  }
  V102Frame& i16(std::size_t at, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    bytes.at(at) = static_cast<std::uint8_t>(u & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(u >> 8);
    return *this;
  }
  V102Frame& u32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
    return *this;
  }
  V102Frame& str(std::size_t at, std::string_view s) {
    bytes.at(at) = static_cast<std::uint8_t>(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) bytes.at(at + 1 + i) = static_cast<std::uint8_t>(s[i]);
    return *this;
  }

  V102Frame& delay(std::int16_t ms) { return i16(6, ms); }
  V102Frame& size(std::int16_t w, std::int16_t h) { return i16(16, w).i16(18, h); }
  V102Frame& backgroundMode(std::uint8_t mode) { return u8(20, mode); }
  V102Frame& borders(std::uint8_t inner, std::uint8_t outer) { return u8(22, inner).u8(23, outer); }
  V102Frame& bevels(std::uint8_t a, std::uint8_t b) { return u8(24, a).u8(25, b); }
  V102Frame& webSiteColor(std::uint32_t c) { return u32(28, c); }
  V102Frame& frameColor(std::uint32_t c) { return u32(32, c); }
  V102Frame& gradientColors(std::uint32_t a, std::uint32_t b) { return u32(36, a).u32(40, b); }
  V102Frame& bevelColors(std::uint32_t highlight, std::uint32_t shadow) { return u32(52, highlight).u32(56, shadow); }
  V102Frame& palette(std::uint8_t kind, std::uint8_t countIndex) { return u8(68, kind).u8(69, countIndex); }
  // slot is 1..5
  V102Frame& text(int slot, std::string_view s) { return str(70 + 256 * (slot - 1), s); }
  V102Frame& fontName(int slot, std::string_view s) { return str(1350 + 256 * (slot - 1), s); }
  V102Frame& picture(int slot, std::string_view s) { return str(2630 + 256 * (slot - 1), s); }
  V102Frame& fontSize(int slot, std::uint8_t v) { return u8(3910 + (slot - 1), v); }
  V102Frame& fontStyle(int slot, std::uint8_t underline, std::uint8_t strike, std::uint8_t bold, std::uint8_t italic) {
    return u8(3925 + (slot - 1), underline).u8(3930 + (slot - 1), strike).u8(3935 + (slot - 1), bold).u8(3940 + (slot - 1), italic);
  }
  V102Frame& textAt(int slot, std::int16_t x, std::int16_t y) { return i16(3946 + 2 * (slot - 1), x).i16(3956 + 2 * (slot - 1), y); }
  V102Frame& pictureAt(int slot, std::int16_t x, std::int16_t y) {
    return i16(3966 + 2 * (slot - 1), x).i16(3976 + 2 * (slot - 1), y);
  }
  V102Frame& fontColor(int slot, std::uint32_t c) { return u32(3988 + 4 * (slot - 1), c); }
  V102Frame& text3DColor(int slot, std::uint32_t c) { return u32(4028 + 4 * (slot - 1), c); }
};

// The file: record 1 carries the 1.02 signature and the frame count (which may lie).
inline std::vector<std::uint8_t> v102File(std::vector<V102Frame> frames, int countByte = -1) {
  std::vector<std::uint8_t> out;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    if (k == 0) {
      frames[0].u8(0, 0x05).u8(1, 0x4C).u8(2, 0x42).u8(3, 0x4C);
      frames[0].u8(4, static_cast<std::uint8_t>(countByte < 0 ? frames.size() : countByte));
    }
    out.insert(out.end(), frames[k].bytes.begin(), frames[k].bytes.end());
  }
  return out;
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zefra-lbl-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = name.data();
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path / name; }

  std::filesystem::path path;
};

}  // namespace zefra::testing
