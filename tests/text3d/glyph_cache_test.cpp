#include <gtest/gtest.h>

#include <fstream>

#include "text3d/glyph_cache.h"
#include "text3d/glyph_disk_cache.h"
#include "text3d/text_drawing.h"
#include "text3d_test_support.h"

namespace zefra::text3d {
namespace {

using testing::memoryOnlyCache;

void configure(Font3D& f3) {
  f3.shadow().setStyle(ShadowStyle::Diffuse);
  f3.border().setHeight(2);
}

TEST(GlyphCacheIdentity, ColoursGradientTextureAndMarginReuseTheSet) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 18);
  Font3D f3;
  configure(f3);
  int slot = cache->findOrMake(font, f3);
  textWidth3D(font, f3, "Banner", *cache);
  int built = cache->statistics().glyphsBuilt;
  EXPECT_EQ(built, 5);  // B a n e r

  f3.setFrontColor(rgb(255, 0, 0));
  f3.border().setColor(rgb(0, 0, 255));
  f3.gradient().setActive(true);
  f3.gradient().setBeginColor(rgb(1, 2, 3));
  f3.setCharacterMargin(4);
  raster::FastBitmap tex(2, 2);
  tex.fill(rgb(9, 9, 9));
  f3.setBitmap(tex);
  font.color = rgb(7, 7, 7);
  EXPECT_EQ(cache->findOrMake(font, f3), slot);
  textWidth3D(font, f3, "Banner", *cache);
  EXPECT_EQ(cache->statistics().glyphsBuilt, built);
  EXPECT_EQ(cache->statistics().setsMade, 1);
}

TEST(GlyphCacheIdentity, ShapeSettingsMakeNewSets) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 18);
  Font3D f3;
  configure(f3);
  int first = cache->findOrMake(font, f3);

  f3.setViewDirection(136);
  int turned = cache->findOrMake(font, f3);
  EXPECT_NE(turned, first);
  f3.setViewDirection(135);
  EXPECT_EQ(cache->findOrMake(font, f3), first);

  f3.shadow().setColor(33);
  EXPECT_NE(cache->findOrMake(font, f3), first);
  f3.shadow().setColor(32);
  f3.setAntialiasing(false);
  EXPECT_NE(cache->findOrMake(font, f3), first);
  f3.setAntialiasing(true);
  Font bold = font;
  bold.style = kBold;
  EXPECT_NE(cache->findOrMake(bold, f3), first);
  Font otherName = font;
  otherName.name = "arial";  // names compare exactly
  EXPECT_NE(cache->findOrMake(otherName, f3), first);
  EXPECT_EQ(cache->statistics().setsMade, 6);

  // Altitude and border height count to a hundredth.
  f3.setAltitude(3.004);
  EXPECT_EQ(cache->findOrMake(font, f3), first);
  f3.setAltitude(3.01);
  EXPECT_NE(cache->findOrMake(font, f3), first);
}

TEST(GlyphCacheIdentity, AHitCopiesTheSetsOverlap) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 18);
  Font3D a;
  configure(a);
  textWidth3D(font, a, "x", *cache);
  Font3D b;
  configure(b);
  b.setGlyphOverlap(99);
  cache->findOrMake(font, b);
  EXPECT_EQ(b.glyphOverlap(), a.glyphOverlap());
  EXPECT_LT(a.glyphOverlap(), 0);
}

TEST(GlyphCacheSlots, RoundRobinEvictionOverTheMemoryLimit) {
  auto cache = memoryOnlyCache();
  Font3D f3;
  configure(f3);
  auto makeAt = [&](int view) {
    f3.setViewDirection(view);
    int slot = cache->findOrMake(makeFont("Arial", 10), f3);
    cache->glyph(slot, 'a', f3);
    return slot;
  };
  EXPECT_EQ(makeAt(10), 1);
  EXPECT_EQ(makeAt(20), 2);
  EXPECT_EQ(makeAt(30), 3);
  EXPECT_EQ(cache->statistics().evictions, 0);

  cache->setMemoryCacheSizeMax(1);  // from now on the cache is over its limit
  // Before any eviction the walk evicts on reaching slot 2; the pointer moves to slot 1.
  EXPECT_EQ(makeAt(40), 1);
  EXPECT_EQ(makeAt(50), 2);
  EXPECT_EQ(makeAt(60), 3);
  // Slot 4 is the one after the pointer: the walk evicts there, and the pointer wraps
  // past the empty slots to slot 1.
  EXPECT_EQ(makeAt(70), 1);
  EXPECT_EQ(cache->statistics().evictions, 4);
  EXPECT_EQ(cache->usedSlotCount(), 3);
  EXPECT_EQ(cache->set(1).settings.viewDirection, 70);
  EXPECT_EQ(cache->set(2).settings.viewDirection, 50);
  EXPECT_EQ(cache->set(3).settings.viewDirection, 60);
}

TEST(GlyphCacheSlots, AFullTableEvictsOneSet) {
  auto cache = memoryOnlyCache();
  Font3D f3;
  for (int i = 0; i < GlyphCache::kSlotCount; ++i) {
    f3.shadow().setColor(i);
    EXPECT_EQ(cache->findOrMake(makeFont("Arial", 10), f3), i + 1);
  }
  EXPECT_EQ(cache->statistics().evictions, 0);
  f3.shadow().setColor(5000);
  EXPECT_EQ(cache->findOrMake(makeFont("Arial", 10), f3), 1);
  EXPECT_EQ(cache->statistics().evictions, 1);
  EXPECT_EQ(cache->usedSlotCount(), GlyphCache::kSlotCount);
}

TEST(GlyphCacheMemory, CountsBuiltGlyphPixels) {
  auto cache = memoryOnlyCache();
  Font3D f3;
  int slot = cache->findOrMake(makeFont("Arial", 12), f3);
  EXPECT_EQ(cache->memoryUsage(), 0);
  const Glyph& a = cache->glyph(slot, 'A', f3);
  std::int64_t expected = static_cast<std::int64_t>(a.width) * a.height * 3;
  const Glyph& b = cache->glyph(slot, 'b', f3);
  expected += static_cast<std::int64_t>(b.width) * b.height * 3;
  EXPECT_EQ(cache->memoryUsage(), expected);
}

}  // namespace
}  // namespace zefra::text3d
