// Frame rendering speed: a full frame (pyramid gradient, border band, 10 shapes, 3 BMP
// pictures) at the default 468 x 60 and at 1200 x 300. "Cached" repeats the same frame, as
// an export of frames sharing their gradient does; "NewGradient" changes the gradient's
// colour every frame so it is rendered again each time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "io/png_writer.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"
#include "render/frame_canvas.h"

using namespace zefra;
namespace fs = std::filesystem;

namespace {

// Writes a w x h 24-bit BMP with a simple pattern and answers its path.
std::string writeBmp(const fs::path& dir, const std::string& name, int w, int h) {
  const int stride = (3 * w + 3) / 4 * 4;
  std::vector<std::uint8_t> b(54 + static_cast<std::size_t>(stride) * h, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &b[54 + static_cast<std::size_t>(y) * stride + 3 * x];
      p[0] = static_cast<std::uint8_t>(x * 5);
      p[1] = static_cast<std::uint8_t>(y * 9);
      p[2] = 200;
    }
  const fs::path path = dir / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return path.string();
}

std::unique_ptr<model::FrameRecord> makeFrame(int width, int height) {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / "zefra_render_bench";
    fs::create_directories(d);
    return d;
  }();
  auto r = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
  r->width = static_cast<std::int16_t>(width);
  r->height = static_cast<std::int16_t>(height);
  r->gradientOn = 1;
  r->gradientStyle = 8;  // pyramid
  r->bordersOn = 1;
  r->borderInnerStyle = 1;
  r->borderOuterStyle = 2;
  r->bevelWidth = 2;
  r->borderWidth = 3;
  const double sx = width / 468.0;
  const double sy = height / 60.0;
  for (int k = 0; k < model::kSlots; ++k) {
    r->shapeStyle[k] = static_cast<std::uint8_t>(1 + k % 2);
    r->shapeX[k] = static_cast<std::int16_t>((10 + 45 * k) * sx);
    r->shapeY[k] = static_cast<std::int16_t>((5 + 3 * k) * sy);
    r->shapeWidth[k] = static_cast<std::int16_t>(40 * sx);
    r->shapeHeight[k] = static_cast<std::int16_t>(25 * sy);
    r->shapeBorderWidth[k] = static_cast<std::uint8_t>(1 + k % 4);
  }
  for (int k = 0; k < 3; ++k) {
    r->pictureFile[k].assign(writeBmp(dir, "pic" + std::to_string(k) + ".bmp", static_cast<int>(48 * sx), static_cast<int>(32 * sy)));
    r->pictureX[k] = static_cast<std::int16_t>((60 + 140 * k) * sx);
    r->pictureY[k] = static_cast<std::int16_t>(12 * sy);
  }
  return r;
}

void frameCached(benchmark::State& state) {
  auto r = makeFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  render::FrameCanvas canvas;
  canvas.draw(*r);  // first layout reads the pictures
  for (auto _ : state) {
    canvas.draw(*r);
    benchmark::DoNotOptimize(canvas.bitmap().bits());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void frameNewGradient(benchmark::State& state) {
  auto r = makeFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  render::FrameCanvas canvas;
  canvas.draw(*r);
  std::uint8_t shade = 0;
  for (auto _ : state) {
    r->gradientColor2 = rgb(0, 0, ++shade);
    canvas.draw(*r);
    benchmark::DoNotOptimize(canvas.bitmap().bits());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(frameCached)->Args({468, 60})->Args({1200, 300})->Unit(benchmark::kMicrosecond);
BENCHMARK(frameNewGradient)->Args({468, 60})->Args({1200, 300})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
