#pragma once
// Projects the benchmarks build in code, so each measures the same banners: a blank label
// of any size and length, per-frame variation, a 3D text style, and the full-length banner
// (gradient, bevelled border band, shapes and scrolling 3D text).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

}  // namespace zefra::bench
