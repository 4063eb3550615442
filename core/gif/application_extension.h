#pragma once
// Application extensions (label 0xFF): an 11-byte identifier (8-byte name, 3-byte
// authentication code) followed by data sub-blocks. The loop extension is the one the
// library understands; any other identifier keeps its sub-blocks to write them back.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gif/gif_extension.h"

namespace zefra::gif {

using ApplicationId = std::array<std::uint8_t, 11>;

ApplicationId applicationId(std::string_view text);  // first 11 characters, zero-padded

class ApplicationExtension : public GifExtension {
 public:
  static const ExtensionClass kClass;
  using GifExtension::GifExtension;
  const ExtensionClass& extensionClass() const override { return kClass; }

  ApplicationId identifier{};

 protected:
  void saveBody(GifStream& stream) const override;
  void loadBody(GifInput& input) override;
  // The kind's own sub-blocks, without the final terminator.
  virtual void saveData(GifStream& stream) const;
  // The kind's own sub-blocks, including the terminating zero length. The base kind has
  // no reader: it is what the reader falls back on for block sizes it cannot classify.
  virtual void loadData(GifInput& input);
  // Whether the block is written back in the 10-byte form it was read in.
  virtual bool writesShortIdentifier() const { return false; }

  bool readShortIdentifier = false;  // the block size byte said 10
};

// Loop count for animations ("NETSCAPE2.0", also read from "ANIMEXTS1.0").
class LoopExtension final : public ApplicationExtension {
 public:
  static const ExtensionClass kClass;
  explicit LoopExtension(GifFrame& frame);
  const ExtensionClass& extensionClass() const override { return kClass; }

  std::uint16_t loopCount = 0;   // 0 = for ever
  std::uint32_t bufferHint = 0;  // 0 = not written

 protected:
  void saveData(GifStream& stream) const override;
  void loadData(GifInput& input) override;
};

struct DataSubBlock {
  std::vector<std::uint8_t> bytes;  // 1..255 bytes
};

// Any other application: its sub-blocks are kept verbatim.
class UnknownApplicationExtension final : public ApplicationExtension {
 public:
  static const ExtensionClass kClass;
  using ApplicationExtension::ApplicationExtension;
  const ExtensionClass& extensionClass() const override { return kClass; }

  std::vector<DataSubBlock> blocks;

 protected:
  void saveData(GifStream& stream) const override;
  void loadData(GifInput& input) override;
  bool writesShortIdentifier() const override;
};

}  // namespace zefra::gif
