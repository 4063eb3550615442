#include "gif/gif_stream.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "gif/gif_error.h"

namespace zefra::gif {

std::size_t GifStream::read(std::uint8_t*, std::size_t) { throw GifError("Invalid stream operation"); }

void GifStream::seek(std::int64_t) { throw GifError("Invalid stream operation"); }

void GifStream::writeU16(std::uint16_t value) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
  write(b, 2);
}

void GifStream::writeU32(std::uint32_t value) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
                             static_cast<std::uint8_t>((value >> 16) & 0xFF), static_cast<std::uint8_t>(value >> 24)};
  write(b, 4);
}

void VectorGifStream::write(const std::uint8_t* data, std::size_t count) {
  bytes.insert(bytes.end(), data, data + count);
}

void OstreamGifStream::write(const std::uint8_t* data, std::size_t count) {
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
  if (!out) throw std::ios_base::failure("Cannot write to the output stream");
}

std::size_t GifInput::read(std::uint8_t* target, std::size_t count) {
  const std::size_t n = std::min(count, remaining());
  if (n > 0) std::memcpy(target, bytes.data() + pos, n);
  pos += n;
  return n;
}

std::span<const std::uint8_t> GifInput::take(std::size_t count) {
  const std::size_t n = std::min(count, remaining());
  auto result = bytes.subspan(pos, n);
  pos += n;
  return result;
}

}  // namespace zefra::gif
