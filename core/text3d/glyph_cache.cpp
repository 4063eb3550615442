#include "text3d/glyph_cache.h"

#include <stdexcept>

#include "text3d/glyph_builder.h"
#include "text3d/glyph_disk_cache.h"

namespace zefra::text3d {

GlyphCache& GlyphCache::shared() {
  static GlyphCache cache;
  return cache;
}

GlyphCache::GlyphCache() = default;

GlyphCache::~GlyphCache() {
  if (everUsed && useDisk) saveAll();
}

std::filesystem::path GlyphCache::diskCacheDirectory() {
  if (directory.empty()) directory = defaultGlyphCacheDirectory(executableDirectory());
  return directory;
}

GlyphSet& GlyphCache::set(int slot) {
  if (slot < 1 || slot > kSlotCount || !slots[slot]) throw std::out_of_range("Glyph cache slot is empty");
  return *slots[slot];
}

bool GlyphCache::slotUsed(int slot) const {
  return slot >= 1 && slot <= kSlotCount && slots[slot] != nullptr;
}

int GlyphCache::usedSlotCount() const {
  int n = 0;
  while (n < kSlotCount && slots[n + 1]) ++n;
  return n;
}

int GlyphCache::evict() {
  do {
    evictionPointer = evictionPointer % kSlotCount + 1;
  } while (!slots[evictionPointer]);
  int slot = evictionPointer;
  if (useDisk) {
    writeSet(slot);
    trimDiskCache();
  }
  memoryBytes -= slots[slot]->byteCount();
  slots[slot].reset();
  ++stats.evictions;
  return slot;
}

int GlyphCache::findOrMake(const Font& font, Font3D& font3d) {
  everUsed = true;
  const Font3DSettings& wanted = font3d.settings();
  for (int slot = 1; slot <= kSlotCount && slots[slot]; ++slot) {
    GlyphSet& s = *slots[slot];
    if (sameGlyphSet(s.font, s.settings, font, wanted)) {
      font3d.setGlyphOverlap(s.settings.glyphOverlap);
      return slot;
    }
  }

  // Miss: the first empty slot. Stepping on from a used slot, the walk instead evicts when
  // it passes the end of the table, or when the cache is over its memory limit and the
  // walk reaches the slot after the last evicted one (slot 2 before any eviction): the
  // sets are replaced in turn and at most one set is evicted per new set.
  std::int64_t usage = memoryBytes;
  int evictAt = evictionPointer == 0 ? 2 : evictionPointer + 1;
  int chosen = 1;
  if (slots[1]) {
    for (;;) {
      ++chosen;
      if (chosen > kSlotCount || (usage > memoryMax && chosen == evictAt)) {
        chosen = evict();
        break;
      }
      if (!slots[chosen]) break;
    }
  }

  auto fresh = std::make_unique<GlyphSet>();
  fresh->font = font;
  fresh->settings = wanted;
  ++stats.setsMade;
  if (useDisk) {
    std::filesystem::path dir = diskCacheDirectory();
    if (glyphHeaderExists(dir, *fresh)) {
      if (loadGlyphSet(dir, *fresh)) {
        ++stats.setsLoaded;
        font3d.setGlyphOverlap(fresh->settings.glyphOverlap);
      } else {
        // A damaged or foreign pair: build afresh; the pair is overwritten when this set
        // is next written.
        ++stats.diskFailures;
        for (Glyph& g : fresh->glyphs) g = Glyph{};
      }
    }
  }
  memoryBytes += fresh->byteCount();
  slots[chosen] = std::move(fresh);
  return chosen;
}

const Glyph& GlyphCache::glyph(int slot, std::uint8_t code, Font3D& font3d) {
  GlyphSet& s = set(slot);
  Glyph& g = s.glyphs[code];
  if (!g.built()) {
    buildGlyph(s, font3d, code);
    memoryBytes += g.byteCount();
    ++stats.glyphsBuilt;
  }
  return g;
}

bool GlyphCache::writeSet(int slot) {
  if (!slotUsed(slot)) return false;
  bool ok = writeGlyphSet(diskCacheDirectory(), *slots[slot]);
  if (ok) ++stats.diskWrites;
  else ++stats.diskFailures;
  return ok;
}

void GlyphCache::trimDiskCache() { trimGlyphDiskCache(diskCacheDirectory(), diskMax); }

void GlyphCache::saveAll() {
  for (int slot = 1; slot <= kSlotCount && slots[slot]; ++slot) writeSet(slot);
  trimDiskCache();
}

}  // namespace zefra::text3d
