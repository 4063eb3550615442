// The material of the export quality comparison (bench/export_quality.py): every sample
// project and a set of generated banners (gradients, 3D text, shapes, pictures; 12 and
// 127 frames) are rendered once, and exported from those rendered frames with the
// standard and the classic pipeline.
//
//   export_quality_bench OUT_DIR [RUNS]
//
// For each case OUT_DIR/<case>/ receives frame-NNN.png, delays.txt (hundredths of a
// second, one per frame), info.txt (transparent colour as #RRGGBB or "-", loop),
// standard.gif, classic.gif and times.txt (median seconds of RUNS exports, default 5,
// from the rendered frames to the file's bytes; also the processor seconds of the
// standard export).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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
#include "editor/project_file.h"
#include "export/project_renderer.h"
#include "gif/gif_image.h"
#include "io/lbl_reader.h"
#include "io/png_writer.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace {

using namespace zefra;
using namespace zefra::bench;
namespace fs = std::filesystem;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Wall-clock seconds; `cpu` receives the processor seconds of the whole process, which
// stay meaningful on a machine busy with other work.
double secondsOf(const std::function<void()>& job, double* cpu = nullptr) {
  const auto t0 = std::chrono::steady_clock::now();
  const std::clock_t c0 = std::clock();
  job();
  if (cpu) *cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: export_quality_bench OUT_DIR [RUNS]\n");
    return 2;
  }
  const fs::path out = argv[1];
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
  for (NamedBanner& c : demosAndBanners()) {
    model::LabelProject& project = *c.project;
    const fs::path dir = out / c.name;
    fs::create_directories(dir);
    std::vector<raster::FastBitmap> frames;
    {
      render::TextLayerRenderer texts(project.screenDpi);
      exporter::ProjectRenderer renderer(project, &texts);
      for (int i = 1; i <= project.frameCount; ++i) frames.push_back(renderer.render(i));
    }
    std::vector<int> delays;
    std::ofstream delayFile(dir / "delays.txt");
    for (int i = 1; i <= project.frameCount; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%03d.png", i);
      io::writePngFile(frames[static_cast<std::size_t>(i - 1)], dir / name);
      delays.push_back(project.frame(i).delayMs);
      delayFile << exporter::delayCentiseconds(project.frame(i).delayMs) << "\n";
    }
    const exporter::ExportSettings settings = exporter::exportSettingsOf(project);
    {
      char colour[16] = "-";
      if (settings.transparent)
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", redOf(settings.transparentColor),
                      greenOf(settings.transparentColor), blueOf(settings.transparentColor));
      std::ofstream(dir / "info.txt") << colour << " " << (settings.loop ? 1 : 0) << "\n";
    }
    const exporter::FrameSource source = [&](int i) { return frames[static_cast<std::size_t>(i - 1)]; };
    std::vector<std::uint8_t> standard, classic;
    std::vector<double> standardTimes, classicTimes, standardCpu;
    for (int r = 0; r < runs; ++r) {
      double cpu = 0;
      standardTimes.push_back(secondsOf(
          [&] {
            gif::GifImage image;
            exporter::encodeProject(project, settings, source, image);
            standard = image.saveToBytes();
          },
          &cpu));
      standardCpu.push_back(cpu);
      classicTimes.push_back(secondsOf([&] {
        gif::GifImage image;
        exporter::assembleGif(frames, delays, exporter::ditherKindFor(project) == gif::DitherKind::FloydSteinberg,
                              settings, image);
        classic = image.saveToBytes();
      }));
    }
    writeBytes(dir / "standard.gif", standard);
    writeBytes(dir / "classic.gif", classic);
    std::ofstream(dir / "times.txt") << "standard " << median(standardTimes) << "\nclassic " << median(classicTimes)
                                     << "\nstandard-cpu " << median(standardCpu) << "\n";
    std::printf("%s: %d frames\n", c.name.c_str(), project.frameCount);
  }
  return 0;
}
