// The export of a full-length banner: 127 frames of 468 x 60 with a background gradient,
// a bevelled border band, shapes and a moving 3D text.
//
//   export_bench [benchmark options]   run the benchmarks
//   export_bench --dump DIR            write the rendered frames (frame-NNN.png), their
//                                      delays (delays.txt, hundredths) and Zefra's GIF
//                                      (zefra.gif) and the project (banner.lbl) for
//                                      bench/compare_export.sh, and print the export time
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_banners.h"
#include "export/animation_encoder.h"
#include "export/animation_export.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "gif/gif_image.h"
#include "io/lbl_writer.h"
#include "io/png_writer.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace {

using namespace zefra;

std::unique_ptr<model::LabelProject> benchProject() { return bench::fullBanner(model::kMaxFrames); }

std::vector<raster::FastBitmap> renderAll(model::LabelProject& project) {
  render::TextLayerRenderer texts(96);
  exporter::ProjectRenderer renderer(project, &texts);
  std::vector<raster::FastBitmap> frames;
  for (int i = 1; i <= project.frameCount; ++i) frames.push_back(renderer.render(i));
  return frames;
}

std::vector<int> delaysOf(const model::LabelProject& project) {
  std::vector<int> d;
  for (int i = 1; i <= project.frameCount; ++i) d.push_back(project.frame(i).delayMs);
  return d;
}

// The whole job: render, reduce, merge, optimise and write the bytes.
void BM_Export127Frames(benchmark::State& state) {
  auto project = benchProject();
  const exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
  std::size_t size = 0;
  for (auto _ : state) {
    gif::GifImage image;
    exporter::exportProject(*project, settings, image);
    size = image.saveToBytes().size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_Export127Frames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Render127Frames(benchmark::State& state) {
  auto project = benchProject();
  for (auto _ : state) benchmark::DoNotOptimize(renderAll(*project));
}
BENCHMARK(BM_Render127Frames)->Unit(benchmark::kMillisecond);

// From rendered frames to the file's bytes: what ImageMagick does from the PNG frames.
void BM_Assemble127Frames(benchmark::State& state) {
  auto project = benchProject();
  const auto frames = renderAll(*project);
  const exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
  for (auto _ : state) {
    gif::GifImage image;
    exporter::encodeProject(*project, settings, [&](int i) { return frames[static_cast<std::size_t>(i - 1)]; }, image);
    benchmark::DoNotOptimize(image.saveToBytes());
  }
}
BENCHMARK(BM_Assemble127Frames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AssembleClassic127Frames(benchmark::State& state) {
  auto project = benchProject();
  const auto frames = renderAll(*project);
  const auto delays = delaysOf(*project);
  const exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
  for (auto _ : state) {
    gif::GifImage image;
    exporter::assembleGif(frames, delays, true, settings, image);
    benchmark::DoNotOptimize(image.saveToBytes());
  }
}
BENCHMARK(BM_AssembleClassic127Frames)->Unit(benchmark::kMillisecond)->UseRealTime();

double secondsOf(const std::function<void()>& job, int runs) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    job();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

int dump(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  auto project = benchProject();
  const auto frames = renderAll(*project);
  const auto delays = delaysOf(*project);
  std::ofstream delayFile(dir / "delays.txt");
  for (std::size_t i = 0; i < frames.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03zu.png", i + 1);
    io::writePngFile(frames[i], dir / name);
    delayFile << exporter::delayCentiseconds(delays[i]) << "\n";
  }
  {
    // The writer stores paths relative to the project, so it writes a copy.
    model::LabelProject copy = *project;
    io::writeLblFile(dir / "banner.lbl", copy);
  }
  const exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
  std::vector<std::uint8_t> bytes;
  const double full = secondsOf(
      [&] {
        gif::GifImage image;
        exporter::exportProject(*project, settings, image);
        bytes = image.saveToBytes();
      },
      3);
  const double assemble = secondsOf(
      [&] {
        gif::GifImage image;
        exporter::encodeProject(*project, settings, [&](int i) { return frames[static_cast<std::size_t>(i - 1)]; },
                                image);
        bytes = image.saveToBytes();
      },
      3);
  std::ofstream(dir / "zefra.gif", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::printf("zefra_export_seconds %.3f\nzefra_assemble_seconds %.3f\nzefra_bytes %zu\n", full, assemble,
              bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--dump") == 0) return dump(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
