#pragma once
// Turns a sequence of whole-screen palette pictures into the frames of an animated GIF
// that play back to exactly those pictures, with as few bytes as it can find: a frame
// holds only the rectangle that changed, pixels inside it that did not change may take
// the transparent index, and of the encodings that are possible the one that compresses
// best is kept. Pictures that repeat the one before are merged into it (their delays add
// up). In a transparent animation a pixel that becomes transparent again is cleared by
// the disposal of the frame before; that frame's rectangle grows when it must.
//
// Frames are added one at a time, as they are made; the packer keeps only the last frame
// and two screens of colours, so memory does not grow with the frame count.

#include <cstdint>
#include <optional>
#include <vector>

#include "common/color.h"
#include "gif/gif_image.h"

namespace zefra::exporter {

struct ScreenPicture {
  // One colour index per pixel of the logical screen, rows top to bottom.
  const std::vector<std::uint8_t>* indices = nullptr;
  // The colour table the indices refer to. The transparent index, when there is one, is
  // an entry of it (its colour is never shown).
  const std::vector<Color>* table = nullptr;
  int transparentIndex = -1;
  // Written as the frame's own colour table rather than the image's global one.
  bool localTable = false;
  int delayCs = 0;
};

class FramePacker {
 public:
  // The image must be empty, its screen set to width x height and its global table (if
  // frames use it) filled before the first frame is added.
  FramePacker(gif::GifImage& image, int width, int height);

  void add(const ScreenPicture& picture);
  // Settles the last frame's disposal (a looping transparent animation must hand the first
  // frame a clear screen again), adds the loop extension with `loopCount` when there is
  // more than one frame and a count is given, and drops the control extension of a lone
  // frame that needs none.
  void finish(std::optional<std::uint16_t> loopCount);

  int framesWritten() const { return image.frames().count(); }
  int picturesMerged() const { return merged; }

 private:
  struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(const Rect& r) const {
      return r.empty() || (r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom);
    }
  };
  struct Last {
    gif::GifFrame* frame = nullptr;
    std::vector<std::uint8_t> indices;
    std::vector<Color> table;
    int transparentIndex = -1;
    bool localTable = false;
    Rect rect;
    std::vector<Color> before;  // the screen it is drawn on
    std::vector<Color> shown;   // the screen it shows
  };

  void colorsOf(const ScreenPicture& picture, std::vector<Color>& out) const;
  // Clears, through the last frame's disposal, every pixel `next` shows as transparent;
  // answers the screen the next frame is drawn on.
  void prepareFor(const std::vector<Color>& next, std::vector<Color>& screen);
  // Writes the last frame's pixels for its rectangle, choosing the smaller encoding.
  void encodeLast();

  gif::GifImage& image;
  int width;
  int height;
  bool any = false;
  int merged = 0;
  Last last;
  std::vector<Color> first;  // what the first frame shows, for the loop back
  std::vector<Color> scratch;
};

// The marker of a transparent pixel in a screen of colours (never a 24-bit colour).
constexpr Color kClearPixel = 0xFF000000u;

}  // namespace zefra::exporter
