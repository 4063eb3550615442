#include "gif/sub_block_writer.h"

namespace zefra::gif {

SubBlockWriter::~SubBlockWriter() {
  if (finished) return;
  try {
    finish();
  } catch (...) {
    // A destructor cannot report; the encoder's own finish() already did.
  }
}

void SubBlockWriter::write(const std::uint8_t* data, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) put(data[i]);
}

void SubBlockWriter::flushFull() {
  buffer[0] = 255;
  fill = 1;
  dirty = false;
  dest.write(buffer.data(), buffer.size());
}

void SubBlockWriter::finish() {
  finished = true;
  if (!dirty) return;
  buffer[0] = static_cast<std::uint8_t>(fill - 1);
  dest.write(buffer.data(), fill);
  fill = 1;
  dirty = false;
}

}  // namespace zefra::gif
