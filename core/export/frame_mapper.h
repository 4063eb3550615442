#pragma once
// The steps of the standard export between the rendered frames and the packer: the colours
// each frame adds to the animation's histogram, the palette fitted to them, and each frame
// mapped to table indices (through the shared palette, or a table of its own when the
// shared one serves it badly).

#include <cstdint>
#include <vector>

#include "colour/color_histogram.h"
#include "colour/exact_color_lookup.h"
#include "colour/palettes.h"
#include "common/color.h"
#include "export/export_settings.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"

namespace zefra::exporter {

// What stays the same for every frame of one export.
struct EncodeTarget {
  int width = 0;
  int height = 0;
  int frameCount = 0;
  model::PaletteKind kind = model::PaletteKind::Windows;
  int capacity = 256;  // entries a colour table may have
  // Unchanged pixels of later frames are written with the transparent index, so an
  // animation keeps one table entry free for it, as does a transparent export.
  bool needsTransparentIndex = false;
  bool transparent = false;
  Color clearColor = 0xFFFFFFFFu;  // the transparent colour; never a pixel when opaque

  std::size_t framePixels() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

EncodeTarget encodeTargetOf(int frameCount, int width, int height, const ExportSettings& settings);

// Adds the colours of one frame to the animation's histogram (the transparent colour's
// pixels too, so a transparent export chooses the palette the opaque one does). Frames
// must be added in frame order: the histogram's answer depends on the order.
void countColours(const EncodeTarget& target, const raster::FastBitmap& frame, colour::ColorHistogram& histogram);

struct FittedPalette {
  colour::Palette palette;   // the colours pixels are mapped to
  std::vector<Color> table;  // the global table: the palette, then the transparent entry
  int transparentIndex = -1;
  // The palette entry equal to the transparent colour (-1: none); pixels mapped to it
  // are written as the transparent index.
  int cellIndex = -1;
};

FittedPalette fitPalette(const EncodeTarget& target, const colour::ColorHistogram& histogram);

// One frame as the packer takes it.
struct MappedFrame {
  std::vector<std::uint8_t> indices;  // one per screen pixel
  std::vector<Color> localTable;      // empty: the global table
  int transparentIndex = -1;
  std::uint64_t clearPixels = 0;  // pixels written as the transparent index
};

// Maps frames in order: a pixel that has the colour it had in the previous frame keeps
// the index it had there, so the packer finds every unchanged area.
class FrameMapper {
 public:
  FrameMapper(const EncodeTarget& target, const FittedPalette& fitted);

  // The next frame (it must have the target's size; the mapper keeps it as the previous one).
  MappedFrame map(raster::FastBitmap frame);
  int localTables() const { return localCount; }

 private:
  // Indices through `through` into `out`; answers the summed squared error of the pixels.
  std::uint64_t mapThrough(const raster::FastBitmap& frame, colour::ExactColorLookup& through, int clearIndex,
                           int cellIndex, bool shared, MappedFrame& out);
  // A frame the shared palette serves badly (for example one whose colours appear in no
  // other frame) gets a table of its own when that at least halves its error.
  void chooseLocalTable(const raster::FastBitmap& frame, std::uint64_t sharedError, MappedFrame& out);

  const EncodeTarget& target;
  const FittedPalette& fitted;
  colour::ExactColorLookup sharedLookup;
  double goodEnough = 0;
  std::vector<std::uint8_t> previousIndices;
  // The indices the export would write without transparency; runs and errors follow them.
  std::vector<std::uint8_t> opaque;
  std::vector<std::uint8_t> previousOpaque;
  raster::FastBitmap previousFrame;
  bool previousShared = false;  // previousIndices are into the shared table
  int localCount = 0;
};

}  // namespace zefra::exporter
