// Colour reduction speed and quality: octree to 256 colours, with and without
// Floyd-Steinberg, on a 468 x 60 banner frame and a 1000 x 1000 photo-like picture, side by
// side with ImageMagick 6's quantiser run on the same pictures as a peer.
//
//   colour_bench [benchmark options]
//
// Zefra's cases time mapToPalette alone (the picture is in memory) and report MB/s of
// 24-bit input. The peer cases time the whole command `convert-im6.q16 IN.png +dither
// -colors 256 OUT.gif` (or `-dither FloydSteinberg`), and, to isolate its quantiser, a
// baseline `convert-im6.q16 IN.png OUT.ppm` that decodes and writes without reducing; the
// counter `net_ms` is the difference. Times are CPU times (the peer's are its processes'
// CPU times), so a busy machine does not blur the comparison; MB/s are per CPU second. Every case reports `psnr_db` of its result against
// the original (computed here; the peer's GIF is read back with Zefra's reader).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "colour/color_reduction.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "colour/octree.h"
#include "io/png_writer.h"
#include "raster/fast_bitmap.h"

namespace {

using namespace zefra;

// Deterministic value noise, bilinear between lattice points.
double noise(std::uint32_t seed, double x, double y) {
  const auto hash = [seed](int ix, int iy) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(ix) * 0x9E3779B1u) ^ (static_cast<std::uint32_t>(iy) * 0x85EBCA77u);
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return static_cast<double>(h & 0xFFFF) / 65535.0;
  };
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  const double a = hash(ix, iy), b = hash(ix + 1, iy), c = hash(ix, iy + 1), d = hash(ix + 1, iy + 1);
  return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); }

// Smooth lighting, textured regions, a few hard edges and fine grain, like a photograph.
raster::FastBitmap photoLike(int w, int h) {
  raster::FastBitmap bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
      double r = 0, g = 0, b = 0;
      for (int o = 0; o < 5; ++o) {
        const double f = 4.0 * (1 << o), amp = 1.0 / (1 << o);
        r += amp * noise(11u + static_cast<std::uint32_t>(o), u * f, v * f);
        g += amp * noise(23u + static_cast<std::uint32_t>(o), u * f, v * f);
        b += amp * noise(37u + static_cast<std::uint32_t>(o), u * f, v * f);
      }
      const double light = 0.55 + 0.45 * std::sin(3.0 * u + 2.0 * v);
      const bool object = (u - 0.6) * (u - 0.6) + (v - 0.45) * (v - 0.45) < 0.05;
      const double grain = (noise(99u, x * 0.9, y * 0.9) - 0.5) * 18.0;
      if (object) {
        r = 200 * light + 40 * r;
        g = 90 * light + 50 * g;
        b = 40 + 30 * b;
      } else {
        r = 110 * r * light + 30;
        g = 120 * g * light + 40 * v + 20;
        b = 150 * b * light + 60 * (1 - v);
      }
      bmp.setPixel(x, y, rgb(clampByte(r + grain), clampByte(g + grain), clampByte(b + grain)));
    }
  return bmp;
}

// A banner frame: a two-colour gradient background, a bevelled band and some flat shapes.
raster::FastBitmap bannerLike(int w, int h) {
  raster::FastBitmap bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double t = static_cast<double>(x) / (w - 1);
      Color c = rgb(clampByte(20 + 200 * t), clampByte(40 + 80 * t), clampByte(160 - 120 * t));
      if (y < 3 || y >= h - 3) c = rgb(230, 230, 230);
      if (y >= 3 && y < 5) c = rgb(120, 120, 120);
      const int cx = x - 60, cy = y - 30;
      if (cx * cx + cy * cy < 400) c = rgb(250, 210, 0);
      if (x > 150 && x < 420 && y > 18 && y < 42 && ((x / 9 + y / 7) % 3 != 0)) c = rgb(255, 255, 255);
      bmp.setPixel(x, y, c);
    }
  return bmp;
}

double psnr(const raster::FastBitmap& original, const std::function<Color(int, int)>& shown) {
  double sum = 0;
  for (int y = 0; y < original.height(); ++y)
    for (int x = 0; x < original.width(); ++x) {
      const Color a = original.pixel(x, y), b = shown(x, y);
      const double dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
      sum += dr * dr + dg * dg + db * db;
    }
  const double mse = sum / (3.0 * original.width() * original.height());
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

const raster::FastBitmap& picture(int which) {
  static const raster::FastBitmap banner = bannerLike(468, 60);
  static const raster::FastBitmap photo = photoLike(1000, 1000);
  return which == 0 ? banner : photo;
}

std::filesystem::path workDir() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("zefra_colour_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

std::filesystem::path pngOf(int which) {
  const auto path = workDir() / (which == 0 ? "banner.png" : "photo.png");
  if (!std::filesystem::exists(path)) io::writePngFile(picture(which), path.string());
  return path;
}

void BM_ZefraOctree(benchmark::State& state) {
  const raster::FastBitmap& src = picture(static_cast<int>(state.range(0)));
  const auto dither = state.range(1) ? gif::DitherKind::FloydSteinberg : gif::DitherKind::Nearest;
  colour::IndexedBitmap out;
  for (auto _ : state) {
    out = colour::mapToPalette(src, gif::ReductionMode::Octree, dither, 8);
    benchmark::DoNotOptimize(out.row(0));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * src.width() * src.height() * 3);
  state.counters["psnr_db"] = psnr(src, [&](int x, int y) { return toColor(out.palette()[out.index(x, y)]); });
  if (dither == gif::DitherKind::Nearest) {
    // The same octree palette with every pixel searched exactly (no 5-bit cell memory):
    // shows how much of the loss comes from the palette and how much from the lookup.
    const colour::Palette palette = colour::octreePaletteOf(src, 256, 8, false);
    state.counters["psnr_exact_lookup_db"] = psnr(src, [&](int x, int y) {
      const Color c = src.pixel(x, y);
      Color best = palette.front();
      int bestScore = 1 << 30;
      for (Color p : palette) {
        const int score = std::abs(redOf(c) - redOf(p)) + std::abs(greenOf(c) - greenOf(p)) + std::abs(blueOf(c) - blueOf(p));
        if (score < bestScore) {
          bestScore = score;
          best = p;
        }
      }
      return best;
    });
  }
}

bool havePeer() { return std::system("command -v convert-im6.q16 >/dev/null 2>&1") == 0; }

// CPU time (user + system) the command's processes used, in milliseconds; the machine may
// be shared, so wall time would measure the neighbours too.
double childCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double runMs(const std::string& command) {
  const double before = childCpuMs();
  const int rc = std::system(command.c_str());
  if (rc != 0) return -1;
  return childCpuMs() - before;
}

void BM_ImageMagickQuantize(benchmark::State& state) {
  if (!havePeer()) {
    state.SkipWithError("convert-im6.q16 not installed");
    return;
  }
  const int which = static_cast<int>(state.range(0));
  const raster::FastBitmap& src = picture(which);
  const auto in = pngOf(which);
  const auto out = workDir() / "peer.gif";
  const std::string ditherArg = state.range(1) ? "-dither FloydSteinberg" : "+dither";
  const std::string quantize = "convert-im6.q16 " + in.string() + " " + ditherArg + " -colors 256 " + out.string();
  const std::string baseline = "convert-im6.q16 " + in.string() + " " + (workDir() / "peer.ppm").string();
  double total = 0, base = 0;
  for (auto _ : state) {
    const double q = runMs(quantize);
    const double b = runMs(baseline);
    if (q < 0 || b < 0) {
      state.SkipWithError("convert-im6.q16 failed");
      return;
    }
    state.SetIterationTime(q / 1000.0);
    total += q;
    base += b;
  }
  const double n = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * src.width() * src.height() * 3);
  state.counters["net_ms"] = (total - base) / n;
  state.counters["net_MB/s"] = (src.width() * src.height() * 3 / 1e6) / ((total - base) / n / 1000.0);
  gif::GifImage image;
  image.loadFromFile(out);
  const gif::GifFrame& f = image.frames()[0];
  state.counters["psnr_db"] = psnr(src, [&](int x, int y) { return toColor(f.effectiveColorMap()[f.pixelAt(x, y)]); });
}

// range(0): 0 = 468 x 60 banner, 1 = 1000 x 1000 photo; range(1): 1 = Floyd-Steinberg.
BENCHMARK(BM_ZefraOctree)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickQuantize)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(workDir(), ec);
  return 0;
}
