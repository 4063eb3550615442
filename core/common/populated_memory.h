#pragma once
// Memory for large buffers that are written through from start to end at once: a file read
// whole, a decoded frame. Such a buffer is mapped with all its pages made in one go;
// touching fresh pages one at a time costs a page fault per 4 KB, which was most of the
// system time of reading and decoding a large GIF. Smaller buffers come from the heap.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zefra::common {

// Buffers of at least this many bytes are mapped.
inline constexpr std::size_t kPopulatedBytes = std::size_t{1} << 20;

// Uninitialised storage for bytes bytes (at least one); throws std::bad_alloc. Give it
// back with releasePopulated and the same size.
void* allocatePopulated(std::size_t bytes);
void releasePopulated(void* memory, std::size_t bytes) noexcept;

// Owns a buffer from allocatePopulated.
struct PopulatedDeleter {
  std::size_t bytes = 0;
  void operator()(std::uint8_t* memory) const noexcept { releasePopulated(memory, bytes); }
};
using PopulatedBytes = std::unique_ptr<std::uint8_t[], PopulatedDeleter>;

inline PopulatedBytes makePopulatedBytes(std::size_t bytes) {
  return PopulatedBytes(static_cast<std::uint8_t*>(allocatePopulated(bytes)), PopulatedDeleter{bytes});
}

}  // namespace zefra::common
