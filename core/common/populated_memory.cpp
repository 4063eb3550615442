#include "common/populated_memory.h"

#include <sys/mman.h>

#include <new>

namespace zefra::common {

void* allocatePopulated(std::size_t bytes) {
  if (bytes < kPopulatedBytes) return ::operator new(bytes > 0 ? bytes : 1);
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  return memory;
}

void releasePopulated(void* memory, std::size_t bytes) noexcept {
  if (!memory) return;
  if (bytes < kPopulatedBytes) {
    ::operator delete(memory);
  } else {
    ::munmap(memory, bytes);
  }
}

}  // namespace zefra::common
