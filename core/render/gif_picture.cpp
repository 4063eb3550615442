// GIF pictures: the first image of the file, placed on its logical screen. Pixels of the
// transparent colour and the parts of the screen that image does not cover let the layers
// below show through, as a GIF drawn transparently on the canvas does.
#include <algorithm>
#include <cstdint>

#include "gif/animation_player.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "render/picture.h"

namespace zefra::render {

Picture loadGifPicture(const std::filesystem::path& path) {
  gif::GifImage image;
  // Refused from the header when the screen or a frame could not become a picture, before
  // any image data is decoded (a small file may hold a huge, slow to decode image).
  image.limits.maxScreenPixels = static_cast<std::uint64_t>(kMaxPicturePixels);
  image.limits.maxFramePixels = static_cast<std::uint64_t>(kMaxPicturePixels);
  image.loadFromFile(path);
  if (image.frames().empty()) throw PictureError("GIF file contains no image: " + path.string());
  const gif::GifFrame& first = image.frames()[0];
  // The screen holds the first image even when the header announces less.
  const int W = std::max(image.width(), first.left() + first.width());
  const int H = std::max(image.height(), first.top() + first.height());
  if (W <= 0 || H <= 0) throw PictureError("GIF file contains no image: " + path.string());
  // A header may announce a screen of up to 65535 x 65535; a picture that large is refused
  // rather than allocated.
  if (static_cast<std::int64_t>(W) * H > kMaxPicturePixels) {
    throw PictureError("GIF picture too large: " + path.string());
  }

  Picture picture;
  picture.image.resize(W, H);
  picture.mask = raster::BitMask(W, H, 0);
  if (first.empty()) return picture;
  if (image.width() == W && image.height() == H) {
    auto player = std::make_shared<gif::AnimationPlayer>(image);
    if (player->animated()) picture.animation = std::move(player);
  }

  const gif::ColorMap& colours = first.effectiveColorMap();
  const bool transparent = first.hasTransparency && first.graphicControl != nullptr;
  const int transparentIndex = transparent ? first.graphicControl->transparentIndex() : -1;
  const std::uint8_t* indices = first.pixels();
  for (int y = 0; y < first.height(); ++y) {
    for (int x = 0; x < first.width(); ++x) {
      const int index = indices[static_cast<std::size_t>(y) * first.width() + x];
      if (index == transparentIndex) continue;
      // An index past the colour table reads as black.
      const Color c = index < colours.count() ? gif::toColor(colours[index]) : 0;
      picture.image.setPixel(first.left() + x, first.top() + y, c);
      picture.mask.set(first.left() + x, first.top() + y, true);
    }
  }
  return picture;
}

void setPictureFromRgba(Picture& picture, int width, int height, const std::uint8_t* rgba) {
  if (picture.image.width() != width || picture.image.height() != height) picture.image.resize(width, height);
  picture.mask = raster::BitMask(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = rgba + (static_cast<std::size_t>(y) * width + x) * 4;
      if (p[3] == 0) continue;
      picture.image.setPixel(x, y, rgb(p[0], p[1], p[2]));
      picture.mask.set(x, y, true);
    }
}

}  // namespace zefra::render
