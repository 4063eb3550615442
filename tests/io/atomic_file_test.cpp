// Atomic replacement: a complete write replaces the file, a failed one leaves the old
// file and no stray temporary file behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>
#include <stdexcept>
#include <system_error>

#include "common/atomic_file.h"
#include "io/lbl_test_files.h"

namespace zefra::io {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::size_t entriesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(AtomicFile, WritesAndReplacesContent) {
  TempDir dir;
  const std::vector<std::uint8_t> first = {1, 2, 3};
  const std::vector<std::uint8_t> second(100000, 7);
  common::writeFileAtomically(dir / "f.bin", first);
  EXPECT_EQ(readBytes(dir / "f.bin"), first);
  common::writeFileAtomically(dir / "f.bin", second);
  EXPECT_EQ(readBytes(dir / "f.bin"), second);
  EXPECT_EQ(entriesIn(dir.path), 1u);
}

TEST(AtomicFile, StreamingGathersPiecesInOrder) {
  TempDir dir;
  std::vector<std::uint8_t> expected;
  common::writeFileAtomically(dir / "s.bin", [&](const common::ByteSink& sink) {
    // Small pieces, a piece larger than any buffer, then small ones again.
    for (int i = 0; i < 5000; ++i) {
      const std::uint8_t piece[] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)};
      sink(piece);
      expected.insert(expected.end(), piece, piece + 2);
    }
    std::vector<std::uint8_t> big(200000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31);
    sink(big);
    expected.insert(expected.end(), big.begin(), big.end());
    const std::uint8_t tail[] = {9, 8, 7};
    sink(tail);
    expected.insert(expected.end(), tail, tail + 3);
  });
  EXPECT_EQ(readBytes(dir / "s.bin"), expected);
}

TEST(AtomicFile, ProducerFailureLeavesTheOldFile) {
  TempDir dir;
  writeBytes(dir / "keep.bin", {42, 42});
  EXPECT_THROW(common::writeFileAtomically(dir / "keep.bin",
                                   [](const common::ByteSink& sink) {
                                     const std::uint8_t part[] = {1};
                                     sink(part);
                                     throw std::runtime_error("producer gave up");
                                   }),
               std::runtime_error);
  EXPECT_EQ(readBytes(dir / "keep.bin"), (std::vector<std::uint8_t>{42, 42}));
  EXPECT_EQ(entriesIn(dir.path), 1u);
}

TEST(AtomicFile, ErrorsCarryTheSystemTextAndThePath) {
  TempDir dir;
  const std::vector<std::uint8_t> bytes = {1};
  try {
    common::writeFileAtomically(dir / "no-such-folder" / "f.bin", bytes);
    FAIL() << "wrote into a missing folder";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("no-such-folder"), std::string::npos) << error.what();
  }
  // A folder in the way of the target: the rename fails, the folder stays, no temp left.
  std::filesystem::create_directory(dir / "taken");
  EXPECT_THROW(common::writeFileAtomically(dir / "taken", bytes), std::system_error);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
  EXPECT_EQ(entriesIn(dir.path), 1u);
}

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile) {
  TempDir dir;
  writeBytes(dir / "m.bin", {1});
  ASSERT_EQ(::chmod((dir / "m.bin").c_str(), 0640), 0);
  const std::vector<std::uint8_t> bytes = {2};
  common::writeFileAtomically(dir / "m.bin", bytes);
  struct stat info {};
  ASSERT_EQ(::stat((dir / "m.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// A full disk, simulated with a file size limit in a child process: the write fails
// half way and the previous content survives.
TEST(AtomicFile, WriteFailingHalfWayLeavesTheOldFile) {
  TempDir dir;
  const std::vector<std::uint8_t> old(3000, 5);
  writeBytes(dir / "big.bin", old);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::vector<std::uint8_t> bytes(100000, 9);
    try {
      common::writeFileAtomically(dir / "big.bin", bytes);
    } catch (const std::system_error& error) {
      ::_exit(error.code() == std::errc::file_too_large ? 0 : 2);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readBytes(dir / "big.bin"), old);
  EXPECT_EQ(entriesIn(dir.path), 1u);
}

// A signal that ends the program while a file is being written removes the temporary
// file; the target keeps its old content, the program still ends by that signal, and an
// interrupt says so on standard error.
TEST(AtomicFile, SignalsDuringAWriteRemoveTheTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGXFSZ, SIGHUP}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    const auto target = dir / "out.gif";
    writeBytes(target, {'o', 'l', 'd'});
    int errorPipe[2];
    ASSERT_EQ(::pipe(errorPipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::dup2(errorPipe[1], STDERR_FILENO);
      // A test started in the background inherits an ignored SIGINT, which stays ignored.
      std::signal(signal, SIG_DFL);
      common::removeTemporaryFilesOnSignals(true);
      common::writeFileAtomically(target, [&](const common::ByteSink& sink) {
        const std::vector<std::uint8_t> piece(1 << 20, 0x55);
        for (int i = 0; i < 4; ++i) sink(piece);  // past the gathering buffer: on disk
        ::raise(signal);
        sink(piece);
      });
      ::_exit(0);  // not reached
    }
    ::close(errorPipe[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = ::read(errorPipe[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
    ::close(errorPipe[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"out.gif"});
    EXPECT_EQ(readBytes(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(said.find("Interrupted") != std::string::npos, signal == SIGINT) << said;
  }
}

}  // namespace
}  // namespace zefra::io
