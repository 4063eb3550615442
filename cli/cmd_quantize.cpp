// zefra-cli quantize: reduces one picture with one reduction mode and ditherer and writes
// it as a one-frame GIF, so each mode can be looked at and compared.

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "common/input_file.h"
#include "colour/color_reduction.h"
#include "gif/color_table_merge.h"
#include "gif/gif_image.h"
#include "gif/gif_types.h"
#include "colour/picture_quantizer.h"
#include "io/bmp_reader.h"
#include "io/png_reader.h"

namespace zefra::cli {
namespace {

struct Named {
  std::string_view name;
  int value;
};

constexpr std::array<Named, 8> kModes = {{
    {"octree", static_cast<int>(gif::ReductionMode::Octree)},
    {"netscape", static_cast<int>(gif::ReductionMode::NetscapeCube)},
    {"gray256", static_cast<int>(gif::ReductionMode::Gray256)},
    {"gray4", static_cast<int>(gif::ReductionMode::Gray4)},
    {"bw", static_cast<int>(gif::ReductionMode::BlackWhite)},
    {"system20", static_cast<int>(gif::ReductionMode::System20)},
    {"halftone", static_cast<int>(gif::ReductionMode::Halftone256)},
    {"octree-system", static_cast<int>(gif::ReductionMode::OctreeSystem)},
}};

constexpr std::array<Named, 7> kDithers = {{
    {"none", static_cast<int>(gif::DitherKind::Nearest)},
    {"floyd", static_cast<int>(gif::DitherKind::FloydSteinberg)},
    {"stucki", static_cast<int>(gif::DitherKind::Stucki)},
    {"sierra", static_cast<int>(gif::DitherKind::Sierra)},
    {"jajuni", static_cast<int>(gif::DitherKind::JaJuNi)},
    {"stevearche", static_cast<int>(gif::DitherKind::SteveArche)},
    {"burkes", static_cast<int>(gif::DitherKind::Burkes)},
}};

template <std::size_t N>
int lookUp(const std::array<Named, N>& table, const std::string& name, const char* what) {
  for (const Named& n : table)
    if (n.name == name) return n.value;
  std::string known;
  for (const Named& n : table) {
    if (!known.empty()) known += '|';
    known.append(n.name);
  }
  throw UsageError{std::string("unknown ") + what + " '" + name + "' (" + known + ")"};
}

std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

raster::FastBitmap readPicture(const std::string& path) {
  if (isStreamInput(path)) {
    // A pipe or standard input has no extension to go by: its first bytes tell.
    FileBytes file;
    try {
      file = readInputOnce(path, io::kMaxPngFileBytes);
    } catch (const InputFileError& e) {
      throw std::runtime_error(e.what());
    }
    const auto bytes = file.bytes();
    if (bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G')
      return io::readPng(bytes, gif::PixelLimits{}.maxFramePixels);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return io::readBmp(bytes);
    throw std::runtime_error((path == "-" ? std::string("standard input") : path) + ": not a PNG or BMP picture");
  }
  const std::string ext = lowerExtension(path);
  // Refused from the header when the GIF frame could not hold it, before any decoding.
  if (ext == ".png") return io::readPngFile(path, gif::PixelLimits{}.maxFramePixels);
  if (ext == ".bmp") return io::readBmpFile(path);
  throw UsageError{"input must be a .png or .bmp file"};
}

int runQuantize(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {{"classic"}, {"mode", true}, {"dither", true}, {"bits", true}});
  expectPositional(parsed, 2, 2, "an input picture and an output GIF (- for standard output)");
  const std::string& in = parsed.positional[0];
  const std::string& out = parsed.positional[1];
  const bool classic = parsed.has("classic");
  auto mode = gif::ReductionMode::Octree;
  auto dither = gif::DitherKind::Nearest;
  if (const auto v = parsed.value("mode")) mode = static_cast<gif::ReductionMode>(lookUp(kModes, *v, "mode"));
  if (const auto v = parsed.value("dither")) dither = static_cast<gif::DitherKind>(lookUp(kDithers, *v, "dither"));
  const int bits = parsed.has("bits") ? intValue("--bits", *parsed.value("bits"), 1, 8) : 8;
  checkOutputFile(out, {in});

  const raster::FastBitmap picture = readPicture(in);
  // The octree mode's palette is now fitted to the picture's colours (variance cuts and
  // k-means) and looked up at full precision; --classic keeps the original octree.
  colour::IndexedBitmap reduced;
  if (mode == gif::ReductionMode::Octree && !classic) {
    if (dither == gif::DitherKind::Nearest) {
      reduced = colour::quantizePicture(picture, 1 << bits);
    } else {
      reduced = colour::mapToPalette(picture, gif::ReductionMode::CustomPalette, dither, bits,
                                     colour::pictureFitPalette(picture, 1 << bits));
    }
  } else {
    reduced = colour::mapToPalette(picture, mode, dither, bits);
  }
  gif::GifImage image;
  image.assign(reduced);
  // One global table holding only the colours the picture uses, most used first.
  gif::mergeColorTables(image);
  if (isStandardOutput(out)) {
    writeStandardOutput(image.saveToBytes());
    return 0;
  }
  image.saveToFile(out);
  if (parsed.has("quiet")) return 0;
  std::cout << picture.width() << " x " << picture.height() << ", " << image.globalTable().count() << " colours\n";
  return 0;
}

const CommandRegistration registration{Command{
    "quantize",
    "quantize IN.png|IN.bmp OUT.gif|- [--mode octree|netscape|gray256|gray4|bw|system20|halftone|octree-system] "
    "[--bits 1..8] [--dither none|floyd|stucki|sierra|jajuni|stevearche|burkes] [--classic]",
    "Reduces one picture to a palette (default: octree, 8 bits, no dithering) and writes it as a one-frame GIF. "
    "The octree mode fits its palette to the picture; --classic uses the original octree palette and lookup.",
    runQuantize}};

}  // namespace
}  // namespace zefra::cli
