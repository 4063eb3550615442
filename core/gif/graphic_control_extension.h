#pragma once
// The graphic control extension (label 0xF9): delay, disposal, user-input flag and
// transparent colour of the frame that follows. The first one created for a frame becomes
// the frame's graphicControl link; it still lives in (and is owned by) the extension list.

#include <array>
#include <cstdint>

#include "gif/gif_extension.h"

namespace zefra::gif {

class GraphicControlExtension final : public GifExtension {
 public:
  static const ExtensionClass kClass;

  // Links itself to the frame if the frame has no graphic control yet; the creator adds
  // it to the frame's extension list.
  explicit GraphicControlExtension(GifFrame& frame);
  ~GraphicControlExtension() override;

  const ExtensionClass& extensionClass() const override { return kClass; }

  // The stored block: size 4, packed, delay lo, delay hi, transparent index, terminator 0.
  const std::array<std::uint8_t, 6>& block() const { return bytes; }

  std::uint8_t packed() const { return bytes[1]; }
  bool transparent() const { return (bytes[1] & 0x01) != 0; }
  bool userInput() const { return (bytes[1] & 0x02) != 0; }
  Disposal disposal() const { return static_cast<Disposal>((bytes[1] >> 2) & 0x07); }
  std::uint16_t delayCs() const { return static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8)); }
  std::uint8_t transparentIndex() const { return bytes[4]; }

  // Sets the flag and the frame's hasTransparency.
  void setTransparencyOn(bool on);
  // An index not below the frame's effective colour count (when that is positive) warns
  // "Invalid color index" and stores 0.
  void setTransparentIndex(int index);
  void setUserInput(bool on);
  void setDelayCs(std::uint16_t centiseconds);
  // Only bits 4..2 of the packed byte change; values above 7 keep their low 3 bits.
  void setDisposal(Disposal disposal);

 protected:
  void saveBody(GifStream& stream) const override;
  void loadBody(GifInput& input) override;

 private:
  std::array<std::uint8_t, 6> bytes{4, 0, 0, 0, 0, 0};
};

}  // namespace zefra::gif
