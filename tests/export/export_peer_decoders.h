#pragma once
// Decoding an exported GIF with the real clients the export must satisfy: giflib (linked
// when present), ImageMagick and Pillow (run as programs). Each gives the frame count, the
// delays, the loop count and every frame composed on the logical screen as RGBA, so the
// tests can hold all of them against Zefra's own rendering.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zefra::exporter::testing {

struct RgbaFrame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // 4 bytes per pixel, rows top to bottom
};

struct PeerDecode {
  std::string peer;
  std::string error;  // empty when decoding went cleanly (no error, no warning)
  int frameCount = 0;
  std::vector<int> delaysCs;
  int loopCount = -1;  // -1: no loop extension
  std::vector<RgbaFrame> frames;
};

// Result of running a shell command: exit status and what it wrote.
struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};
CommandResult runCommand(const std::string& command, const std::string& scratchDir);

bool haveProgram(const std::string& name);
// The interpreter that has PIL, or empty.
std::string pillowPython();

#ifdef ZEFRA_HAVE_GIFLIB
PeerDecode decodeWithGiflib(const std::string& path);
#endif
// `identify` for count, delays and loop; `convert -coalesce` for the frames.
PeerDecode decodeWithImageMagick(const std::string& path, const std::string& scratchDir);
// Frames are read back at the logical screen size width x height.
PeerDecode decodeWithPillow(const std::string& path, const std::string& scratchDir, const std::string& script,
                            int width, int height);

}  // namespace zefra::exporter::testing
