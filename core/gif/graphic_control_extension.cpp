#include "gif/graphic_control_extension.h"

#include "gif/gif_error.h"
#include "gif/gif_frame.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

const ExtensionClass GraphicControlExtension::kClass{
    0xF9, [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<GraphicControlExtension>(f); },
    resolveToSelf};

GraphicControlExtension::GraphicControlExtension(GifFrame& frame) : GifExtension(frame) {
  if (!frame.graphicControl) frame.graphicControl = this;
}

GraphicControlExtension::~GraphicControlExtension() {
  GifFrame& f = frame();
  if (transparent()) f.hasTransparency = false;
  if (f.graphicControl == this) f.graphicControl = nullptr;
}

void GraphicControlExtension::setTransparencyOn(bool on) {
  bytes[1] = static_cast<std::uint8_t>(on ? bytes[1] | 0x01 : bytes[1] & ~0x01);
  frame().hasTransparency = on;
}

void GraphicControlExtension::setTransparentIndex(int index) {
  const int colors = frame().effectiveColorMap().count();
  if (index < 0 || index > 255 || (colors > 0 && index >= colors)) {
    reportWarning("Invalid color index");
    index = 0;
  }
  bytes[4] = static_cast<std::uint8_t>(index);
}

void GraphicControlExtension::setUserInput(bool on) {
  bytes[1] = static_cast<std::uint8_t>(on ? bytes[1] | 0x02 : bytes[1] & ~0x02);
}

void GraphicControlExtension::setDelayCs(std::uint16_t centiseconds) {
  bytes[2] = static_cast<std::uint8_t>(centiseconds & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(centiseconds >> 8);
}

void GraphicControlExtension::setDisposal(Disposal disposal) {
  const int bits = static_cast<int>(disposal) & 0x07;
  bytes[1] = static_cast<std::uint8_t>((bytes[1] & ~0x1C) | (bits << 2));
}

void GraphicControlExtension::saveBody(GifStream& stream) const {
  // Bits 7..5 of the packed byte are reserved: whatever a read file carried there is not
  // passed on.
  std::array<std::uint8_t, 6> out = bytes;
  out[1] = static_cast<std::uint8_t>(out[1] & 0x1F);
  stream.write(out.data(), out.size());
}

void GraphicControlExtension::loadBody(GifInput& input) {
  std::array<std::uint8_t, 6> block{};
  if (input.read(block.data(), block.size()) < block.size()) {
    reportWarning("Premature end of data");
    return;
  }
  bytes = block;
  if (transparent()) frame().hasTransparency = true;
}

}  // namespace zefra::gif
