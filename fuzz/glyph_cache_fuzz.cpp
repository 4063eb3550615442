// Feeds arbitrary bytes to the glyph disk cache loader. One input is a pair of cache files:
// its first 2188 bytes (or fewer) are the ".Hdr" file and the rest is the ".Dat" file.
// The set asked for takes its settings from those header bytes, so most inputs get past
// the settings check and reach the glyph sizes and pixel data. A load must either fill the
// set sanely (sizes within bounds, pixels exactly the data file, in order) or fail and
// leave the set untouched; it must never crash, over-read or allocate without bound.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "text3d/glyph_disk_cache.h"
#include "text3d/glyph_set.h"

namespace {

namespace fs = std::filesystem;
using zefra::text3d::GlyphSet;
using zefra::text3d::kGlyphHeaderSize;

// A value that no load can store as the overlap (those are <= 0), to see a failed load
// leave the set alone.
constexpr int kUntouchedOverlap = 7;

// Made once per process and removed at its end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string tmpl = (fs::temp_directory_path() / "zefra_glyph_cache_fuzz_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) __builtin_trap();
    dir = tmpl;
  }
  ~ScratchDirectory() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  const fs::path& path() const { return dir; }

 private:
  fs::path dir;
};

const fs::path& scratchDirectory() {
  static const ScratchDirectory scratch;
  return scratch.path();
}

std::int32_t i32At(const std::uint8_t* h, std::size_t at) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(h[at + i]) << (8 * i);
  return static_cast<std::int32_t>(u);
}

// The set whose header these bytes would be (a short header is padded with zeros).
GlyphSet setDescribedBy(const std::uint8_t* data, std::size_t headerBytes) {
  std::uint8_t h[kGlyphHeaderSize] = {};
  if (headerBytes > 0) std::memcpy(h, data, headerBytes);  // an empty input comes as a null pointer
  GlyphSet set;
  set.font.height = i32At(h, 0);
  set.font.size = i32At(h, 4);
  set.font.pixelsPerInch = i32At(h, 8);
  std::size_t len = h[12] > 100 ? 100 : h[12];
  set.font.name.assign(reinterpret_cast<const char*>(h + 13), len);
  set.font.style = h[113];
  set.font.pitch = static_cast<zefra::text3d::FontPitch>(h[114]);
  // Stored as hundredths; dividing by 100 rounds back to the same integer.
  set.settings.altitude = i32At(h, 116) / 100.0;
  set.settings.borderHeight = i32At(h, 120) / 100.0;
  set.settings.shadowColor = i32At(h, 124);
  set.settings.viewDirection = i32At(h, 128);
  set.settings.shadowStyle = static_cast<zefra::text3d::ShadowStyle>(h[136]);
  set.settings.site = static_cast<zefra::text3d::Site>(h[137]);
  set.settings.glyphOverlap = kUntouchedOverlap;
  return set;
}

bool writeFile(const fs::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

bool untouched(const GlyphSet& set) {
  if (set.settings.glyphOverlap != kUntouchedOverlap) return false;
  for (const auto& g : set.glyphs)
    if (g.width != -1 || g.height != -1 || !g.pixels.empty()) return false;
  return true;
}

// A loaded set: every built glyph has the cell height and a positive size, its pixels are
// the next bytes of the data file, and together they use the whole file.
bool sane(const GlyphSet& set, const std::uint8_t* dat, std::size_t datSize) {
  if (set.settings.glyphOverlap > 0) return false;
  std::size_t at = 0;
  int cellHeight = -1;
  for (const auto& g : set.glyphs) {
    if (!g.built()) {
      if (!g.pixels.empty()) return false;
      continue;
    }
    if (g.width < 1 || g.height < 1) return false;
    if (cellHeight != -1 && g.height != cellHeight) return false;
    cellHeight = g.height;
    std::size_t n = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height) * 3;
    if (g.pixels.size() != n || n > datSize - at) return false;
    if (std::memcmp(g.pixels.data(), dat + at, n) != 0) return false;
    at += n;
  }
  return at == datSize;
}

}  // namespace

// A header and up to 16 KiB of glyph pixels reach every check of the loader; longer data
// files are skipped so each run stays fast.
constexpr std::size_t kMaxInputSize = zefra::text3d::kGlyphHeaderSize + 16384;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputSize) return 0;
  const std::size_t headerBytes = size < kGlyphHeaderSize ? size : kGlyphHeaderSize;
  const std::uint8_t* dat = data + headerBytes;
  const std::size_t datSize = size - headerBytes;
  const fs::path& dir = scratchDirectory();

  GlyphSet set = setDescribedBy(data, headerBytes);
  const std::string key = zefra::text3d::glyphSetKey(set);
  const fs::path hdrPath = dir / (key + ".Hdr");
  const fs::path datPath = dir / (key + ".Dat");
  if (!writeFile(hdrPath, data, headerBytes) || !writeFile(datPath, dat, datSize)) __builtin_trap();

  // The pixels per inch are not part of the file name, so this set finds the same pair,
  // yet the header describes other settings: the load must refuse it.
  GlyphSet other = set;
  other.font.pixelsPerInch = static_cast<int>(static_cast<std::uint32_t>(set.font.pixelsPerInch) ^ 1u);
  if (zefra::text3d::loadGlyphSet(dir, other) || !untouched(other)) __builtin_trap();

  if (zefra::text3d::loadGlyphSet(dir, set)) {
    if (headerBytes != kGlyphHeaderSize || !sane(set, dat, datSize) ||
        set.settings.glyphOverlap != i32At(data, 132))
      __builtin_trap();
  } else if (!untouched(set)) {
    __builtin_trap();
  }

  std::error_code ec;
  fs::remove(hdrPath, ec);
  fs::remove(datPath, ec);
  return 0;
}
