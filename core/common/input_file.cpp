#include "common/input_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zefra {
namespace {

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string reason(int error) { return std::strerror(error); }

// Reads until count bytes or the end of the file; answers how many were read.
std::size_t readFully(int fd, std::uint8_t* target, std::size_t count, const std::filesystem::path& path) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd, target + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw InputFileError(path, reason(errno));
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

std::string megabytesText(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

OpenedInput openInputFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for ever; it is
  // refused just below, and regular files ignore the flag.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw InputFileError(path, reason(errno));
  Descriptor guard{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw InputFileError(path, reason(errno));
  if (S_ISDIR(info.st_mode)) throw InputFileError(path, "a directory, not a file");
  if (!S_ISREG(info.st_mode)) throw InputFileError(path, "not a regular file");
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (maxBytes != UINT64_MAX && size > maxBytes) {
    throw InputFileError(path, "too large (" + std::to_string(size) + " bytes; the limit is " +
                                   megabytesText(maxBytes) + ")");
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  guard.fd = -1;
  return {fd, size};
}

FileBytes readInputFile(const std::filesystem::path& path, std::uint64_t maxBytes, std::size_t headBytes,
                        const std::function<void(std::span<const std::uint8_t>)>& checkHead) {
  const OpenedInput opened = openInputFile(path, maxBytes);
  Descriptor guard{opened.fd};
  const auto size = static_cast<std::size_t>(opened.size);
  FileBytes file;
  std::size_t done = 0;
  common::PopulatedBytes head;
  if (checkHead) {
    // Checked before the whole file is allocated, let alone read.
    const std::size_t count = headBytes < size ? headBytes : size;
    head = common::makePopulatedBytes(count);
    done = readFully(opened.fd, head.get(), count, path);
    checkHead(std::span<const std::uint8_t>(head.get(), done));
    if (done < count) {
      file.data = std::move(head);
      file.size = done;
      return file;
    }
  }
  // Not zero-filled: the read overwrites it at once.
  file.data = common::makePopulatedBytes(size);
  if (done > 0) std::memcpy(file.data.get(), head.get(), done);
  // A file that shrank since it was measured gives fewer bytes; one that grew is read up
  // to the size measured, which the limit was checked against.
  done += readFully(opened.fd, file.data.get() + done, size - done, path);
  file.size = done;
  return file;
}

FileBytes readInputFileStart(const std::filesystem::path& path, std::size_t count) {
  const OpenedInput opened = openInputFile(path, UINT64_MAX);
  Descriptor guard{opened.fd};
  const std::size_t size = opened.size < count ? static_cast<std::size_t>(opened.size) : count;
  FileBytes file;
  file.data = common::makePopulatedBytes(size);
  file.size = readFully(opened.fd, file.data.get(), size, path);
  return file;
}

bool isStreamInput(const std::filesystem::path& path) {
  if (path == "-") return true;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

FileBytes readInputOnce(const std::filesystem::path& path, std::uint64_t maxBytes) {
  const bool standardInput = path == "-";
  const std::filesystem::path shown = standardInput ? std::filesystem::path("standard input") : path;
  const int fd = standardInput ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                               : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw InputFileError(shown, reason(errno));
  Descriptor guard{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw InputFileError(shown, reason(errno));
  if (S_ISREG(info.st_mode) && !standardInput) {
    guard.fd = -1;
    ::close(fd);
    return readInputFile(path, maxBytes);
  }
  if (S_ISDIR(info.st_mode)) throw InputFileError(shown, "a directory, not a file");
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode) && !S_ISSOCK(info.st_mode))
    throw InputFileError(shown, "not a regular file or pipe");
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  const auto take = [&](std::size_t n) {
    if (bytes.size() + n > maxBytes) {
      throw InputFileError(shown, "too large (more than " + std::to_string(maxBytes) + " bytes; the limit is " +
                                      megabytesText(maxBytes) + ")");
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  };
  if (S_ISFIFO(info.st_mode) && !standardInput) {
    // Named on purpose, a FIFO is read as any reader of one does: waiting for a writer and
    // its data. It stays open non-blocking (a read before any writer came would end at
    // once), and poll() does the waiting.
    for (;;) {
      struct pollfd wait {fd, POLLIN, 0};
      if (::poll(&wait, 1, -1) < 0) {
        if (errno == EINTR) continue;
        throw InputFileError(shown, reason(errno));
      }
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n > 0) {
        take(static_cast<std::size_t>(n));
      } else if (n == 0) {
        break;  // the writers are gone
      } else if (errno != EAGAIN && errno != EINTR) {
        throw InputFileError(shown, reason(errno));
      }
    }
  } else {
    // A pipe or standard input: its descriptor's flags are shared with whoever gave it,
    // so it is read as it is.
    for (;;) {
      const std::size_t n = readFully(fd, chunk, sizeof chunk, shown);
      take(n);
      if (n < sizeof chunk) break;
    }
  }
  FileBytes file;
  file.data = common::makePopulatedBytes(bytes.size());
  if (!bytes.empty()) std::memcpy(file.data.get(), bytes.data(), bytes.size());
  file.size = bytes.size();
  return file;
}

}  // namespace zefra
