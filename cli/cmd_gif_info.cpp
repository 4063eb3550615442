// zefra-cli gif-info: what the GIF reader makes of a file, one line per item, in a form
// scripts and tests can compare.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "json_text.h"
#include "options.h"
#include "common/input_file.h"
#include "gif/gif_error.h"
#include "gif/application_extension.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"

namespace zefra::cli {
namespace {

// CRC-32 as zlib computes it (reflected polynomial 0xEDB88320), fed in pieces zlib's
// length type can take.
std::uint32_t crc32Of(const std::uint8_t* data, std::size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const auto n = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
    crc = crc32(crc, data, n);
    data += n;
    size -= n;
  }
  return static_cast<std::uint32_t>(crc);
}

std::string hex8(std::uint32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", value);
  return buffer;
}

// The same facts as the text form, as one JSON object (shape documented in the README).
void printJson(const gif::GifImage& image, const std::vector<std::string>& warnings, bool pixels) {
  std::string version = image.header().loadedVersion;
  if (version != "87a" && version != "89a")
    version = image.requiredVersion() == gif::GifVersion::Gif89a ? "89a" : "87a";
  std::ostream& out = std::cout;
  out << "{\"version\": \"" << version << "\", \"width\": " << image.width() << ", \"height\": " << image.height()
      << ", \"colors\": " << image.globalTable().count() << ",\n \"frames\": [";
  const gif::LoopExtension* loop = nullptr;
  for (int i = 0; i < image.frames().count(); ++i) {
    const gif::GifFrame& frame = image.frames()[i];
    out << (i ? ",\n  " : "\n  ") << "{\"left\": " << frame.left() << ", \"top\": " << frame.top()
        << ", \"width\": " << frame.width() << ", \"height\": " << frame.height()
        << ", \"colors\": " << frame.localColorMap().count() << ", \"interlaced\": " << (frame.interlaced() ? "true" : "false");
    const gif::GraphicControlExtension* gce = frame.graphicControl;
    out << ", \"delay\": " << (gce ? std::to_string(gce->delayCs()) : "null")
        << ", \"disposal\": " << (gce ? std::to_string(static_cast<int>(gce->disposal())) : "null")
        << ", \"transparent\": "
        << (gce && gce->transparent() ? std::to_string(static_cast<int>(gce->transparentIndex())) : "null");
    if (pixels) out << ", \"crc32\": \"" << hex8(crc32Of(frame.pixels(), frame.pixelCount())) << "\"";
    out << "}";
    for (const auto& ext : frame.extensions())
      if (!loop) loop = dynamic_cast<const gif::LoopExtension*>(ext.get());
  }
  out << "],\n \"loop\": " << (loop ? std::to_string(loop->loopCount) : "null")
      << ", \"warnings\": " << jsonTextArray(warnings) << "}\n";
}

int runGifInfo(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {{"pixels"}, {"json"}});
  expectPositional(parsed, 1, 1, "one GIF file");
  const bool pixels = parsed.has("pixels");
  const std::string& path = parsed.positional[0];

  gif::GifImage image;
  std::vector<std::string> warnings;
  image.warningHandler = [&](const gif::GifItem*, int, const std::string& message) { warnings.push_back(message); };
  if (isStreamInput(path)) {
    try {
      image.loadFromBytes(readInputOnce(path, image.limits.maxFileBytes).bytes());
    } catch (const InputFileError& e) {
      throw gif::GifError(e.what());
    }
  } else {
    image.loadFromFile(path);
  }

  if (parsed.has("json")) {
    printJson(image, warnings, pixels);
    return 0;
  }
  std::ostream& out = std::cout;
  // The version the file states; one that is neither is shown as what its content needs.
  std::string version = image.header().loadedVersion;
  if (version != "87a" && version != "89a")
    version = image.requiredVersion() == gif::GifVersion::Gif89a ? "89a" : "87a";
  out << "version " << version << "\n";
  out << "screen " << image.width() << ' ' << image.height() << " colors " << image.globalTable().count() << "\n";
  const gif::LoopExtension* loop = nullptr;
  for (int i = 0; i < image.frames().count(); ++i) {
    const gif::GifFrame& frame = image.frames()[i];
    out << "frame " << i << " left " << frame.left() << " top " << frame.top() << " width " << frame.width()
        << " height " << frame.height() << " colors " << frame.localColorMap().count() << " interlaced "
        << (frame.interlaced() ? 1 : 0);
    if (const gif::GraphicControlExtension* gce = frame.graphicControl) {
      out << " delay " << gce->delayCs() << " disposal " << static_cast<int>(gce->disposal()) << " transparent ";
      if (gce->transparent())
        out << static_cast<int>(gce->transparentIndex());
      else
        out << '-';
    } else {
      out << " delay - disposal - transparent -";
    }
    if (pixels) out << " crc32 " << hex8(crc32Of(frame.pixels(), frame.pixelCount()));
    out << "\n";
    for (const auto& ext : frame.extensions())
      if (!loop) loop = dynamic_cast<const gif::LoopExtension*>(ext.get());
  }
  if (loop) out << "loop " << loop->loopCount << "\n";
  for (const std::string& w : warnings) out << "warning " << w << "\n";
  return 0;
}

const CommandRegistration registration{Command{
    "gif-info", "gif-info [--pixels] [--json] FILE.gif",
    "Lists a GIF file as the reader sees it: version, screen, one line per frame (numbered from 0), loop "
    "count and warnings; --pixels adds the CRC-32 of each frame's colour indices.",
    runGifInfo}};

}  // namespace
}  // namespace zefra::cli
