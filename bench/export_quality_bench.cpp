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

struct Case {
  std::string name;
  std::unique_ptr<model::LabelProject> project;
};

// A moving 3D "Zefra" over a gradient: the case where brightness-matched colours turned
// the green border and the shadow into speckles.
std::unique_ptr<model::LabelProject> gradientText(int frames) {
  auto p = blank(468, 60, frames);
  model::FrameRecord& f = p->frame(1);
  withSkyGradient(f);
  withText3d(f, "Zefra", 26);
  animate(*p, [&](model::FrameRecord& r, int i) {
    r.textX[0] = static_cast<std::int16_t>(460 - (i - 1) * 460 / frames);
    r.delayMs = 80;
  });
  return p;
}


// Flat colours only: shapes and plain texts that move and change colour.
std::unique_ptr<model::LabelProject> shapes(int frames) {
  auto p = blank(468, 60, frames);
  model::FrameRecord& f = p->frame(1);
  f.frameColor = rgb(250, 248, 240);
  f.bordersOn = 1;
  f.borderOuterStyle = 2;
  f.bevelWidth = 1;
  f.borderWidth = 1;
  f.borderColor = rgb(30, 30, 30);
  for (int k = 0; k < 3; ++k) {
    f.shapeStyle[k] = static_cast<std::uint8_t>(1 + k % 2);
    f.shapeY[k] = static_cast<std::int16_t>(8 + 6 * k);
    f.shapeWidth[k] = static_cast<std::int16_t>(40 + 10 * k);
    f.shapeHeight[k] = 30;
    f.shapeFillColor[k] = rgb(static_cast<std::uint8_t>(60 * k + 40), 90, static_cast<std::uint8_t>(200 - 50 * k));
    f.shapeBorderColor[k] = rgb(20, 20, 20);
    f.shapeBorderWidth[k] = 2;
  }
  f.text[1].assign("Spring sale");
  f.fontName[1].assign("DejaVu Sans");
  f.fontSize[1] = 16;
  f.fontColor[1] = rgb(200, 20, 40);
  f.textX[1] = 180;
  f.textY[1] = 14;
  animate(*p, [&](model::FrameRecord& r, int i) {
    r.delayMs = 100;
    for (int k = 0; k < 3; ++k) r.shapeX[k] = static_cast<std::int16_t>((20 + 140 * k + 9 * i) % 440);
    if (i % 3 == 0) r.fontColor[1] = rgb(20, 60, 200);
  });
  return p;
}

// Photographs: two pictures sliding over a gradient, with a textured 3D text.
std::unique_ptr<model::LabelProject> pictures(int frames) {
  auto p = blank(468, 60, frames);
  model::FrameRecord& f = p->frame(1);
  f.gradientOn = 1;
  f.gradientStyle = 1;
  f.gradientColor1 = rgb(240, 230, 200);
  f.gradientColor2 = rgb(90, 60, 30);
  f.pictureFile[0].assign(std::string(ZEFRA_SOURCE_DIR) + "/textures/sky.bmp");
  f.pictureFile[1].assign(std::string(ZEFRA_SOURCE_DIR) + "/textures/marble.bmp");
  f.pictureY[0] = 0;
  f.pictureY[1] = 0;
  withText3d(f, "Zefra", 24);
  f.textureFile[0].assign(std::string(ZEFRA_SOURCE_DIR) + "/textures/gold.bmp");
  animate(*p, [&](model::FrameRecord& r, int i) {
    r.delayMs = 100;
    r.pictureX[0] = static_cast<std::int16_t>(-40 + 3 * i * 12 / frames * 4);
    r.pictureX[1] = static_cast<std::int16_t>(330 - 2 * i * 12 / frames * 4);
    r.textX[0] = static_cast<std::int16_t>(150 + 4 * i * 12 / frames);
  });
  return p;
}

// Every frame a different gradient: nothing repeats between frames.
std::unique_ptr<model::LabelProject> gradients(int frames) {
  auto p = blank(468, 60, frames);
  animate(*p, [&](model::FrameRecord& r, int i) {
    r.delayMs = 50;
    r.gradientOn = 1;
    r.gradientStyle = static_cast<std::uint8_t>(i % 9);
    r.gradientColor1 = rgb(static_cast<std::uint8_t>(255 - 2 * i), static_cast<std::uint8_t>(40 + i), 30);
    r.gradientColor2 = rgb(20, static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(255 - i));
  });
  return p;
}

std::vector<Case> cases() {
  std::vector<Case> out;
  const fs::path demoDir = fs::path(ZEFRA_SOURCE_DIR) / "demo";
  std::vector<fs::path> demos;
  if (fs::is_directory(demoDir))
    for (const auto& entry : fs::directory_iterator(demoDir))
      if (entry.path().extension() == ".lbl") demos.push_back(entry.path());
  std::sort(demos.begin(), demos.end());
  for (const auto& path : demos) {
    auto project = std::make_unique<model::LabelProject>();
    editor::openProjectFile(path, *project);
    project->screenDpi = project->settings.designDpi > 0 ? project->settings.designDpi : 96;
    project->appDir = std::string(ZEFRA_SOURCE_DIR) + "/";
    out.push_back({"demo-" + path.stem().string(), std::move(project)});
  }
  for (int frames : {12, 127}) {
    const auto named = [frames](const char* what) {
      char text[48];
      std::snprintf(text, sizeof text, "%s-%d", what, frames);
      return std::string(text);
    };
    out.push_back({named("gradient-text"), gradientText(frames)});
    out.push_back({named("banner"), fullBanner(frames)});
    out.push_back({named("shapes"), shapes(frames)});
    out.push_back({named("pictures"), pictures(frames)});
    out.push_back({named("gradients"), gradients(frames)});
  }
  return out;
}

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
  for (Case& c : cases()) {
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
