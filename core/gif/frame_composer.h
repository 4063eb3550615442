#pragma once
// Composition of an animation's frames on its logical screen, in RGBA: each frame is
// drawn over what the previous frames left (transparent pixels keep it), then its disposal
// method decides what the next frame starts from. Pixels nothing has drawn, and areas
// restored to the background while transparency is honoured, are fully transparent so
// that whatever lies below the picture shows through.
//
// The composer copies what it needs from the image, so the image may change or go away
// while a player built on it keeps playing.

#include <array>
#include <cstdint>
#include <vector>

#include "gif/gif_types.h"
#include "gif/playback_options.h"

namespace zefra::gif {

class GifImage;

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // R, G, B, A per pixel, rows top to bottom

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0) {}
  std::uint8_t* pixel(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
  const std::uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
  friend bool operator==(const RgbaImage&, const RgbaImage&) = default;
};

class FrameComposer {
 public:
  // Takes the first frameCount frames of the image.
  FrameComposer(const GifImage& image, const PlaybackOptions& options, int frameCount);

  int width() const { return screenWidth; }
  int height() const { return screenHeight; }
  int frameCount() const { return static_cast<int>(frames.size()); }
  Disposal disposal(int frame) const { return frames[static_cast<std::size_t>(frame)].disposal; }

  // The screen nothing has been drawn on yet.
  RgbaImage blank() const { return RgbaImage(screenWidth, screenHeight); }
  // Draws the frame over canvas.
  void draw(int frame, RgbaImage& canvas) const;
  // What the next frame starts from, given the canvas before this frame was drawn and the
  // canvas showing it. Disposal codes 4 to 7 are undefined and keep the frame, as codes 0
  // and 1 do.
  void dispose(int frame, const RgbaImage& before, RgbaImage& shown) const;
  // Restores the frame's area to the background.
  void restoreBackground(int frame, RgbaImage& canvas) const;

 private:
  struct Source {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;
    // RGBA per index; alpha 0 marks the transparent index. Indices past the colour table
    // show black, as they would through a 256-entry bitmap palette.
    std::array<std::uint32_t, 256> colors{};
    Disposal disposal = Disposal::Unspecified;
  };
  int screenWidth = 0;
  int screenHeight = 0;
  std::array<std::uint8_t, 4> background{};  // RGBA of a restored area
  std::vector<Source> frames;
};

}  // namespace zefra::gif
