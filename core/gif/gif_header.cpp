#include "gif/gif_header.h"

#include <algorithm>
#include <cctype>

#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

GifHeader::GifHeader(GifImage* image) : GifItem(image), table(image, this) {}

void GifHeader::setWidth(int width) {
  bytes[0] = static_cast<std::uint8_t>(width & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((width >> 8) & 0xFF);
}

void GifHeader::setHeight(int height) {
  bytes[2] = static_cast<std::uint8_t>(height & 0xFF);
  bytes[3] = static_cast<std::uint8_t>((height >> 8) & 0xFF);
}

void GifHeader::clear() {
  bytes.fill(0);
  loadedVersion.clear();
  table.reset();
}

std::uint8_t GifHeader::computePacked() const {
  int maxResolution = table.empty() ? -1 : table.colorResolution();
  int maxLocalBits = 0;
  if (image()) {
    for (const auto& frame : image()->frames()) {
      const LocalColorMap& local = frame->localColorMap();
      if (local.empty()) continue;
      maxResolution = std::max(maxResolution, local.colorResolution());
      maxLocalBits = std::max(maxLocalBits, local.pixelBits());
    }
  }
  unsigned packed = (static_cast<unsigned>(maxResolution) & 7u) << 4;
  if (!table.empty()) {
    packed |= 0x80;
    if (table.sorted()) packed |= 0x08;
    packed |= static_cast<unsigned>(table.pixelBits() - 1) & 7u;
  } else {
    // Without a global table these bits mean nothing to a reader; they still follow the
    // widest local table.
    packed |= static_cast<unsigned>(maxLocalBits - 1) & 7u;
  }
  return static_cast<std::uint8_t>(packed);
}

GifVersion GifHeader::requiredVersion() const {
  return (table.sorted() || bytes[6] != 0) ? GifVersion::Gif89a : GifVersion::Gif87a;
}

void GifHeader::saveToStream(GifStream& stream) const {
  const GifVersion version = image() ? image()->requiredVersion() : requiredVersion();
  const char* signature = version == GifVersion::Gif89a ? "GIF89a" : "GIF87a";
  stream.write(reinterpret_cast<const std::uint8_t*>(signature), 6);
  std::array<std::uint8_t, 7> out = bytes;
  out[4] = computePacked();
  stream.write(out.data(), out.size());
  table.saveToStream(stream);
}

void GifHeader::loadFromStream(GifInput& input) {
  const std::size_t start = input.position();
  std::uint8_t signature[6];
  auto isGif = [&] {
    return std::toupper(signature[0]) == 'G' && std::toupper(signature[1]) == 'I' && std::toupper(signature[2]) == 'F';
  };
  if (input.read(signature, 6) < 6) throw GifError("Premature end of data");
  if (!isGif()) {
    // Some producers put a 4-byte length before the signature.
    input.seek(start + 4);
    if (input.read(signature, 6) < 6) throw GifError("Premature end of data");
    if (!isGif()) throw GifError("Invalid GIF signature");
  }
  loadedVersion.assign(reinterpret_cast<const char*>(signature) + 3, 3);
  std::array<std::uint8_t, 7> descriptor{};
  if (input.read(descriptor.data(), descriptor.size()) < descriptor.size()) throw GifError("Premature end of data");
  bytes = descriptor;
  if (bytes[4] & 0x80)
    table.loadFromStream(input, 2 << (bytes[4] & 7));
  else
    table.reset();
}

}  // namespace zefra::gif
