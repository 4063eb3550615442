#pragma once
// Cuts a code stream into GIF data sub-blocks: each full block is one write of 256 bytes
// (length 255 and the data) to the destination. finish() writes the last partial block,
// only if data came since the last full one, so a stream of an exact multiple of 255
// bytes ends with full blocks and no empty block. The terminator is the caller's.

#include <array>
#include <cstdint>

#include "gif/gif_stream.h"

namespace zefra::gif {

class SubBlockWriter final : public GifStream {
 public:
  explicit SubBlockWriter(GifStream& destination) : dest(destination) {}
  // Flushes a pending block unless finish() ran; errors at this point are lost, so
  // encoders call finish() themselves.
  ~SubBlockWriter() override;

  void write(const std::uint8_t* data, std::size_t count) override;
  void put(std::uint8_t value) {
    buffer[fill++] = value;
    dirty = true;
    if (fill == 256) flushFull();
  }
  // Four bytes at once, the low byte of value first.
  void put4(std::uint32_t value) {
    if (fill + 4 < 256) {
      buffer[fill] = static_cast<std::uint8_t>(value);
      buffer[fill + 1] = static_cast<std::uint8_t>(value >> 8);
      buffer[fill + 2] = static_cast<std::uint8_t>(value >> 16);
      buffer[fill + 3] = static_cast<std::uint8_t>(value >> 24);
      fill += 4;
      dirty = true;
      return;
    }
    for (int i = 0; i < 4; ++i) put(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void finish();

 private:
  void flushFull();

  GifStream& dest;
  std::array<std::uint8_t, 256> buffer{};
  std::size_t fill = 1;
  bool dirty = false;
  bool finished = false;
};

}  // namespace zefra::gif
