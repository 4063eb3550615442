#include "output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace zefra::cli {

void checkOutputFile(const std::string& output, const std::vector<std::string>& inputs) {
  if (isStandardOutput(output)) return;
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
