#pragma once
// Base of the GIF89a extension blocks a frame carries before its image, and the
// descriptor ("extension class") the reader uses to pick the right kind for a label.

#include <cstdint>
#include <memory>

#include "gif/gif_item.h"

namespace zefra::gif {

class GifFrame;
class GifExtension;

// What the reader knows about one kind of extension.
struct ExtensionClass {
  std::uint8_t label;
  // Creates an empty instance owned by (but not yet listed in) frame.
  std::unique_ptr<GifExtension> (*create)(GifFrame& frame);
  // Given the input just after the label byte, answers the class that should read the
  // block: itself, a more specific class, or nullptr when none can. May move the input;
  // the caller restores it.
  const ExtensionClass* (*resolveSubclass)(const ExtensionClass& self, GifInput& input);
};

// The common resolveSubclass: every class but the application extension answers itself.
const ExtensionClass* resolveToSelf(const ExtensionClass& self, GifInput& input);

// Passes over data sub-blocks up to and including the terminating zero length (or the end
// of the input); throws "Premature end of data" when a sub-block is cut short.
void skipSubBlocks(GifInput& input);

class GifExtension : public GifItem {
 public:
  static constexpr std::uint8_t kIntroducer = 0x21;

  explicit GifExtension(GifFrame& frame);

  GifFrame& frame() const { return *owningFrame; }
  std::uint8_t label() const { return extensionClass().label; }
  virtual const ExtensionClass& extensionClass() const = 0;

  GifVersion requiredVersion() const override { return GifVersion::Gif89a; }

  // Introducer and label, then the kind's own bytes.
  void saveToStream(GifStream& stream) const override;
  // Reads and checks introducer and label, then the kind's own bytes.
  void loadFromStream(GifInput& input) override;

 protected:
  virtual void saveBody(GifStream& stream) const = 0;
  virtual void loadBody(GifInput& input) = 0;

 private:
  GifFrame* owningFrame;
};

}  // namespace zefra::gif
