// Whole-file reading: every byte arrives exactly, on both sides of the size from which the
// buffer is mapped rather than taken from the heap, from a file and from a FIFO.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <span>
#include <thread>
#include <vector>

#include "common/input_file.h"
#include "common/populated_memory.h"
#include "io/lbl_test_files.h"

namespace zefra::io {
namespace {

using testing::TempDir;
using testing::writeBytes;

std::vector<std::uint8_t> pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = 12345;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

std::vector<std::uint8_t> copyOf(const FileBytes& file) {
  const auto bytes = file.bytes();
  return {bytes.begin(), bytes.end()};
}

TEST(InputFile, FilesAroundTheMappedSizeAreReadExactly) {
  TempDir dir;
  const std::size_t sizes[] = {0, 1, common::kPopulatedBytes - 1, common::kPopulatedBytes,
                               3 * common::kPopulatedBytes + 12345};
  for (const std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const auto expected = pattern(size);
    const auto path = dir / "f.bin";
    writeBytes(path, expected);
    EXPECT_EQ(copyOf(readInputFile(path, UINT64_MAX)), expected);
    // With a head check, the head is read first and the rest after it.
    std::size_t headSeen = 0;
    const auto checked = readInputFile(path, UINT64_MAX, 10, [&](std::span<const std::uint8_t> head) {
      headSeen = head.size();
      EXPECT_TRUE(std::equal(head.begin(), head.end(), expected.begin()));
    });
    EXPECT_EQ(headSeen, std::min<std::size_t>(10, size));
    EXPECT_EQ(copyOf(checked), expected);
    EXPECT_EQ(copyOf(readInputOnce(path, UINT64_MAX)), expected);
    const auto start = readInputFileStart(path, common::kPopulatedBytes + 7);
    EXPECT_EQ(copyOf(start), std::vector<std::uint8_t>(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(
                                                                          std::min(size, common::kPopulatedBytes + 7))));
  }
}

TEST(InputFile, FifoLargerThanTheMappedSizeArrivesWhole) {
  TempDir dir;
  const auto fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto expected = pattern(2 * common::kPopulatedBytes + 3);
  std::thread writer([&] {
    std::ofstream out(fifo, std::ios::binary);
    out.write(reinterpret_cast<const char*>(expected.data()), static_cast<std::streamsize>(expected.size()));
  });
  const auto read = copyOf(readInputOnce(fifo, UINT64_MAX));
  writer.join();
  EXPECT_EQ(read, expected);
}

}  // namespace
}  // namespace zefra::io
