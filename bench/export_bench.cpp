// The export of a full-length banner: 127 frames of 468 x 60 with a background gradient,
// a bevelled border band, shapes and a moving 3D text.
//
//   export_bench [benchmark options]   run the benchmarks
//   export_bench --dump DIR            write the rendered frames (frame-NNN.png), their
//                                      delays (delays.txt, hundredths) and Zefra's GIF
//                                      (zefra.gif) for bench/compare_export.sh, and print
//                                      the export time
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

#include "export/animation_encoder.h"
#include "export/animation_export.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "gif/gif_image.h"
#include "io/png_writer.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace {

using namespace zefra;

std::unique_ptr<model::LabelProject> benchProject() {
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->screenDpi = 96;
  p->settings.designDpi = 96;
  model::FrameRecord& f = p->frame(1);
  f.width = 468;
  f.height = 60;
  f.gradientOn = 1;
  f.gradientStyle = 0;
  f.gradientColor1 = rgb(20, 30, 120);
  f.gradientColor2 = rgb(120, 200, 255);
  f.bordersOn = 1;
  f.borderInnerStyle = 1;
  f.borderOuterStyle = 2;
  f.bevelWidth = 2;
  f.borderWidth = 2;
  f.borderColor = rgb(40, 40, 60);
  f.shapeStyle[0] = 2;
  f.shapeX[0] = 10;
  f.shapeY[0] = 12;
  f.shapeWidth[0] = 60;
  f.shapeHeight[0] = 36;
  f.shapeFillColor[0] = rgb(255, 210, 40);
  f.shapeBorderColor[0] = rgb(120, 60, 0);
  f.shapeBorderWidth[0] = 2;
  f.shapeStyle[1] = 1;
  f.shapeX[1] = 400;
  f.shapeY[1] = 8;
  f.shapeWidth[1] = 50;
  f.shapeHeight[1] = 44;
  f.shapeFillColor[1] = rgb(200, 30, 60);
  f.text[0].assign("Zefra banners");
  f.fontName[0].assign("DejaVu Sans");
  f.fontSize[0] = 22;
  f.fontBold[0] = 1;
  f.textY[0] = 8;
  f.textGradientOn[0] = 1;
  f.textGradientColor1[0] = rgb(255, 240, 80);
  f.textGradientColor2[0] = rgb(255, 90, 0);
  f.text3DColor[0] = rgb(90, 40, 0);
  f.textBorderWidth[0] = 3;
  p->frameCount = model::kMaxFrames;
  for (int i = 1; i <= model::kMaxFrames; ++i) {
    model::FrameRecord& r = p->frame(i);
    if (i > 1) r = f;
    r.delayMs = 60;
    r.textX[0] = static_cast<std::int16_t>(470 - 5 * i);  // scrolls right to left
    r.shapeY[0] = static_cast<std::int16_t>(12 + (i % 8) - 4);
  }
  return p;
}

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
