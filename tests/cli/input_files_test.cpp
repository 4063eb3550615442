// Files a careless or hostile user hands to zefra-cli as input: directories, FIFOs, files
// far larger than any GIF, PNG or project, and large files of the wrong kind. Each ends
// promptly with exit 1 and a message naming the file and the reason, without reading (or
// allocating) the whole file and without waiting on a FIFO.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/cli_run.h"

namespace zefra::testing {
namespace {

// A file of `size` bytes that takes no disk space: `start`, then a hole.
void writeSparse(const std::filesystem::path& path, const std::string& start, off_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

// Every command is run under `timeout`, so a read that blocks fails the test instead of
// hanging it.
const std::string kTimeout = "timeout 20";
// AddressSanitizer and ThreadSanitizer reserve far more address space than any limit a test
// could set, so the address-space limit that proves a file is never loaded applies only to
// plain builds; the messages are checked in all.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const std::string kSmallAddressSpace;
#else
const std::string kSmallAddressSpace = "ulimit -v 150000; ";
#endif

// A FIFO named as an input that is read once is read like a pipe, its writer's data being
// the file; where a file must be re-read (a picture) it stays refused.
TEST(CliInputFiles, DirectoriesAreRefusedAtOnceAndFifosAreReadAsPipes) {
  TempDir dir;
  const std::string folder = (dir / "folder.gif").string();
  std::filesystem::create_directory(folder);
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  const CliResult gifDir = runZefraCli(dir, "gif-info " + shellQuoted(folder), kTimeout);
  EXPECT_EQ(gifDir.exitCode, 1);
  EXPECT_EQ(gifDir.err, "zefra-cli gif-info: " + folder + ": a directory, not a file\n");

  const CliResult gifFifo = runZefraCli(dir, "gif-info " + shellQuoted(fifo), "(printf GIF89a > " + shellQuoted(fifo) + " &); " + kTimeout);
  EXPECT_EQ(gifFifo.exitCode, 1);
  EXPECT_EQ(gifFifo.err, "zefra-cli gif-info: Premature end of data\n");

  const CliResult written = runZefraCli(dir, "new " + shellQuoted((dir / "n.lbl").string()) + " && (cat " +
                                                 shellQuoted((dir / "n.lbl").string()) + " > " + shellQuoted(fifo) +
                                                 " &) && " + kTimeout + " " + shellQuoted(ZEFRA_CLI_PATH) + " info " +
                                                 shellQuoted(fifo), "true; ");
  EXPECT_EQ(written.exitCode, 0) << written.err;
  EXPECT_TRUE(contains(written.out, "Frames: 1")) << written.out;

  const CliResult infoDir = runZefraCli(dir, "info " + shellQuoted(folder), kTimeout);
  EXPECT_EQ(infoDir.exitCode, 1);
  EXPECT_EQ(infoDir.err, "zefra-cli info: Error reading the file " + folder + ": a directory, not a file\n");

  // A picture from a FIFO is told by its first bytes, not its name.
  const CliResult pngFifo = runZefraCli(dir, "quantize " + shellQuoted(fifo + ".png") + " " +
                                                 shellQuoted((dir / "out.gif").string()),
                                        "mkfifo " + shellQuoted(fifo + ".png") + "; (printf 'GIF89a' > " +
                                            shellQuoted(fifo + ".png") + " &); " + kTimeout);
  EXPECT_EQ(pngFifo.exitCode, 1);
  EXPECT_TRUE(contains(pngFifo.err, fifo + ".png: not a PNG or BMP picture")) << pngFifo.err;
}

TEST(CliInputFiles, OversizedFilesAreRefusedBeforeReading) {
  TempDir dir;
  // Larger than the documented 256 MB limit, with a valid signature.
  const std::string big = (dir / "big.gif").string();
  writeSparse(big, "GIF89a", (off_t{1} << 28) + 1);
  const CliResult tooLarge = runZefraCli(dir, "gif-info " + shellQuoted(big), kTimeout);
  EXPECT_EQ(tooLarge.exitCode, 1);
  EXPECT_EQ(tooLarge.err, "zefra-cli gif-info: " + big + ": too large (268435457 bytes; the limit is 256 MB)\n");

  // 200 MB that is no GIF at all, read with 150 MB of address space: the signature is
  // checked on the first bytes, so the file is never loaded.
  const std::string junk = (dir / "junk.gif").string();
  writeSparse(junk, "not a GIF file", off_t{200} << 20);
  const CliResult notGif = runZefraCli(dir, "gif-info " + shellQuoted(junk), kSmallAddressSpace + kTimeout);
  EXPECT_EQ(notGif.exitCode, 1);
  EXPECT_EQ(notGif.err, "zefra-cli gif-info: Invalid GIF signature\n");

  // The same for a PNG picture.
  const std::string junkPng = (dir / "junk.png").string();
  writeSparse(junkPng, "not a PNG file", off_t{200} << 20);
  const CliResult notPng = runZefraCli(
      dir, "quantize " + shellQuoted(junkPng) + " " + shellQuoted((dir / "out.gif").string()), kSmallAddressSpace + kTimeout);
  EXPECT_EQ(notPng.exitCode, 1);
  EXPECT_EQ(notPng.err, "zefra-cli quantize: Not a PNG file\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));

  // A project file is read only as far as the largest project goes.
  const std::string bigLbl = (dir / "big.lbl").string();
  writeSparse(bigLbl, "not a project", off_t{1} << 30);
  const CliResult notLbl = runZefraCli(dir, "info " + shellQuoted(bigLbl), kSmallAddressSpace + kTimeout);
  EXPECT_EQ(notLbl.exitCode, 1);
  EXPECT_EQ(notLbl.err, "zefra-cli info: Error reading the file " + bigLbl + ": not a Zefra project\n");
}

}  // namespace
}  // namespace zefra::testing
