#include "gif/text_extensions.h"

#include "gif/gif_error.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

const ExtensionClass CommentExtension::kClass{
    0xFE, [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<CommentExtension>(f); },
    resolveToSelf};

const ExtensionClass PlainTextExtension::kClass{
    0x01, [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<PlainTextExtension>(f); },
    resolveToSelf};

void writeTextSubBlocks(GifStream& stream, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::size_t done = 0;
    while (done < line.size()) {
      const std::size_t n = std::min<std::size_t>(255, line.size() - done);
      stream.writeByte(static_cast<std::uint8_t>(n));
      stream.write(reinterpret_cast<const std::uint8_t*>(line.data()) + done, n);
      done += n;
    }
  }
}

std::vector<std::string> readTextSubBlocks(GifInput& input) {
  std::vector<std::string> lines;
  std::uint8_t length = 0;
  if (!input.readByte(length)) return lines;
  while (length != 0) {
    const auto bytes = input.take(length);
    if (bytes.size() < length) throw GifError("Premature end of data");
    lines.emplace_back(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!input.readByte(length)) break;
  }
  return lines;
}

void CommentExtension::saveBody(GifStream& stream) const {
  writeTextSubBlocks(stream, lines);
  stream.writeByte(0);
}

void CommentExtension::loadBody(GifInput& input) { lines = readTextSubBlocks(input); }

void PlainTextExtension::saveBody(GifStream& stream) const {
  stream.write(block.data(), block.size());
  writeTextSubBlocks(stream, lines);
  stream.writeByte(0);
}

void PlainTextExtension::loadBody(GifInput& input) {
  if (input.read(block.data(), block.size()) < block.size()) throw GifError("Premature end of data");
  lines = readTextSubBlocks(input);
}

}  // namespace zefra::gif
