#pragma once
// Projects the benchmarks build in code, so each measures the same banners: a blank label
// of any size and length, per-frame variation, a 3D text style, the full-length banner
// (gradient, bevelled border band, shapes and scrolling 3D text), and the banners of the
// export quality comparison (gradients, 3D text, shapes, pictures).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/project_file.h"
#include "model/label_project.h"

namespace zefra::bench {

using namespace zefra;

inline std::unique_ptr<model::LabelProject> blank(int width, int height, int frames) {
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->screenDpi = 96;
  p->settings.designDpi = 96;
  p->appDir = std::string(ZEFRA_SOURCE_DIR) + "/";
  model::FrameRecord& f = p->frame(1);
  f.width = static_cast<std::int16_t>(width);
  f.height = static_cast<std::int16_t>(height);
  f.delayMs = 100;
  p->frameCount = static_cast<std::uint8_t>(frames);
  return p;
}

// Copies frame 1 to frames 2..frameCount and lets `vary` move things per frame.
inline void animate(model::LabelProject& p, const std::function<void(model::FrameRecord&, int)>& vary) {
  for (int i = 1; i <= p.frameCount; ++i) {
    if (i > 1) p.frame(i) = p.frame(1);
    vary(p.frame(i), i);
  }
}

// The dark-to-light blue background gradient of the generated banners.
inline void withSkyGradient(model::FrameRecord& f) {
  f.gradientOn = 1;
  f.gradientStyle = 0;
  f.gradientColor1 = rgb(20, 30, 120);
  f.gradientColor2 = rgb(120, 200, 255);
}

inline void withText3d(model::FrameRecord& f, const char* text, int size) {
  f.text[0].assign(text);
  f.fontName[0].assign("DejaVu Sans");
  f.fontSize[0] = static_cast<std::uint8_t>(size);
  f.fontBold[0] = 1;
  f.textY[0] = 6;
  f.textGradientOn[0] = 1;
  f.textGradientColor1[0] = rgb(255, 240, 80);
  f.textGradientColor2[0] = rgb(255, 90, 0);
  f.text3DColor[0] = rgb(20, 140, 40);
  f.textBorderWidth[0] = 3;
  f.shadowDarkness[0] = 60;
}

// Gradient, bevel, two shapes and a 3D text scrolling from right to left.
inline std::unique_ptr<model::LabelProject> fullBanner(int frames) {
  auto p = blank(468, 60, frames);
  model::FrameRecord& f = p->frame(1);
  withSkyGradient(f);
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
  withText3d(f, "Zefra banners", 22);
  f.text3DColor[0] = rgb(90, 40, 0);
  f.textY[0] = 8;
  animate(*p, [&](model::FrameRecord& r, int i) {
    r.delayMs = 60;
    r.textX[0] = static_cast<std::int16_t>(470 - 5 * i * 127 / frames);
    r.shapeY[0] = static_cast<std::int16_t>(12 + (i % 8) - 4);
  });
  return p;
}

struct NamedBanner {
  std::string name;
  std::unique_ptr<model::LabelProject> project;
};

// A moving 3D "Zefra" over a gradient: the case where brightness-matched colours turned
// the green border and the shadow into speckles.
inline std::unique_ptr<model::LabelProject> gradientText(int frames) {
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
inline std::unique_ptr<model::LabelProject> shapes(int frames) {
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
inline std::unique_ptr<model::LabelProject> pictures(int frames) {
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
inline std::unique_ptr<model::LabelProject> gradients(int frames) {
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

// Every sample project (demo/*.lbl) and every generated banner above, 12 and 127 frames
// long: the cases the quality comparison and the export tests go through.
inline std::vector<NamedBanner> demosAndBanners() {
  std::vector<NamedBanner> out;
  const std::filesystem::path demoDir = std::filesystem::path(ZEFRA_SOURCE_DIR) / "demo";
  std::vector<std::filesystem::path> demos;
  if (std::filesystem::is_directory(demoDir))
    for (const auto& entry : std::filesystem::directory_iterator(demoDir))
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

}  // namespace zefra::bench
