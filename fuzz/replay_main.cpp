// Runs a fuzz target over files and folders given on the command line, so the corpus
// (seeds and past crashes) is replayed by CTest on every build, with or without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << path << "\n";
    return 1;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (!entry.is_regular_file()) continue;
        failures += replayFile(entry.path());
        ++files;
      }
    } else if (std::filesystem::exists(arg)) {
      failures += replayFile(arg);
      ++files;
    } else {
      std::cerr << "no such corpus: " << arg << "\n";
      ++failures;
    }
  }
  std::cout << "replayed " << files << " inputs\n";
  return failures == 0 ? 0 : 1;
}
