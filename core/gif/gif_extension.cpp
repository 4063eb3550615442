#include "gif/gif_extension.h"

#include "gif/gif_error.h"
#include "gif/gif_frame.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

const ExtensionClass* resolveToSelf(const ExtensionClass& self, GifInput&) { return &self; }

void skipSubBlocks(GifInput& input) {
  std::uint8_t length = 0;
  while (input.readByte(length) && length != 0) {
    if (input.remaining() < length) throw GifError("Premature end of data");
    input.skip(length);
  }
}

GifExtension::GifExtension(GifFrame& frame) : GifItem(frame.image()), owningFrame(&frame) {}

void GifExtension::saveToStream(GifStream& stream) const {
  const std::uint8_t head[2] = {kIntroducer, label()};
  stream.write(head, 2);
  saveBody(stream);
}

void GifExtension::loadFromStream(GifInput& input) {
  std::uint8_t head[2];
  if (input.read(head, 2) < 2) throw GifError("Premature end of data");
  if (head[0] != kIntroducer) throw GifError("Invalid extension introducer");
  if (head[1] != label()) throw GifError("Internal error: Extension Instance does not match Extension Label");
  loadBody(input);
}

}  // namespace zefra::gif
