// zefra-cli gif-info, end to end: the exact lines for a file with and without graphic
// control, loop and warnings, the pixel checksum, and the failure exit.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gif/application_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "io/lbl_test_files.h"

namespace zefra::gif {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out;
};

CliRun runCli(const std::string& args) {
  CliRun r;
  const std::string command = std::string(ZEFRA_CLI_PATH) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) r.out += buffer.data();
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// In a folder of the test's own: test runs of other checkouts share the system's /tmp.
fs::path writeTemp(const zefra::testing::TempDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const fs::path path = dir / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST(GifInfoCli, ListsFramesExtensionsAndPixelChecksums) {
  GifImage image;
  for (int i = 0; i < 64; ++i) image.globalTable().append(rgb(static_cast<std::uint8_t>(i), 0, 0));
  auto first = std::make_unique<GifFrame>(&image);
  first->setPlacement(0, 0, 9, 1);
  // The bytes "123456789": their CRC-32 is the well-known check value CBF43926.
  first->setPixels({'1', '2', '3', '4', '5', '6', '7', '8', '9'});
  auto loop = std::make_unique<LoopExtension>(*first);
  loop->loopCount = 7;
  first->extensions().add(std::move(loop));
  image.addFrame(std::move(first));
  auto second = std::make_unique<GifFrame>(&image);
  second->setPlacement(2, 0, 3, 2);
  second->setInterlaced(true);
  second->setPixels(std::vector<std::uint8_t>(6, 0));
  auto gce = std::make_unique<GraphicControlExtension>(*second);
  gce->setDelayCs(25);
  gce->setDisposal(Disposal::RestoreBackground);
  gce->setTransparencyOn(true);
  gce->setTransparentIndex(5);
  second->extensions().add(std::move(gce));
  image.addFrame(std::move(second));
  std::vector<std::uint8_t> bytes = image.saveToBytes();
  bytes.back() = 'x';  // an unknown block instead of the trailer
  const zefra::testing::TempDir dir;
  const fs::path path = writeTemp(dir, "info.gif", bytes);

  const CliRun r = runCli("gif-info --pixels " + path.string());
  EXPECT_EQ(r.status, 0);
  // Six zero bytes: CRC-32 B1C2A1A3 (zlib.crc32(bytes(6))).
  EXPECT_EQ(r.out,
            "version 89a\n"
            "screen 9 2 colors 64\n"
            "frame 0 left 0 top 0 width 9 height 1 colors 0 interlaced 0 delay - disposal - transparent - crc32 CBF43926\n"
            "frame 1 left 2 top 0 width 3 height 2 colors 0 interlaced 1 delay 25 disposal 2 transparent 5 crc32 B1C2A1A3\n"
            "loop 7\n"
            "warning Unknown GIF block type\n"
            "warning Invalid Image trailer\n");

  const CliRun plain = runCli("gif-info " + path.string());
  EXPECT_EQ(plain.out.find("crc32"), std::string::npos);
}

TEST(GifInfoCli, FailureExitsWithTheMessage) {
  const zefra::testing::TempDir dir;
  const fs::path path = writeTemp(dir, "bad.gif", {'N', 'O', 'T', 'G', 'I', 'F', 0, 0, 0, 0});
  const CliRun r = runCli("gif-info " + path.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Invalid GIF signature"), std::string::npos) << r.out;
  EXPECT_EQ(runCli("gif-info").status, 2);
}

}  // namespace
}  // namespace zefra::gif
