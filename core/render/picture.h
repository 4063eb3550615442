#pragma once
// A picture layer's content: the image at its natural size and, for GIF pictures with a
// transparent colour, the mask of the pixels that are drawn (the others show the layers
// below), or for PNG pictures with transparency the opacity of each pixel, composited
// over the layers below. A BMP picture covers its whole rectangle.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "raster/canvas.h"
#include "raster/fast_bitmap.h"

namespace zefra::gif {
class AnimationPlayer;
}

namespace zefra::render {

// Largest picture accepted (4096 x 4096 pixels); banners are far smaller.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 24;

class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Picture {
  raster::FastBitmap image;
  raster::BitMask mask;  // empty (0 x 0) = opaque
  raster::AlphaMask alpha;  // empty = opaque; never set together with mask
  // An animated GIF's player (null for a still picture). image and mask hold its first
  // frame, which is what the export draws; the editor's canvas plays the rest.
  std::shared_ptr<gif::AnimationPlayer> animation;
  bool hasMask() const { return mask.width > 0; }
  bool hasAlpha() const { return !alpha.empty(); }
  int width() const { return image.width(); }
  int height() const { return image.height(); }
};

// Loads a picture file; the format follows the extension (".bmp", ".gif" or ".png", any
// case). A PNG whose every pixel is opaque is an opaque picture.
// Throws PictureError (or the reader's own error) when the file cannot be read as a picture.
Picture loadPicture(const std::filesystem::path& path);

// The still picture of a GIF file: its first image on the logical screen, with the pixels
// that the first image leaves transparent or does not cover masked out.
Picture loadGifPicture(const std::filesystem::path& path);

// The extensions loadPicture reads, lower case with the dot.
inline constexpr const char* kPictureExtensions[] = {".bmp", ".gif", ".png"};
bool isPictureFileName(const std::filesystem::path& path);

// Sets image and mask from an animation's screen (transparent pixels masked out).
void setPictureFromRgba(Picture& picture, int width, int height, const std::uint8_t* rgba);

}  // namespace zefra::render
