#pragma once
// A small reference player for the optimisation tests: composes frames on a logical screen
// following their disposal methods and lists what a viewer sees, one picture per
// hundredth of a second of delay. Pixels not covered yet read kNothing.

#include <vector>

#include "common/color.h"
#include "gif/gif_image.h"
#include "gif/gif_types.h"
#include "gif/graphic_control_extension.h"

namespace zefra::gif::testing {

constexpr Color kNothing = 0xFF000000u;  // never a real 0x00BBGGRR colour

struct PlayFrame {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<Color> pixels;  // kNothing marks a transparent pixel
  Disposal disposal = Disposal::Unspecified;
  int delayCs = 0;
};

using Picture = std::vector<Color>;

inline std::vector<Picture> playTimeline(int screenW, int screenH, const std::vector<PlayFrame>& frames) {
  std::vector<Picture> shown;
  Picture canvas(static_cast<std::size_t>(screenW) * static_cast<std::size_t>(screenH), kNothing);
  for (const PlayFrame& f : frames) {
    const Picture before = canvas;
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        const int sx = f.left + x;
        const int sy = f.top + y;
        const Color c = f.pixels[static_cast<std::size_t>(y * f.width + x)];
        if (c != kNothing && sx < screenW && sy < screenH) canvas[static_cast<std::size_t>(sy * screenW + sx)] = c;
      }
    for (int i = 0; i < f.delayCs; ++i) shown.push_back(canvas);
    if (f.disposal == Disposal::RestoreBackground) {
      for (int y = f.top; y < f.top + f.height && y < screenH; ++y)
        for (int x = f.left; x < f.left + f.width && x < screenW; ++x) canvas[static_cast<std::size_t>(y * screenW + x)] = kNothing;
    } else if (f.disposal == Disposal::RestorePrevious) {
      canvas = before;
    }
  }
  return shown;
}

inline std::vector<PlayFrame> playFramesOf(const GifImage& image) {
  std::vector<PlayFrame> out;
  for (const auto& frame : image.frames()) {
    PlayFrame p;
    if (frame->empty()) {
      // An empty frame draws nothing but still takes its time and disposal.
    } else {
      p.left = frame->left();
      p.top = frame->top();
      p.width = frame->width();
      p.height = frame->height();
    }
    const ColorMap& table = frame->effectiveColorMap();
    const bool transparent = frame->hasTransparency && frame->graphicControl;
    const int t = transparent ? frame->graphicControl->transparentIndex() : -1;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const int index = frame->pixelAt(x, y);
        p.pixels.push_back(index == t ? kNothing : toColor(table[index]));
      }
    if (frame->graphicControl) {
      p.disposal = frame->graphicControl->disposal();
      p.delayCs = frame->graphicControl->delayCs();
    }
    out.push_back(std::move(p));
  }
  return out;
}

inline std::vector<Picture> playTimeline(const GifImage& image) {
  return playTimeline(image.width(), image.height(), playFramesOf(image));
}

}  // namespace zefra::gif::testing
