#include "output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace zefra::cli {

namespace {

bool under(const std::string& path, const std::string& folder) {
  return path == folder || path.rfind(folder + "/", 0) == 0;
}

// /dev/shm is the exception: a memory-backed folder of ordinary files that scripts use as
// a fast scratch disk.
bool inSystemFolder(const std::string& path) {
  return (under(path, "/dev") && !under(path, "/dev/shm")) || under(path, "/proc");
}

// True when the name, or any link it passes through, lies in /dev or /proc: /dev/stdout
// and its kind lead to whatever standard output is, and replacing such a name would put a
// file where the system keeps its devices.
bool namesSystemFile(const std::string& output) {
  std::error_code ec;
  std::filesystem::path current = std::filesystem::absolute(output, ec);
  for (int hop = 0; hop < 40 && !ec; ++hop) {
    const std::filesystem::path folder = std::filesystem::weakly_canonical(current.parent_path(), ec);
    if (!ec && inSystemFolder(folder.string())) return true;
    if (!std::filesystem::is_symlink(current, ec)) return false;
    const std::filesystem::path target = std::filesystem::read_symlink(current, ec);
    if (ec) return false;
    current = target.is_absolute() ? target : current.parent_path() / target;
    if (inSystemFolder(current.lexically_normal().string())) return true;
  }
  return false;
}

}  // namespace

void checkOutputFile(const std::string& output, const std::vector<std::string>& inputs) {
  if (isStandardOutput(output)) return;
  if (namesSystemFile(output)) {
    throw std::runtime_error(output + " is a system file, not one to replace (use - for standard output)");
  }
  struct stat target {};
  if (::stat(output.c_str(), &target) != 0) return;  // a new file
  if (S_ISDIR(target.st_mode)) throw std::runtime_error(output + " is a folder; give a file name to write");
  if (!S_ISREG(target.st_mode)) {
    throw std::runtime_error(output + " is not a regular file; it is left alone (use - for standard output)");
  }
  for (const std::string& input : inputs) {
    struct stat source {};
    if (::stat(input.c_str(), &source) == 0 && source.st_dev == target.st_dev && source.st_ino == target.st_ino)
      throw std::runtime_error(output + " is the input file " + input + "; choose another output name");
  }
}

void writeStandardOutput(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("cannot write to standard output: ") + std::strerror(errno));
    }
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
}

}  // namespace zefra::cli
