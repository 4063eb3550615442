// zefra-make-demos [FOLDER [TEXTURES]]: writes the sample projects shipped in demo/ (default
// FOLDER "demo") with the pictures they show, and the texture bitmaps of textures/ (default
// TEXTURES "textures"). Each demo is one function that fills a project; add a function and
// a line in kDemos to add a demo. Pictures and textures are drawn here, deterministically
// (own hash noise, no library random numbers), so re-running reproduces every file.
//
// Demos name their pictures relative to the project's folder ("zefra-logo.bmp") and the
// textures relative to it as well ("../textures/gold.bmp"); the export completes such
// names with the project's folder.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <numbers>
#include <string>

#include "common/color.h"
#include "gif/application_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "colour/indexed_bitmap.h"
#include "io/bmp_writer.h"
#include "io/lbl_writer.h"
#include "model/frame_record.h"
#include "model/label_project.h"

namespace {

using zefra::Color;
using zefra::rgb;
using zefra::raster::FastBitmap;
using zefra::model::FrameRecord;
using zefra::model::LabelProject;

constexpr std::int16_t kDemoDpi = 96;

// A new project of `frames` copies of the New frame.
std::unique_ptr<LabelProject> newProject(int frames) {
  auto project = std::make_unique<LabelProject>();
  project->screenDpi = kDemoDpi;
  project->clear();
  project->applyNewDefaults();
  for (int k = 2; k <= frames; ++k) project->frame(k) = project->frame(1);
  project->frameCount = static_cast<std::uint8_t>(frames);
  return project;
}

// Six frames: a diagonal gradient inside a bevelled border, "Zefra" travelling right,
// "3D GIF banners" travelling left, and a rounded box that grows.
std::unique_ptr<LabelProject> zefraBanner() {
  constexpr int kFrames = 6;
  auto project = newProject(kFrames);
  for (int k = 1; k <= kFrames; ++k) {
    FrameRecord& f = project->frame(k);
    const int step = k - 1;
    f.delayMs = k == kFrames ? 1200 : 250;
    f.gradientOn = 1;
    f.gradientStyle = static_cast<std::uint8_t>(zefra::model::GradientStyle::DiagonalRising);
    f.gradientColor1 = rgb(20, 40, 120);
    f.gradientColor2 = rgb(120, 200, 255);
    f.bordersOn = 1;
    f.borderInnerStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::Inset);
    f.borderOuterStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::Raised);
    f.borderWidth = 2;
    f.bevelWidth = 2;
    f.borderColor = rgb(60, 60, 90);

    f.text[0] = "Zefra";
    f.fontName[0] = "Liberation Sans";
    f.fontSize[0] = 28;
    f.fontBold[0] = 1;
    f.textX[0] = static_cast<std::int16_t>(12 + 44 * step);
    f.textY[0] = 6;
    f.textGradientColor1[0] = rgb(255, 220, 0);
    f.textGradientColor2[0] = rgb(255, 80, 0);
    f.text3DColor[0] = rgb(90, 30, 0);
    f.textBorderWidth[0] = 3;

    f.text[1] = "3D GIF banners";
    f.fontName[1] = "DejaVu Sans";
    f.fontSize[1] = 14;
    f.fontItalic[1] = 1;
    f.textX[1] = static_cast<std::int16_t>(300 - 40 * step);
    f.textY[1] = 32;
    f.textGradientKind[1] = static_cast<std::uint8_t>(zefra::model::TextGradientKind::Horizontal);
    f.textGradientColor1[1] = rgb(255, 255, 255);
    f.textGradientColor2[1] = rgb(180, 255, 180);
    f.text3DColor[1] = rgb(0, 80, 40);
    f.textBorderWidth[1] = 1;
    f.viewAngle[1] = 135;

    f.shapeStyle[0] = static_cast<std::uint8_t>(zefra::model::ShapeStyle::RndRectangle);
    f.shapeX[0] = 404;
    f.shapeY[0] = static_cast<std::int16_t>(30 - 3 * step);
    f.shapeWidth[0] = static_cast<std::int16_t>(30 + 4 * step);
    f.shapeHeight[0] = static_cast<std::int16_t>(6 + 6 * step);
    f.shapeFillColor[0] = rgb(255, 240, 120);
    f.shapeBorderWidth[0] = 2;
    f.shapeBorderColor[0] = rgb(200, 60, 0);
  }
  return project;
}

// ---- textures ---------------------------------------------------------------------

constexpr int kTextureSize = 128;

std::uint32_t hash2(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Value noise on a lattice of `period` cells, wrapped so the texture tiles seamlessly.
double latticeNoise(double x, double y, int period, std::uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0;
  const double fy = y - y0;
  auto at = [&](int i, int j) {
    return (hash2(((i % period) + period) % period, ((j % period) + period) % period, seed) & 0xFFFF) / 65535.0;
  };
  const double sx = fx * fx * (3 - 2 * fx);
  const double sy = fy * fy * (3 - 2 * fy);
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

// Fractal sum of octaves in 0..1; u and v are texture coordinates in 0..1.
double fbm(double u, double v, int baseCells, int octaves, std::uint32_t seed) {
  double sum = 0;
  double amplitude = 0.5;
  double norm = 0;
  int cells = baseCells;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * latticeNoise(u * cells, v * cells, cells, seed + static_cast<std::uint32_t>(o));
    norm += amplitude;
    amplitude *= 0.5;
    cells *= 2;
  }
  return sum / norm;
}

Color mix(Color a, Color b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
  return zefra::rgb(channel(zefra::redOf(a), zefra::redOf(b)), channel(zefra::greenOf(a), zefra::greenOf(b)),
                    channel(zefra::blueOf(a), zefra::blueOf(b)));
}

FastBitmap paint(const std::function<Color(double u, double v, int x, int y)>& shader) {
  FastBitmap bitmap(kTextureSize, kTextureSize);
  for (int y = 0; y < kTextureSize; ++y)
    for (int x = 0; x < kTextureSize; ++x)
      bitmap.setPixel(x, y, shader(static_cast<double>(x) / kTextureSize, static_cast<double>(y) / kTextureSize, x, y));
  return bitmap;
}

constexpr double kTau = 2 * std::numbers::pi;

FastBitmap marble() {
  return paint([](double u, double v, int, int) {
    const double veins = std::sin(kTau * (2 * u + v) + 6.0 * fbm(u, v, 4, 5, 11));
    return mix(zefra::rgb(236, 232, 224), zefra::rgb(92, 96, 112), std::pow(1 - std::abs(veins), 4.0));
  });
}

FastBitmap wood() {
  return paint([](double u, double v, int, int) {
    const double grain = fbm(u, v, 4, 4, 23);
    const double rings = std::sin(kTau * (6 * v + 2.5 * grain)) * 0.5 + 0.5;
    return mix(zefra::rgb(181, 122, 64), zefra::rgb(110, 62, 28), std::pow(rings, 3.0) + 0.15 * fbm(u, v, 32, 2, 5));
  });
}

FastBitmap brick() {
  return paint([](double u, double v, int x, int y) {
    constexpr int kRow = 16;
    constexpr int kBrick = 32;
    const int row = y / kRow;
    const int shifted = (x + (row % 2) * kBrick / 2) % kBrick;
    const bool mortar = y % kRow < 2 || shifted < 2;
    if (mortar) return mix(zefra::rgb(200, 196, 188), zefra::rgb(150, 146, 140), fbm(u, v, 32, 2, 3));
    const std::uint32_t tone = hash2(shifted == 0 ? x : (x + (row % 2) * kBrick / 2) / kBrick, row, 77) % 40;
    return mix(zefra::rgb(168 + tone, 64, 40), zefra::rgb(96, 36, 24), 0.6 * fbm(u, v, 16, 3, 9));
  });
}

FastBitmap gold() {
  return paint([](double u, double v, int, int) {
    const double shine = std::sin(kTau * (v + 0.08 * fbm(u, v, 4, 3, 41))) * 0.5 + 0.5;
    return mix(zefra::rgb(120, 84, 12), zefra::rgb(255, 230, 130), shine);
  });
}

FastBitmap brushedMetal() {
  return paint([](double u, double v, int, int) {
    // Stretched noise: fine along the rows, long along the brush strokes.
    const double streak = fbm(u * 0.05, v, 64, 2, 57);
    return mix(zefra::rgb(112, 118, 126), zefra::rgb(214, 220, 228), 0.35 + 0.65 * streak);
  });
}

FastBitmap sky() {
  return paint([](double u, double v, int, int) {
    const double cloud = std::clamp((fbm(u, v, 4, 6, 101) - 0.45) * 2.6, 0.0, 1.0);
    return mix(zefra::rgb(52, 110, 206), zefra::rgb(250, 250, 252), cloud);
  });
}

FastBitmap checker() {
  return paint([](double, double, int x, int y) {
    const bool dark = ((x / 16) + (y / 16)) % 2 != 0;
    return dark ? zefra::rgb(24, 24, 96) : zefra::rgb(248, 208, 32);
  });
}

struct Texture {
  const char* fileName;
  FastBitmap (*make)();
};

const Texture kTextures[] = {
    {"marble.bmp", marble}, {"wood.bmp", wood},       {"brick.bmp", brick},     {"gold.bmp", gold},
    {"brushed-metal.bmp", brushedMetal}, {"sky.bmp", sky}, {"checker.bmp", checker},
};

// ---- pictures shown by the demos ---------------------------------------------------

// A shaded sphere with a light ring: a 24-bit BMP picture that covers its rectangle.
FastBitmap logoPicture() {
  constexpr int kW = 56;
  constexpr int kH = 48;
  FastBitmap b(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const double dx = (x - kW / 2.0 + 0.5) / 20.0;
      const double dy = (y - kH / 2.0 + 0.5) / 20.0;
      const double r2 = dx * dx + dy * dy;
      Color c = mix(rgb(250, 246, 236), rgb(226, 220, 200), static_cast<double>(y) / kH);
      if (r2 <= 1.0) {
        const double light = std::clamp(0.35 + 0.65 * (-0.5 * dx - 0.6 * dy + 0.62 * std::sqrt(1.0 - r2)), 0.0, 1.0);
        c = mix(rgb(10, 40, 110), rgb(120, 200, 255), light);
        if (std::abs(std::sqrt(r2) - 0.72) < 0.07) c = rgb(255, 210, 40);
      }
      b.setPixel(x, y, c);
    }
  }
  return b;
}

// An 8-image animated GIF of a turning wheel of dots on a transparent background, built
// with Zefra's own GIF library.
void writeSpinnerGif(const std::filesystem::path& path) {
  constexpr int kSize = 40;
  constexpr int kImages = 8;
  constexpr int kDots = 8;
  zefra::gif::GifImage image;
  for (int n = 0; n < kImages; ++n) {
    zefra::colour::IndexedBitmap frame(kSize, kSize, 8);
    // Index 0 is the transparent background; 1..kDots are the dots, brightest first.
    frame.palette().push_back({0, 0, 0});
    for (int d = 0; d < kDots; ++d) {
      const auto fade = static_cast<std::uint8_t>(255 - 28 * d);
      frame.palette().push_back({fade, static_cast<std::uint8_t>(fade / 3), 40});
    }
    for (int d = 0; d < kDots; ++d) {
      const double angle = 2 * std::numbers::pi * (d + n) / kDots;
      const double cx = kSize / 2.0 + 13 * std::cos(angle);
      const double cy = kSize / 2.0 + 13 * std::sin(angle);
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
          if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= 16.0)
            frame.setIndex(x, y, static_cast<std::uint8_t>(1 + (kDots - d) % kDots));
    }
    const int index = n == 0 ? (image.assign(frame), 0) : image.addFrame(frame);
    zefra::gif::GifFrame& gifFrame = image.frames()[index];
    if (n == 0) gifFrame.extensions().add(std::make_unique<zefra::gif::LoopExtension>(gifFrame));
    auto control = std::make_unique<zefra::gif::GraphicControlExtension>(gifFrame);
    control->setDelayCs(10);
    control->setDisposal(zefra::gif::Disposal::RestoreBackground);
    control->setTransparencyOn(true);
    control->setTransparentIndex(0);
    gifFrame.extensions().add(std::move(control));
  }
  image.saveToFile(path);
}

// ---- demos -------------------------------------------------------------------------

// Ten frames with most slots in use: three texts in different fonts and styles (one with
// a gold texture) over a row of rectangles and rounded boxes that light up in turn.
std::unique_ptr<LabelProject> shapesAndTexts() {
  constexpr int kFrames = 10;
  auto project = newProject(kFrames);
  const Color lamps[] = {rgb(255, 80, 80), rgb(255, 200, 40), rgb(80, 220, 120), rgb(70, 160, 255)};
  for (int k = 1; k <= kFrames; ++k) {
    FrameRecord& f = project->frame(k);
    const int step = k - 1;
    f.delayMs = 200;
    f.frameColor = rgb(28, 28, 44);
    f.bordersOn = 1;
    f.borderInnerStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::None);
    f.borderOuterStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::Raised);
    f.bevelWidth = 2;
    f.borderWidth = 1;
    f.borderColor = rgb(90, 90, 120);
    f.highlightColor = rgb(160, 160, 200);
    f.shadowColor = rgb(10, 10, 20);
    for (int s = 0; s < 8; ++s) {
      f.shapeStyle[s] = static_cast<std::uint8_t>(s % 2 == 0 ? zefra::model::ShapeStyle::Rectangle
                                                             : zefra::model::ShapeStyle::RndRectangle);
      f.shapeX[s] = static_cast<std::int16_t>(250 + 26 * s);
      f.shapeY[s] = 38;
      f.shapeWidth[s] = 20;
      f.shapeHeight[s] = 14;
      f.shapeBorderWidth[s] = 1;
      f.shapeBorderColor[s] = rgb(200, 200, 220);
      f.shapeFillColor[s] = s == step % 8 ? lamps[step % 4] : rgb(60, 60, 80);
    }
    f.text[0] = "SALE";
    f.fontName[0] = "Liberation Serif";
    f.fontSize[0] = 26;
    f.fontBold[0] = 1;
    f.textX[0] = 12;
    f.textY[0] = static_cast<std::int16_t>(4 + (step % 2));
    f.textGradientOn[0] = 0;
    f.fontColor[0] = rgb(255, 255, 255);
    f.textureFile[0] = "../textures/gold.bmp";
    f.text3DColor[0] = rgb(120, 80, 0);
    f.textBorderWidth[0] = 4;
    f.viewAngle[0] = static_cast<std::int16_t>(30 + 12 * step);

    f.text[1] = "everything must go";
    f.fontName[1] = "DejaVu Sans";
    f.fontSize[1] = 11;
    f.fontItalic[1] = 1;
    f.textX[1] = 14;
    f.textY[1] = 40;
    f.textGradientKind[1] = static_cast<std::uint8_t>(zefra::model::TextGradientKind::Horizontal);
    f.textGradientColor1[1] = rgb(200, 255, 200);
    f.textGradientColor2[1] = rgb(120, 200, 255);
    f.textBorderWidth[1] = 0;

    f.text[2] = "-50%";
    f.fontName[2] = "Liberation Sans";
    f.fontSize[2] = 20;
    f.fontBold[2] = 1;
    f.fontUnderline[2] = static_cast<std::uint8_t>(step % 2);
    f.textX[2] = 130;
    f.textY[2] = 10;
    f.textGradientColor1[2] = rgb(255, 60, 60);
    f.textGradientColor2[2] = rgb(255, 200, 0);
    f.text3DColor[2] = rgb(80, 0, 0);
    f.shadowDarkness[2] = 160;
  }
  return project;
}

// A banner with a transparent background: the page colour shows through wherever the
// frame colour is, so the text floats on any web page of that colour.
std::unique_ptr<LabelProject> transparentBanner() {
  constexpr int kFrames = 8;
  constexpr Color kPage = rgb(246, 242, 228);
  auto project = newProject(kFrames);
  project->settings.transparent = 1;
  project->settings.transparentColor = kPage;
  for (int k = 1; k <= kFrames; ++k) {
    FrameRecord& f = project->frame(k);
    const int step = k - 1;
    f.delayMs = 150;
    // Anti-aliased edges blend into the frame colour, so it is the page's own colour.
    f.webSiteColor = kPage;
    f.frameColor = kPage;
    f.text[0] = "floating text";
    f.fontName[0] = "DejaVu Sans";
    f.fontSize[0] = 24;
    f.fontBold[0] = 1;
    f.textX[0] = static_cast<std::int16_t>(40 + 30 * step);
    f.textY[0] = static_cast<std::int16_t>(8 + (step % 4 == 1 ? 3 : step % 4 == 3 ? -3 : 0));
    f.textGradientColor1[0] = rgb(0, 120, 200);
    f.textGradientColor2[0] = rgb(0, 60, 120);
    f.text3DColor[0] = rgb(0, 40, 80);
    f.shapeStyle[0] = static_cast<std::uint8_t>(zefra::model::ShapeStyle::RndRectangle);
    f.shapeX[0] = static_cast<std::int16_t>(6 + 2 * step);
    f.shapeY[0] = 14;
    f.shapeWidth[0] = 24;
    f.shapeHeight[0] = 32;
    f.shapeFillColor[0] = rgb(255, 120, 40);
    f.shapeBorderColor[0] = rgb(160, 60, 0);
    f.shapeBorderWidth[0] = 2;
  }
  return project;
}

// Pictures on a gradient: the BMP logo and the animated GIF spinner (both written next to
// the project), the logo sliding in over the frames.
std::unique_ptr<LabelProject> pictureBanner() {
  constexpr int kFrames = 6;
  auto project = newProject(kFrames);
  for (int k = 1; k <= kFrames; ++k) {
    FrameRecord& f = project->frame(k);
    const int step = k - 1;
    f.delayMs = k == kFrames ? 1500 : 120;
    f.gradientOn = 1;
    f.gradientStyle = static_cast<std::uint8_t>(zefra::model::GradientStyle::Pyramid);
    f.gradientColor1 = rgb(250, 246, 236);
    f.gradientColor2 = rgb(210, 200, 170);
    f.bordersOn = 1;
    f.borderInnerStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::Inset);
    f.borderOuterStyle = static_cast<std::uint8_t>(zefra::model::BorderStyle::None);
    f.bevelWidth = 1;
    f.pictureFile[0] = "zefra-logo.bmp";
    f.pictureX[0] = static_cast<std::int16_t>(-50 + 12 * step);
    f.pictureY[0] = 6;
    f.pictureFile[1] = "spinner.gif";
    f.pictureX[1] = 420;
    f.pictureY[1] = 10;
    f.text[0] = "Pictures too";
    f.fontName[0] = "Liberation Sans";
    f.fontSize[0] = 22;
    f.textX[0] = 90;
    f.textY[0] = 12;
    f.textGradientColor1[0] = rgb(20, 60, 140);
    f.textGradientColor2[0] = rgb(60, 140, 220);
    f.text3DColor[0] = rgb(200, 190, 160);
  }
  return project;
}

struct Demo {
  const char* fileName;
  std::unique_ptr<LabelProject> (*make)();
};

const Demo kDemos[] = {
    {"zefra-banner.lbl", zefraBanner},
    {"shapes-and-texts.lbl", shapesAndTexts},
    {"transparent-banner.lbl", transparentBanner},
    {"picture-banner.lbl", pictureBanner},
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "demo";
  const std::filesystem::path textures = argc > 2 ? argv[2] : "textures";
  try {
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(textures);
    for (const Texture& texture : kTextures) zefra::io::writeBmpFile(texture.make(), (textures / texture.fileName).string());
    zefra::io::writeBmpFile(logoPicture(), (folder / "zefra-logo.bmp").string());
    writeSpinnerGif(folder / "spinner.gif");
    for (const Demo& demo : kDemos) {
      auto project = demo.make();
      zefra::io::writeLblFile(folder / demo.fileName, *project);
      std::cout << "wrote " << (folder / demo.fileName).string() << " (" << int{project->frameCount} << " frames)\n";
    }
  } catch (const std::exception& error) {
    std::cerr << "zefra-make-demos: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
