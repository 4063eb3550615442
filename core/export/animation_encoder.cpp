#include "export/animation_encoder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "export/frame_packer.h"
#include "colour/color_histogram.h"
#include "colour/exact_color_lookup.h"
#include "colour/palette_builder.h"

namespace zefra::exporter {

namespace {

void checkSize(const raster::FastBitmap& bitmap, int width, int height, int frameNumber) {
  if (bitmap.width() != width || bitmap.height() != height) {
    throw std::runtime_error("Frame " + std::to_string(frameNumber) + " was rendered at " +
                             std::to_string(bitmap.width()) + " x " + std::to_string(bitmap.height()) +
                             " instead of " + std::to_string(width) + " x " + std::to_string(height));
  }
}

// The first entry of `palette` equal to `color`, -1 when there is none.
int entryOf(const colour::Palette& palette, Color color) {
  for (std::size_t i = 0; i < palette.size(); ++i)
    if ((palette[i] & 0xFFFFFF) == (color & 0xFFFFFF)) return static_cast<int>(i);
  return -1;
}

model::PaletteKind knownKind(model::PaletteKind kind) {
  switch (kind) {
    case model::PaletteKind::Netscape:
    case model::PaletteKind::Grayscale:
      return kind;
    default:
      return model::PaletteKind::Windows;
  }
}

}  // namespace

Color targetColorFor(model::PaletteKind kind, Color color) {
  const int r = redOf(color), g = greenOf(color), b = blueOf(color);
  switch (kind) {
    case model::PaletteKind::Netscape: {
      // The nearest cube level, as the classic cube lookup rounds.
      auto step = [](int c) { return static_cast<std::uint8_t>((c + 25) / 51 * 51); };
      return rgb(step(r), step(g), step(b));
    }
    case model::PaletteKind::Grayscale: {
      const auto y = static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b) >> 8);
      return rgb(y, y, y);
    }
    default:
      return color & 0xFFFFFF;
  }
}

ExportReport encodeAnimation(int frameCount, int width, int height, const FrameSource& frames,
                             const std::vector<int>& delaysMs, const ExportSettings& settings, gif::GifImage& image,
                             const ExportProgress& progress, EncodeReport* details) {
  if (frameCount < 1) throw std::invalid_argument("A project has at least one frame");
  if (static_cast<int>(delaysMs.size()) != frameCount) throw std::invalid_argument("One delay per frame is needed");
  if (width < 1 || height < 1) throw std::runtime_error("Invalid image dimensions");

  const model::PaletteKind kind = knownKind(settings.paletteKind);
  const int capacity = kind == model::PaletteKind::Windows ? 1 << reductionBitsFor(settings.colorCountIndex) : 256;
  // Unchanged pixels of later frames are written with the transparent index, so an
  // animation keeps one table entry free for it, as does a transparent export.
  const bool needsTransparentIndex = settings.transparent || frameCount > 1;
  const Color clearColor = settings.transparent ? (settings.transparentColor & 0xFFFFFF) : 0xFFFFFFFFu;

  // First pass: the colours of the whole animation, the transparent colour's pixels
  // included, so a transparent export chooses the palette the opaque one does.
  colour::ColorHistogram histogram;
  for (int i = 1; i <= frameCount; ++i) {
    const raster::FastBitmap bitmap = frames(i);
    checkSize(bitmap, width, height, i);
    if (kind == model::PaletteKind::Windows) {
      histogram.add(bitmap);
    } else {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const Color c = bitmap.pixel(x, y);
          histogram.add(targetColorFor(kind, c));
        }
    }
    if (progress) progress(ExportStage::Rendering, i, frameCount);
  }
  // A transparent export leaves out every pixel drawn in the transparent colour and every
  // pixel the opaque export shows in it: the entry equal to it (the palette cell a user
  // made transparent is usually a colour no pixel has exactly) is mapped to as before and
  // then written as the transparent index.
  colour::Palette palette = colour::buildPalette(histogram.colors(), capacity - (frameCount > 1 ? 1 : 0));
  if (palette.empty()) palette.push_back(0);
  int cellIndex = settings.transparent ? entryOf(palette, clearColor) : -1;
  // A lone frame has no entry to spare: the transparent colour's own entry serves as the
  // transparent index, or else the palette gives one up.
  if (settings.transparent && frameCount == 1 && cellIndex < 0 && static_cast<int>(palette.size()) >= capacity) {
    palette = colour::buildPalette(histogram.colors(), capacity - 1);
    cellIndex = entryOf(palette, clearColor);
  }
  std::vector<Color> table = palette;
  int transparentIndex = -1;
  if (frameCount == 1 && cellIndex >= 0) {
    transparentIndex = cellIndex;
  } else if (needsTransparentIndex) {
    transparentIndex = static_cast<int>(table.size());
    table.push_back(0);
  }

  image.resetImage();
  image.compressionKind = gif::CompressionKind::Lzw;
  image.setScreenWidth(width);
  image.setScreenHeight(height);
  image.globalTable().importColors(table);

  // Second pass: each frame is reduced as soon as it is drawn. A pixel whose colour is
  // the one it had in the previous frame keeps the index it had there, so the packer
  // finds every unchanged area.
  //
  // Elsewhere a pixel whose colour the palette does not hold exactly takes the entry of its
  // left neighbour instead of its own nearest one when that at most doubles its error (or
  // adds no more than a level or so). Longer runs of one index are what LZW compresses
  // best: banners with photographs or shaded text get 1-2 % smaller for a few tenths of a
  // decibel, at levels where the difference cannot be seen. Exact colours never move.
  colour::ExactColorLookup lookup(palette);
  FramePacker packer(image, width, height);
  int localFrames = 0;
  std::uint64_t transparentPixels = 0;
  const std::size_t screenPixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> indices(screenPixels);
  std::vector<std::uint8_t> previousIndices(screenPixels);
  // The indices the export would write without transparency; runs and errors follow them.
  std::vector<std::uint8_t> opaque(screenPixels);
  std::vector<std::uint8_t> previousOpaque(screenPixels);
  raster::FastBitmap previousBitmap;
  bool previousShared = false;  // previousIndices are into the shared table
  std::vector<Color> localTable;
  constexpr std::uint64_t kExactSlack = 3;
  // Maps a frame through `through` and answers the summed squared error of its pixels.
  // Pixels drawn in the transparent colour or mapped to `cellIndex` take `clearIndex`.
  const auto mapFrame = [&](const raster::FastBitmap& bitmap, colour::ExactColorLookup& through, int clearIndex,
                            int cellIndex, bool shared, std::uint64_t& clearPixels) {
    const colour::Palette& colours = through.palette();
    const bool keepUnchanged = shared && previousShared;
    const bool runs = kind == model::PaletteKind::Windows;
    const auto errorOf = [&](int index, Color c) {
      const Color got = colours[static_cast<std::size_t>(index)];
      const int dr = redOf(got) - redOf(c), dg = greenOf(got) - greenOf(c), db = blueOf(got) - blueOf(c);
      return static_cast<std::uint64_t>(dr * dr + dg * dg + db * db);
    };
    std::uint64_t error = 0;
    clearPixels = 0;
    Color previous = 0xFFFFFFFFu;
    std::uint8_t nearestIndex = 0;
    std::uint64_t nearestError = 0;
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* p = bitmap.row(y);
      const std::uint8_t* before = keepUnchanged ? previousBitmap.row(y) : nullptr;
      for (int x = 0; x < width; ++x, p += 3, ++at) {
        const Color c = rgb(p[2], p[1], p[0]);
        if (before && before[3 * x] == p[0] && before[3 * x + 1] == p[1] && before[3 * x + 2] == p[2]) {
          opaque[at] = previousOpaque[at];
          indices[at] = previousIndices[at];
          if (runs) error += errorOf(opaque[at], c);
          if (static_cast<int>(indices[at]) == clearIndex) ++clearPixels;
          continue;
        }
        if (c != previous) {
          previous = c;
          nearestIndex = static_cast<std::uint8_t>(through.indexFor(targetColorFor(kind, c)));
          nearestError = runs ? errorOf(nearestIndex, c) : 0;
        }
        std::uint8_t chosen = nearestIndex;
        std::uint64_t chosenError = nearestError;
        if (runs && x > 0 && opaque[at - 1] != chosen) {
          const std::uint64_t e = errorOf(opaque[at - 1], c);
          if (nearestError > 0 && e <= nearestError + std::max(nearestError, kExactSlack)) {
            chosen = opaque[at - 1];
            chosenError = e;
          }
        }
        opaque[at] = chosen;
        error += chosenError;
        if (c == clearColor || static_cast<int>(chosen) == cellIndex) {
          indices[at] = static_cast<std::uint8_t>(clearIndex);
          ++clearPixels;
        } else {
          indices[at] = chosen;
        }
      }
    }
    return error;
  };
  // A frame the shared palette serves badly (for example one whose colours appear in no
  // other frame) gets a table of its own when that at least halves its error.
  const std::uint64_t pixelsPerFrame = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  const double goodEnough = 3.0 * static_cast<double>(pixelsPerFrame) * 255.0 * 255.0 / 31622.8;  // 45 dB
  for (int i = 1; i <= frameCount; ++i) {
    raster::FastBitmap bitmap = frames(i);
    checkSize(bitmap, width, height, i);
    std::uint64_t clearPixels = 0;
    const std::uint64_t sharedError = mapFrame(bitmap, lookup, transparentIndex, cellIndex, true, clearPixels);
    ScreenPicture picture;
    picture.indices = &indices;
    picture.table = &table;
    picture.transparentIndex = transparentIndex;
    if (kind == model::PaletteKind::Windows && static_cast<double>(sharedError) > goodEnough) {
      colour::ColorHistogram own;
      own.add(bitmap);
      const std::vector<colour::WeightedColor> ownColours = own.colors();
      colour::Palette ownPalette = colour::buildPalette(ownColours, capacity - (needsTransparentIndex ? 1 : 0));
      if (!ownPalette.empty() && 2.0 * colour::paletteError(ownColours, ownPalette) < static_cast<double>(sharedError)) {
        colour::ExactColorLookup ownLookup(ownPalette);
        const int ownClear = needsTransparentIndex ? static_cast<int>(ownPalette.size()) : -1;
        const int ownCell = settings.transparent ? entryOf(ownPalette, clearColor) : -1;
        mapFrame(bitmap, ownLookup, ownClear, ownCell, false, clearPixels);
        localTable = ownPalette;
        if (needsTransparentIndex) localTable.push_back(0);
        picture.table = &localTable;
        picture.transparentIndex = ownClear;
        picture.localTable = true;
        ++localFrames;
      }
    }
    transparentPixels += clearPixels;
    picture.delayCs = delayCentiseconds(delaysMs[static_cast<std::size_t>(i - 1)]);
    packer.add(picture);
    previousShared = !picture.localTable;
    previousIndices.swap(indices);
    previousOpaque.swap(opaque);
    previousBitmap = std::move(bitmap);
    if (progress) progress(ExportStage::Assembling, i, frameCount);
  }
  packer.finish(loopBlockCount(settings));
  image.releaseCaches();

  ExportReport report;
  report.paletteSourceFrame = 1;
  report.sharedPalette = true;
  if (settings.transparent) report.transparentColor = settings.transparentColor;
  if (details) {
    details->framesWritten = packer.framesWritten();
    details->colors = static_cast<int>(palette.size());
    details->transparentPixels = transparentPixels;
    details->localTables = localFrames;
  }
  return report;
}

ExportReport encodeProject(const model::LabelProject& project, const ExportSettings& settings,
                           const FrameSource& frames, gif::GifImage& image, const ExportProgress& progress,
                           EncodeReport* details) {
  const int frameCount = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  std::vector<int> delays;
  for (int i = 1; i <= frameCount; ++i) delays.push_back(project.frame(i).delayMs);
  return encodeAnimation(frameCount, project.frame(1).width, project.frame(1).height, frames, delays, settings, image,
                         progress, details);
}

}  // namespace zefra::exporter
