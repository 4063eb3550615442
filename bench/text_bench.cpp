// 3D text speed: building the glyphs of a banner text from nothing (cold), drawing it again
// from the glyph cache (warm), and making its glyph set from the disk cache.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "raster/canvas.h"
#include "text3d/font_rasterizer.h"
#include "text3d/glyph_cache.h"
#include "text3d/text_drawing.h"

namespace {

using namespace zefra;
using namespace zefra::text3d;

constexpr const char* kBanner = "Zefra 3D Banner";
constexpr int kDistinctCharacters = 10;  // Z e f r a space 3 D B n

Font bannerFont() { return makeFont("Arial", 26); }

void bannerLook(Font3D& f3) {
  f3.setAntialiasing(true);
  f3.shadow().setStyle(ShadowStyle::Diffuse);
  f3.border().setHeight(2);
  f3.setFrontColor(rgb(230, 40, 40));
  f3.gradient().setActive(true);
  f3.gradient().setEndColor(rgb(255, 220, 0));
}

void drawBanner(GlyphCache& cache, raster::FastBitmap& bmp) {
  raster::Canvas canvas(bmp);
  Font3D f3;
  bannerLook(f3);
  textOut3D(canvas, 4, 4, TextAlignment::Left, bannerFont(), f3, kBanner, std::nullopt, cache);
}

// Every iteration starts with an empty glyph cache and no rendered characters.
void BM_ColdBuild(benchmark::State& state) {
  raster::FastBitmap bmp(468, 60);
  for (auto _ : state) {
    state.PauseTiming();
    auto cache = std::make_unique<GlyphCache>();
    cache->setUseDiskCache(false);
    FontRasterizer::releaseUnused();
    bmp.fill(rgb(255, 255, 255));
    state.ResumeTiming();
    drawBanner(*cache, bmp);
    benchmark::DoNotOptimize(bmp.bits());
  }
  state.counters["ms_per_char"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kDistinctCharacters,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ColdBuild)->Unit(benchmark::kMillisecond);

void BM_WarmDraw(benchmark::State& state) {
  GlyphCache cache;
  cache.setUseDiskCache(false);
  raster::FastBitmap bmp(468, 60);
  bmp.fill(rgb(255, 255, 255));
  drawBanner(cache, bmp);
  for (auto _ : state) {
    drawBanner(cache, bmp);
    benchmark::DoNotOptimize(bmp.bits());
  }
}
BENCHMARK(BM_WarmDraw)->Unit(benchmark::kMillisecond);

void BM_DiskLoad(benchmark::State& state) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "zefra_text_bench_XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::filesystem::path dir(tmpl);
  {
    GlyphCache writer;
    writer.setDiskCacheDirectory(dir);
    raster::FastBitmap bmp(468, 60);
    drawBanner(writer, bmp);
  }  // saves the set
  for (auto _ : state) {
    state.PauseTiming();
    auto cache = std::make_unique<GlyphCache>();
    cache->setDiskCacheDirectory(dir);
    Font3D f3;
    bannerLook(f3);
    state.ResumeTiming();
    int slot = cache->findOrMake(bannerFont(), f3);
    benchmark::DoNotOptimize(slot);
    state.PauseTiming();
    if (cache->statistics().setsLoaded != 1) state.SkipWithError("the set was not loaded from disk");
    cache->setUseDiskCache(false);  // no saving when it goes
    cache.reset();
    state.ResumeTiming();
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_DiskLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
