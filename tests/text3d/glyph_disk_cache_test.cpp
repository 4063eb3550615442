#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <fstream>

#include "raster/canvas.h"
#include "text3d/glyph_cache.h"
#include "text3d/glyph_disk_cache.h"
#include "text3d/text_drawing.h"
#include "text3d_test_support.h"

namespace zefra::text3d {
namespace {

namespace fs = std::filesystem;
using testing::diskCache;
using testing::TempDir;

constexpr const char* kText = "Zefra 3D";

Font bannerFont() { return makeFont("Arial", 20, kBold); }

void bannerLook(Font3D& f3) {
  f3.shadow().setStyle(ShadowStyle::Diffuse);
  f3.border().setHeight(2);
  f3.setFrontColor(rgb(200, 40, 40));
}

// Draws the banner text with `cache` and answers the picture.
raster::FastBitmap draw(GlyphCache& cache) {
  raster::FastBitmap bmp(240, 50);
  bmp.fill(rgb(255, 255, 255));
  raster::Canvas canvas(bmp);
  Font3D f3;
  bannerLook(f3);
  textOut3D(canvas, 3, 2, TextAlignment::Left, bannerFont(), f3, kText, std::nullopt, cache);
  return bmp;
}

std::string keyOfBanner() {
  GlyphSet set;
  set.font = bannerFont();
  Font3D f3;
  bannerLook(f3);
  set.settings = f3.settings();
  return glyphSetKey(set);
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::int32_t i32At(const std::string& s, std::size_t at) {
  return static_cast<std::int32_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
                                   static_cast<std::uint8_t>(s[at + 2]) << 16 |
                                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24);
}

TEST(GlyphDiskCache, KeyIsTheSettingsWithoutSeparators) {
  // style 1, pitch 0, size 20, height -27, altitude 300, border 200, shadow 32 * 100,
  // view 135 * 100, anti-aliasing 1, diffuse 1, flying 0, name.
  EXPECT_EQ(keyOfBanner(), "1020-2730020032001350011" "0Arial");
}

TEST(GlyphDiskCache, SecondInstanceLoadsInsteadOfBuilding) {
  TempDir dir;
  raster::FastBitmap first;
  {
    auto cache = diskCache(dir.path());
    first = draw(*cache);
    EXPECT_EQ(cache->statistics().glyphsBuilt, 8);  // Z e f r a, space, 3, D
  }  // the end of the "program" writes every set
  std::string hdr = readFile(dir.path() / (keyOfBanner() + ".Hdr"));
  ASSERT_EQ(hdr.size(), kGlyphHeaderSize);
  EXPECT_EQ(i32At(hdr, 4), 20);
  EXPECT_EQ(i32At(hdr, 8), 96);
  EXPECT_EQ(static_cast<int>(hdr[12]), 5);
  EXPECT_EQ(hdr.substr(13, 5), "Arial");
  EXPECT_EQ(static_cast<int>(hdr[113]), 1);
  EXPECT_EQ(i32At(hdr, 116), 300);
  EXPECT_EQ(i32At(hdr, 120), 200);
  EXPECT_EQ(i32At(hdr, 128), 135);
  EXPECT_LT(i32At(hdr, 132), 0);
  EXPECT_EQ(hdr[136], 1);
  std::int64_t dataBytes = 0;
  for (int c = 0; c < 256; ++c) {
    std::int32_t w = i32At(hdr, 140 + 4 * c), h = i32At(hdr, 1164 + 4 * c);
    bool inText = std::string_view(kText).find(static_cast<char>(c)) != std::string_view::npos;
    EXPECT_EQ(w != -1, inText) << c;
    if (w != -1) dataBytes += static_cast<std::int64_t>(w) * h * 3;
  }
  EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(dir.path() / (keyOfBanner() + ".Dat"))), dataBytes);

  auto second = diskCache(dir.path());
  raster::FastBitmap again = draw(*second);
  EXPECT_EQ(second->statistics().setsLoaded, 1);
  EXPECT_EQ(second->statistics().glyphsBuilt, 0);
  EXPECT_TRUE(again == first);
}

// Runs a first instance, damages its files with `damage`, and checks that a second
// instance still draws the same picture, and that its saved pair loads again afterwards.
void expectRecoversFrom(const std::function<void(const fs::path& hdr, const fs::path& dat)>& damage) {
  TempDir dir;
  raster::FastBitmap first;
  {
    auto cache = diskCache(dir.path());
    first = draw(*cache);
  }
  fs::path hdr = dir.path() / (keyOfBanner() + ".Hdr");
  fs::path dat = dir.path() / (keyOfBanner() + ".Dat");
  damage(hdr, dat);
  {
    auto cache = diskCache(dir.path());
    EXPECT_TRUE(draw(*cache) == first);
    EXPECT_EQ(cache->statistics().setsLoaded, 0);
    EXPECT_GT(cache->statistics().glyphsBuilt, 0);
  }
  auto third = diskCache(dir.path());
  EXPECT_TRUE(draw(*third) == first);
  EXPECT_EQ(third->statistics().setsLoaded, 1) << "the bad pair was not overwritten";
  EXPECT_EQ(third->statistics().glyphsBuilt, 0);
}

TEST(GlyphDiskCache, HeaderWithoutDataIsRebuilt) {
  expectRecoversFrom([](const fs::path&, const fs::path& dat) { fs::remove(dat); });
}

TEST(GlyphDiskCache, ShortDataIsRebuilt) {
  expectRecoversFrom([](const fs::path&, const fs::path& dat) { fs::resize_file(dat, fs::file_size(dat) - 1); });
}

TEST(GlyphDiskCache, HeaderOfOtherSettingsIsRebuilt) {
  expectRecoversFrom([](const fs::path& hdr, const fs::path&) {
    std::string h = readFile(hdr);
    h[128] = 44;  // another view direction under the same file name
    std::ofstream(hdr, std::ios::binary | std::ios::trunc) << h;
  });
}

TEST(GlyphDiskCache, GarbageHeaderIsRejectedWithoutAllocating) {
  expectRecoversFrom([](const fs::path& hdr, const fs::path&) {
    std::string h = readFile(hdr);
    for (int c = 0; c < 256; ++c) h[140 + 4 * c + 3] = 0x7F;  // widths near 2^31
    std::ofstream(hdr, std::ios::binary | std::ios::trunc) << h;
  });
}

TEST(GlyphDiskCache, TruncatedHeaderIsRebuilt) {
  expectRecoversFrom([](const fs::path& hdr, const fs::path&) { fs::resize_file(hdr, 100); });
}

TEST(GlyphDiskCache, UncreatableFolderNeverBreaksDrawing) {
  TempDir dir;
  fs::path blocker = dir.path() / "file";
  std::ofstream(blocker) << "x";
  raster::FastBitmap expected;
  {
    auto reference = testing::memoryOnlyCache();
    expected = draw(*reference);
  }
  auto cache = diskCache(blocker / "Font3DCache");
  EXPECT_TRUE(draw(*cache) == expected);
  cache->saveAll();
  EXPECT_GT(cache->statistics().diskFailures, 0);
  EXPECT_EQ(cache->statistics().diskWrites, 0);
}

TEST(GlyphDiskCache, UnwritableFileNeverBreaksDrawing) {
  TempDir dir;
  // A folder where the data file should go: neither readable as a file nor replaceable.
  fs::create_directories(dir.path() / (keyOfBanner() + ".Dat") / "sub");
  auto cache = diskCache(dir.path());
  raster::FastBitmap bmp = draw(*cache);
  cache->saveAll();
  EXPECT_GT(cache->statistics().diskFailures, 0);
  EXPECT_FALSE(fs::exists(dir.path() / (keyOfBanner() + ".Hdr")));
  EXPECT_NE(bmp.pixel(10, 20), rgb(255, 255, 255));
}

void writeSized(const fs::path& p, std::size_t bytes, int ageSeconds) {
  std::ofstream(p, std::ios::binary) << std::string(bytes, 'x');
  fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
}

TEST(GlyphDiskCacheTrim, DeletesTheOldestPairsUntilWithinTheLimit) {
  TempDir dir;
  const fs::path& d = dir.path();
  for (auto [name, age] : {std::pair{"a", 300}, {"b", 100}, {"c", 200}, {"d", 50}}) {
    writeSized(d / (std::string(name) + ".Dat"), 1000, age);
    writeSized(d / (std::string(name) + ".Hdr"), kGlyphHeaderSize, age);
  }
  std::ofstream(d / "notes.txt") << std::string(50000, 'n');  // not a cache file
  // Each pair counts 1000 + 2188 = 3188; four pairs 12752. A limit of 7000 keeps two.
  EXPECT_EQ(trimGlyphDiskCache(d, 7000), 2);
  EXPECT_FALSE(fs::exists(d / "a.Dat"));
  EXPECT_FALSE(fs::exists(d / "a.Hdr"));
  EXPECT_FALSE(fs::exists(d / "c.Dat"));
  EXPECT_FALSE(fs::exists(d / "c.Hdr"));
  EXPECT_TRUE(fs::exists(d / "b.Dat"));
  EXPECT_TRUE(fs::exists(d / "d.Hdr"));
  EXPECT_TRUE(fs::exists(d / "notes.txt"));
  EXPECT_EQ(trimGlyphDiskCache(d, 6376), 0);  // exactly at the limit: nothing to do
}

TEST(GlyphDiskCacheTrim, StopsWhenADeletionFails) {
  TempDir dir;
  const fs::path& d = dir.path();
  writeSized(d / "old.Dat", 5000, 500);
  fs::create_directories(d / "old.Hdr" / "keep");  // cannot be deleted as a file
  writeSized(d / "mid.Dat", 5000, 200);
  writeSized(d / "new.Dat", 5000, 100);
  EXPECT_EQ(trimGlyphDiskCache(d, 0), 0);
  EXPECT_TRUE(fs::exists(d / "mid.Dat"));
  EXPECT_TRUE(fs::exists(d / "new.Dat"));
}

TEST(GlyphCacheFolder, OwnFolderWhenWritableElseThePerUserCache) {
  TempDir dir;
  EXPECT_EQ(defaultGlyphCacheDirectory(dir.path()), dir.path() / "Font3DCache");
  const char* oldXdg = std::getenv("XDG_CACHE_HOME");
  std::string saved = oldXdg ? oldXdg : "";
  ::setenv("XDG_CACHE_HOME", (dir.path() / "xdg").c_str(), 1);
  fs::path missing = dir.path() / "no" / "such" / "folder";
  EXPECT_EQ(defaultGlyphCacheDirectory(missing), dir.path() / "xdg" / "zefra" / "Font3DCache");
  ::unsetenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(defaultGlyphCacheDirectory(missing), fs::path(home) / ".cache" / "zefra" / "Font3DCache");
  }
  if (oldXdg) ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
}

TEST(GlyphCacheFolder, InstalledProgramNeverWritesBesideItsBinary) {
  TempDir dir;
  fs::create_directories(dir.path() / "bin");
  fs::create_directories(dir.path() / "share" / "zefra");
  const char* oldXdg = std::getenv("XDG_CACHE_HOME");
  std::string saved = oldXdg ? oldXdg : "";
  ::setenv("XDG_CACHE_HOME", (dir.path() / "xdg").c_str(), 1);
  // bin/ is writable here, as /usr/bin is for root.
  EXPECT_EQ(defaultGlyphCacheDirectory(dir.path() / "bin"), dir.path() / "xdg" / "zefra" / "Font3DCache");
  if (oldXdg) ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace zefra::text3d
