#pragma once
// The disk copy of glyph sets: one ".Hdr" record of 2188 bytes and one ".Dat" file of
// glyph pixels per set, named from the set's settings. Every operation here answers
// success or failure and never throws: the disk cache only saves time, so a missing,
// unreadable or damaged file must never stop text from being drawn.

#include <cstdint>
#include <filesystem>
#include <string>

#include "text3d/glyph_set.h"

namespace zefra::text3d {

inline constexpr std::size_t kGlyphHeaderSize = 2188;

// The file name stem (without extension) of a set's pair of files.
std::string glyphSetKey(const GlyphSet& set);

// The header record of a set, byte for byte.
std::string encodeGlyphHeader(const GlyphSet& set);

// Writes the pair of files of `set` into `directory` (created if missing). Each file is
// written beside its final name and renamed into place.
bool writeGlyphSet(const std::filesystem::path& directory, const GlyphSet& set);

// Fills the glyphs of `set` from its pair of files. Fails, leaving `set` untouched, when a
// file is missing or unreadable, the header describes other settings than those of `set`,
// or the data file does not hold exactly the glyphs the header lists.
bool loadGlyphSet(const std::filesystem::path& directory, GlyphSet& set);

bool glyphHeaderExists(const std::filesystem::path& directory, const GlyphSet& set);

// Deletes the oldest pairs until the ".Dat" files plus 2188 bytes each fit in `maxBytes`.
// Stops early when a deletion fails. Answers the number of pairs deleted.
int trimGlyphDiskCache(const std::filesystem::path& directory, std::int64_t maxBytes);

// The folder holding this program's executable.
std::filesystem::path executableDirectory();

// appDir/"Font3DCache" when that folder is writable (or can be created) and the program
// is not installed (no ../share/zefra beside appDir), else the per-user cache folder
// $XDG_CACHE_HOME/zefra/Font3DCache (~/.cache when unset).
std::filesystem::path defaultGlyphCacheDirectory(const std::filesystem::path& appDir);

}  // namespace zefra::text3d
