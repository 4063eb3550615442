#pragma once
// The two extensions that carry text: comments (label 0xFE) and plain text (label 0x01).
// Text is held as a list of lines; writing cuts each line into sub-blocks of at most 255
// bytes, reading gives one line per sub-block.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gif/gif_extension.h"

namespace zefra::gif {

class CommentExtension final : public GifExtension {
 public:
  static const ExtensionClass kClass;
  using GifExtension::GifExtension;
  const ExtensionClass& extensionClass() const override { return kClass; }

  std::vector<std::string> lines;

 protected:
  void saveBody(GifStream& stream) const override;
  void loadBody(GifInput& input) override;
};

class PlainTextExtension final : public GifExtension {
 public:
  static const ExtensionClass kClass;
  using GifExtension::GifExtension;
  const ExtensionClass& extensionClass() const override { return kClass; }

  // Block size 12, grid left/top/width/height (u16 each), cell width/height, foreground
  // and background colour index; all zero but the size when created.
  std::array<std::uint8_t, 13> block{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::string> lines;

 protected:
  void saveBody(GifStream& stream) const override;
  void loadBody(GifInput& input) override;
};

// Writes each line as sub-blocks of at most 255 bytes (an empty line writes nothing).
void writeTextSubBlocks(GifStream& stream, const std::vector<std::string>& lines);
// Reads sub-blocks up to a zero length (or the end of input), one line per sub-block.
std::vector<std::string> readTextSubBlocks(GifInput& input);

}  // namespace zefra::gif
