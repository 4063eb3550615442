#pragma once
// The process-wide store of glyph sets: a table of 1000 slots with round-robin eviction
// once the glyph pixels exceed the memory limit, and a disk copy of every set so glyphs
// survive the end of the program. Colour changes reuse a set; anything that shapes the
// masks (font, 3D depth, shadow, view direction, anti-aliasing) makes a new one.
// Like all text drawing, a cache is used from one thread at a time.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "text3d/font.h"
#include "text3d/font3d.h"
#include "text3d/glyph_set.h"

namespace zefra::text3d {

class GlyphCache {
 public:
  static constexpr int kSlotCount = 1000;

  struct Statistics {
    int setsMade = 0;     // sets created on a miss
    int setsLoaded = 0;   // of those, filled from the disk cache
    int glyphsBuilt = 0;
    int evictions = 0;
    int diskWrites = 0;   // sets written successfully
    int diskFailures = 0; // writes or loads that failed (the set was built instead)
  };

  // The program's store. Its disk folder defaults to defaultGlyphCacheDirectory() of the
  // executable's folder, chosen on first use.
  static GlyphCache& shared();

  GlyphCache();
  // Saves every set (when the cache was used and the disk cache is on), like program end.
  ~GlyphCache();
  GlyphCache(const GlyphCache&) = delete;
  GlyphCache& operator=(const GlyphCache&) = delete;

  std::int64_t memoryCacheSizeMax() const { return memoryMax; }
  void setMemoryCacheSizeMax(std::int64_t bytes) { memoryMax = bytes; }
  std::int64_t diskCacheSizeMax() const { return diskMax; }
  void setDiskCacheSizeMax(std::int64_t bytes) { diskMax = bytes; }
  bool useDiskCache() const { return useDisk; }
  void setUseDiskCache(bool on) { useDisk = on; }
  std::filesystem::path diskCacheDirectory();
  void setDiskCacheDirectory(const std::filesystem::path& dir) { directory = dir; }

  // The slot (1..1000) of the set for this font and 3D appearance, made (and loaded from
  // disk when possible) if there is none. On a hit the set's glyph overlap is copied into
  // `font3d`.
  int findOrMake(const Font& font, Font3D& font3d);

  GlyphSet& set(int slot);
  bool slotUsed(int slot) const;
  int usedSlotCount() const;

  // Glyph `code` of the set in `slot`, built first when it is not built yet.
  const Glyph& glyph(int slot, std::uint8_t code, Font3D& font3d);

  // Bytes of glyph pixels held by all sets.
  std::int64_t memoryUsage() const { return memoryBytes; }

  bool writeSet(int slot);
  void trimDiskCache();
  // Writes every set to disk and trims once (what the end of the program does).
  void saveAll();

  const Statistics& statistics() const { return stats; }

 private:
  int evict();

  std::array<std::unique_ptr<GlyphSet>, kSlotCount + 1> slots;  // index 0 unused
  int evictionPointer = 0;
  bool everUsed = false;
  std::int64_t memoryBytes = 0;
  std::int64_t memoryMax = 1000000;
  std::int64_t diskMax = 5000000;
  bool useDisk = true;
  std::filesystem::path directory;
  Statistics stats;
};

}  // namespace zefra::text3d
