#pragma once
// Byte streams used by the GIF writer and reader.
//
// GifStream is the write side: the writer only ever appends, so reading and seeking are
// refused with "Invalid stream operation". GifInput is the read side: a bounded view of
// bytes in memory with a position that can move back, which the reader needs for its
// look-ahead and for restoring the position after an error.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <vector>

#include "common/atomic_file.h"

namespace zefra::gif {

class GifStream {
 public:
  virtual ~GifStream() = default;

  virtual void write(const std::uint8_t* data, std::size_t count) = 0;
  // Refused: the stream is write-only.
  virtual std::size_t read(std::uint8_t* data, std::size_t count);
  virtual void seek(std::int64_t position);

  void writeByte(std::uint8_t value) { write(&value, 1); }
  void writeU16(std::uint16_t value);
  void writeU32(std::uint32_t value);
};

// Appends to a byte vector the caller owns.
class VectorGifStream final : public GifStream {
 public:
  explicit VectorGifStream(std::vector<std::uint8_t>& target) : bytes(target) {}
  void write(const std::uint8_t* data, std::size_t count) override;

 private:
  std::vector<std::uint8_t>& bytes;
};

// Hands every write on to a sink, such as the atomic file writer's.
class SinkGifStream final : public GifStream {
 public:
  explicit SinkGifStream(const common::ByteSink& target) : sink(target) {}
  void write(const std::uint8_t* data, std::size_t count) override { sink({data, count}); }

 private:
  const common::ByteSink& sink;
};

// Writes to a standard stream; a failing stream raises std::ios_base::failure.
class OstreamGifStream final : public GifStream {
 public:
  explicit OstreamGifStream(std::ostream& target) : out(target) {}
  void write(const std::uint8_t* data, std::size_t count) override;

 private:
  std::ostream& out;
};

// Read side: a view of bytes that must outlive the input.
class GifInput {
 public:
  explicit GifInput(std::span<const std::uint8_t> data) : bytes(data) {}

  std::size_t position() const { return pos; }
  std::size_t size() const { return bytes.size(); }
  std::size_t remaining() const { return bytes.size() - pos; }
  bool atEnd() const { return pos >= bytes.size(); }

  // Positions past the end are clamped to the end.
  void seek(std::size_t position) { pos = position < bytes.size() ? position : bytes.size(); }
  void skip(std::size_t count) { seek(pos + (count < remaining() ? count : remaining())); }
  void stepBack(std::size_t count = 1) { pos = count < pos ? pos - count : 0; }

  // Copies up to count bytes and answers how many there were.
  std::size_t read(std::uint8_t* target, std::size_t count);
  bool readByte(std::uint8_t& value) {
    if (pos >= bytes.size()) return false;
    value = bytes[pos++];
    return true;
  }
  // Direct access to the next count bytes (fewer at the end); advances past them.
  std::span<const std::uint8_t> take(std::size_t count);

 private:
  std::span<const std::uint8_t> bytes;
  std::size_t pos = 0;
};

}  // namespace zefra::gif
