#include "gif/frame_composer.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"

namespace zefra::gif {

namespace {

std::uint32_t packRgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  std::uint32_t v = 0;
  const std::uint8_t bytes[4] = {r, g, b, a};
  std::memcpy(&v, bytes, 4);
  return v;
}

}  // namespace

FrameComposer::FrameComposer(const GifImage& image, const PlaybackOptions& options, int frameCount)
    : screenWidth(image.width()), screenHeight(image.height()) {
  if (!options.transparent) {
    Color c = kWindowColor;
    if (options.backdrop) c = *options.backdrop;
    else if (!image.globalTable().empty() && image.header().backgroundIndex() < image.globalTable().count())
      c = toColor(image.globalTable()[image.header().backgroundIndex()]);
    background = {redOf(c), greenOf(c), blueOf(c), 255};
  }
  frameCount = std::clamp(frameCount, 0, image.frames().count());
  frames.reserve(static_cast<std::size_t>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    const GifFrame& f = image.frames()[i];
    Source s;
    if (!f.empty()) {
      s.left = f.left();
      s.top = f.top();
      s.width = f.width();
      s.height = f.height();
      s.indices.assign(f.pixels(), f.pixels() + f.pixelCount());
    }
    const ColorMap& table = f.effectiveColorMap();
    s.colors.fill(packRgba(0, 0, 0, 255));
    for (int c = 0; c < table.count(); ++c) s.colors[static_cast<std::size_t>(c)] = packRgba(table[c].red, table[c].green, table[c].blue, 255);
    if (f.graphicControl) {
      s.disposal = f.graphicControl->disposal();
      if (options.transparent && f.hasTransparency) s.colors[f.graphicControl->transparentIndex()] = 0;
    }
    frames.push_back(std::move(s));
  }
}

void FrameComposer::draw(int frame, RgbaImage& canvas) const {
  const Source& s = frames[static_cast<std::size_t>(frame)];
  const int x0 = std::max(0, s.left);
  const int x1 = std::min(canvas.width, s.left + s.width);
  const int y1 = std::min(canvas.height, s.top + s.height);
  for (int y = std::max(0, s.top); y < y1; ++y) {
    const std::uint8_t* row = &s.indices[static_cast<std::size_t>(y - s.top) * s.width];
    std::uint8_t* out = canvas.pixel(0, y);
    for (int x = x0; x < x1; ++x) {
      const std::uint32_t c = s.colors[row[x - s.left]];
      if (c == 0) continue;  // the transparent index (every real colour has alpha 255)
      std::memcpy(out + static_cast<std::size_t>(x) * 4, &c, 4);
    }
  }
}

void FrameComposer::restoreBackground(int frame, RgbaImage& canvas) const {
  const Source& s = frames[static_cast<std::size_t>(frame)];
  const int x0 = std::max(0, s.left);
  const int x1 = std::min(canvas.width, s.left + s.width);
  const int y1 = std::min(canvas.height, s.top + s.height);
  for (int y = std::max(0, s.top); y < y1; ++y)
    for (int x = x0; x < x1; ++x) std::memcpy(canvas.pixel(x, y), background.data(), 4);
}

void FrameComposer::dispose(int frame, const RgbaImage& before, RgbaImage& shown) const {
  switch (frames[static_cast<std::size_t>(frame)].disposal) {
    case Disposal::RestoreBackground:
      restoreBackground(frame, shown);
      break;
    case Disposal::RestorePrevious:
      shown = before;
      break;
    default:
      break;
  }
}

}  // namespace zefra::gif
