#pragma once
// Reading a whole input file the careful way every reader of outside files shares:
// only regular files (a directory, FIFO or device is refused at once, and opening never
// waits for a FIFO's writer), never more than a stated size, and the first bytes shown to
// the caller before the rest is read, so a 2 GB file of the wrong kind costs a few bytes
// of reading rather than 2 GB of memory.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/populated_memory.h"

namespace zefra {

// Why a file could not be read: what() is "FILE: reason", reason() the part after the
// name ("No such file or directory", "a directory, not a file", "not a regular file",
// "too large (N bytes; the limit is M MB)").
class InputFileError : public std::runtime_error {
 public:
  InputFileError(const std::filesystem::path& path, std::string reason)
      : std::runtime_error(path.string() + ": " + reason), why(std::move(reason)) {}
  const std::string& reason() const { return why; }

 private:
  std::string why;
};

// The bytes of a file. The buffer is not zero-filled before reading: every byte in
// bytes() came from the file. A large file's buffer has its pages made before the read,
// not one fault per page while the kernel copies into it.
class FileBytes {
 public:
  std::span<const std::uint8_t> bytes() const { return {data.get(), size}; }

 private:
  friend FileBytes readInputFile(const std::filesystem::path&, std::uint64_t, std::size_t,
                                 const std::function<void(std::span<const std::uint8_t>)>&);
  friend FileBytes readInputFileStart(const std::filesystem::path&, std::size_t);
  friend FileBytes readInputOnce(const std::filesystem::path&, std::uint64_t);
  common::PopulatedBytes data;
  std::size_t size = 0;
};

// Throws InputFileError when the file cannot be opened or read, is not a regular file or
// holds more than maxBytes. When checkHead is
// given, it is called with the first min(headBytes, file size) bytes before anything else
// is read and throws whatever error suits the caller to refuse the file.
FileBytes readInputFile(const std::filesystem::path& path, std::uint64_t maxBytes, std::size_t headBytes = 0,
                        const std::function<void(std::span<const std::uint8_t>)>& checkHead = {});

// The first min(count, size) bytes of a regular file of any size, for formats whose
// readers ignore what follows their data.
FileBytes readInputFileStart(const std::filesystem::path& path, std::size_t count);

// Opens the file for reading under the same rules (regular file, no waiting), answering
// the open descriptor and the file's size; for readers that stream the file themselves.
struct OpenedInput {
  int fd = -1;
  std::uint64_t size = 0;
};
OpenedInput openInputFile(const std::filesystem::path& path, std::uint64_t maxBytes);

// For a file named on a command line and read once: a regular file as readInputFile reads
// it, or a pipe, FIFO or socket ("-" is standard input) read to its end, refused as soon as
// more than maxBytes arrive. A folder or device is refused.
FileBytes readInputOnce(const std::filesystem::path& path, std::uint64_t maxBytes);

// True for "-" and for names of pipes, FIFOs and sockets (/dev/stdin on a pipe, <(...)),
// which readInputOnce reads and the file readers refuse.
bool isStreamInput(const std::filesystem::path& path);

// "256 MB" for 256 << 20: the limits are stated in whole megabytes.
std::string megabytesText(std::uint64_t bytes);

}  // namespace zefra
