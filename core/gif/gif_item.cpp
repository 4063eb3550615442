#include "gif/gif_item.h"

#include "gif/gif_image.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

void GifItem::reportWarning(const std::string& message) const {
  if (owner) owner->reportWarning(this, message);
}

void GifTrailer::saveToStream(GifStream& stream) const { stream.writeByte(0x3B); }

void GifTrailer::loadFromStream(GifInput& input) {
  std::uint8_t b = 0;
  if (input.readByte(b) && b != 0x3B) reportWarning("Invalid Image trailer");
}

}  // namespace zefra::gif
