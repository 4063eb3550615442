#include "text3d/glyph_disk_cache.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "text3d/rounding.h"

namespace zefra::text3d {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNameOffset = 12;
constexpr std::size_t kMaxNameLength = 100;
constexpr std::size_t kWidthsOffset = 140;
constexpr std::size_t kHeightsOffset = 1164;
// No real glyph comes near these; they bound what a damaged header can make us allocate.
constexpr std::int64_t kMaxGlyphSide = 65536;
constexpr std::int64_t kMaxGlyphPixels = 16 * 1024 * 1024;
constexpr std::int64_t kMaxDataBytes = 256 * 1024 * 1024;

void putI32(std::string& buf, std::size_t at, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) buf[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::int32_t getI32(const std::string& buf, std::size_t at) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(buf[at + i])) << (8 * i);
  return static_cast<std::int32_t>(u);
}

std::uint8_t getU8(const std::string& buf, std::size_t at) { return static_cast<std::uint8_t>(buf[at]); }

std::string sanitizeName(const std::string& name) {
  // A face name may hold characters a file name cannot.
  std::string out = name;
  for (char& c : out)
    if (c == '/' || c == '\0') c = '_';
  return out;
}

fs::path pairPath(const fs::path& directory, const GlyphSet& set, const char* ext) {
  return directory / (glyphSetKey(set) + ext);
}

// The cache never throws: a file it cannot write is simply not cached.
bool writeCacheFile(const fs::path& target, const std::string& bytes) {
  try {
    common::writeFileAtomically(
        target, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::string> readWholeFile(const fs::path& p, std::int64_t expected) {
  std::error_code ec;
  auto size = fs::file_size(p, ec);
  if (ec || static_cast<std::int64_t>(size) != expected) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::string buf(static_cast<std::size_t>(expected), '\0');
  in.read(buf.data(), expected);
  if (in.gcount() != expected) return std::nullopt;
  return buf;
}

}  // namespace

std::string glyphSetKey(const GlyphSet& set) {
  const Font& f = set.font;
  const Font3DSettings& s = set.settings;
  std::string key;
  key += std::to_string(static_cast<int>(f.style));
  key += std::to_string(static_cast<int>(f.pitch));
  key += std::to_string(f.size);
  key += std::to_string(f.height);
  key += std::to_string(roundHalfEven(s.altitude * 100));
  key += std::to_string(roundHalfEven(s.borderHeight * 100));
  key += std::to_string(static_cast<long long>(s.shadowColor) * 100);
  key += std::to_string(static_cast<long long>(s.viewDirection) * 100);
  key += s.antialiasing ? "1" : "0";
  key += std::to_string(static_cast<int>(s.shadowStyle));
  key += std::to_string(static_cast<int>(s.site));
  key += sanitizeName(f.name);
  return key;
}

std::string encodeGlyphHeader(const GlyphSet& set) {
  const Font& f = set.font;
  const Font3DSettings& s = set.settings;
  std::string h(kGlyphHeaderSize, '\0');
  putI32(h, 0, f.height);
  putI32(h, 4, f.size);
  putI32(h, 8, f.pixelsPerInch);
  std::size_t len = std::min(f.name.size(), kMaxNameLength);
  h[kNameOffset] = static_cast<char>(len);
  std::memcpy(h.data() + kNameOffset + 1, f.name.data(), len);
  h[113] = static_cast<char>(f.style);
  h[114] = static_cast<char>(f.pitch);
  putI32(h, 116, static_cast<std::int32_t>(roundHalfEven(s.altitude * 100)));
  putI32(h, 120, static_cast<std::int32_t>(roundHalfEven(s.borderHeight * 100)));
  putI32(h, 124, s.shadowColor);
  putI32(h, 128, s.viewDirection);
  putI32(h, 132, s.glyphOverlap);
  h[136] = static_cast<char>(s.shadowStyle);
  h[137] = static_cast<char>(s.site);
  for (int c = 0; c < 256; ++c) {
    putI32(h, kWidthsOffset + 4 * c, set.glyphs[c].width);
    putI32(h, kHeightsOffset + 4 * c, set.glyphs[c].height);
  }
  return h;
}

bool glyphHeaderExists(const fs::path& directory, const GlyphSet& set) {
  std::error_code ec;
  return fs::is_regular_file(pairPath(directory, set, ".Hdr"), ec);
}

bool writeGlyphSet(const fs::path& directory, const GlyphSet& set) {
  if (set.font.name.size() > kMaxNameLength) return false;  // the header cannot hold it
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (!fs::is_directory(directory, ec)) return false;
  std::string data;
  data.reserve(static_cast<std::size_t>(set.byteCount()));
  for (const Glyph& g : set.glyphs)
    if (g.built()) data.append(reinterpret_cast<const char*>(g.pixels.data()), g.pixels.size());
  // Data before header: a header is only ever found beside the data it describes, or
  // beside data of the wrong size, which loading rejects.
  if (!writeCacheFile(pairPath(directory, set, ".Dat"), data)) return false;
  return writeCacheFile(pairPath(directory, set, ".Hdr"), encodeGlyphHeader(set));
}

bool loadGlyphSet(const fs::path& directory, GlyphSet& set) {
  auto header = readWholeFile(pairPath(directory, set, ".Hdr"), static_cast<std::int64_t>(kGlyphHeaderSize));
  if (!header) return false;
  const std::string& h = *header;
  const Font& f = set.font;
  const Font3DSettings& s = set.settings;
  std::size_t len = getU8(h, kNameOffset);
  if (len > kMaxNameLength) return false;
  std::string name = h.substr(kNameOffset + 1, len);
  // The key has no separators, so other settings can share a file name: the header must
  // describe exactly the settings asked for.
  if (getI32(h, 0) != f.height || getI32(h, 4) != f.size || getI32(h, 8) != f.pixelsPerInch ||
      name != f.name || getU8(h, 113) != f.style || getU8(h, 114) != static_cast<std::uint8_t>(f.pitch) ||
      getI32(h, 116) != roundHalfEven(s.altitude * 100) ||
      getI32(h, 120) != roundHalfEven(s.borderHeight * 100) || getI32(h, 124) != s.shadowColor ||
      getI32(h, 128) != s.viewDirection || getU8(h, 136) != static_cast<std::uint8_t>(s.shadowStyle) ||
      getU8(h, 137) != static_cast<std::uint8_t>(s.site))
    return false;
  std::int32_t overlap = getI32(h, 132);
  if (overlap > 0 || overlap < -kMaxGlyphSide) return false;

  std::int64_t total = 0;
  std::int32_t cellHeight = -1;  // every glyph of a set has the cell height
  std::int32_t widths[256], heights[256];
  for (int c = 0; c < 256; ++c) {
    std::int32_t w = getI32(h, kWidthsOffset + 4 * c);
    std::int32_t ht = getI32(h, kHeightsOffset + 4 * c);
    widths[c] = w;
    heights[c] = ht;
    if (w == -1 && ht == -1) continue;
    if (w < 1 || ht < 1 || w > kMaxGlyphSide || ht > kMaxGlyphSide ||
        static_cast<std::int64_t>(w) * ht > kMaxGlyphPixels)
      return false;
    if (cellHeight != -1 && ht != cellHeight) return false;
    cellHeight = ht;
    total += static_cast<std::int64_t>(w) * ht * 3;
    if (total > kMaxDataBytes) return false;
  }
  auto data = readWholeFile(pairPath(directory, set, ".Dat"), total);
  if (!data) return false;

  std::size_t at = 0;
  for (int c = 0; c < 256; ++c) {
    Glyph& g = set.glyphs[c];
    g.width = widths[c];
    g.height = heights[c];
    g.pixels.clear();
    if (!g.built()) continue;
    std::size_t n = static_cast<std::size_t>(g.width) * g.height * 3;
    g.pixels.assign(data->begin() + at, data->begin() + at + n);
    at += n;
  }
  set.settings.glyphOverlap = overlap;
  return true;
}

int trimGlyphDiskCache(const fs::path& directory, std::int64_t maxBytes) {
  int deleted = 0;
  for (;;) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec)) return deleted;
    std::int64_t total = 0;
    std::optional<fs::path> oldest;
    fs::file_time_type oldestTime{};
    fs::directory_iterator it(directory, ec), end;
    if (ec) return deleted;
    for (; it != end; it.increment(ec)) {
      if (ec) return deleted;
      const fs::path& p = it->path();
      if (p.extension() != ".Dat" || !it->is_regular_file(ec)) continue;
      auto size = it->file_size(ec);
      if (ec) continue;
      auto time = it->last_write_time(ec);
      if (ec) continue;
      total += static_cast<std::int64_t>(size) + static_cast<std::int64_t>(kGlyphHeaderSize);
      if (!oldest || time < oldestTime) {
        oldest = p;
        oldestTime = time;
      }
    }
    if (total <= maxBytes || !oldest) return deleted;
    fs::path hdr = *oldest;
    hdr.replace_extension(".Hdr");
    std::error_code e1, e2;
    fs::remove(hdr, e1);
    bool datGone = fs::remove(*oldest, e2);
    // A failed deletion would make this loop find the same oldest file for ever.
    if (e1 || e2 || !datGone) return deleted;
    ++deleted;
  }
}

fs::path executableDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path defaultGlyphCacheDirectory(const fs::path& appDir) {
  fs::path own = appDir / "Font3DCache";
  std::error_code ec;
  // An installed program (data in ../share/zefra) keeps its bin folder clean even when it
  // could write there, as root can: the cache then goes to the per-user folder.
  const bool installed = !appDir.empty() && fs::is_directory(appDir / ".." / "share" / "zefra", ec);
  if (installed) {
  } else if (fs::is_directory(own, ec)) {
    if (::access(own.c_str(), W_OK | X_OK) == 0) return own;
  } else if (!appDir.empty() && ::access(appDir.c_str(), W_OK | X_OK) == 0) {
    return own;
  }
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return fs::path(xdg) / "zefra" / "Font3DCache";
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return fs::path(home) / ".cache" / "zefra" / "Font3DCache";
  return fs::temp_directory_path(ec) / "zefra" / "Font3DCache";
}

}  // namespace zefra::text3d
