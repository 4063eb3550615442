#pragma once
// Turning a whole project into one animated GIF image: every frame rendered, reduced to at
// most 256 colours (one shared palette when the frames allow it), merged into one global
// colour table, given its delay, loop and transparency, and optimised.

#include <functional>
#include <optional>
#include <vector>

#include "common/color.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"

namespace zefra::exporter {

// The picture of frame `frameNumber` (1..frameCount) at the project's width and height.
using FrameSource = std::function<raster::FastBitmap(int frameNumber)>;

enum class ExportStage { Rendering, Assembling };
// Called after each frame of each stage: frame is 1..frameCount.
using ExportProgress = std::function<void(ExportStage stage, int frame, int frameCount)>;

struct ExportReport {
  int paletteSourceFrame = 1;  // 1-based
  bool sharedPalette = false;
  // For a transparent export, the colour that was actually made transparent: the chosen
  // colour, or the colour of index 0 when the chosen one is not in the global table.
  std::optional<Color> transparentColor;
};

// Rebuilds `image` from frames 1..frameCount of `project` as `settings` ask. The image's
// previous content is dropped. GifError and errors of `frames` propagate; the image is
// then in an unspecified but valid state.
ExportReport createGif(const model::LabelProject& project, const ExportSettings& settings,
                       const FrameSource& frames, gif::GifImage& image,
                       const ExportProgress& progress = {});

// The same from bitmaps rendered beforehand (one per frame, in order); `delaysMs` and
// `gradientOn` per frame as in the project. Used by createGif and by callers that render
// frames themselves.
ExportReport assembleGif(const std::vector<raster::FastBitmap>& slots, const std::vector<int>& delaysMs,
                         bool anyGradient, const ExportSettings& settings, gif::GifImage& image,
                         const ExportProgress& progress = {});

}  // namespace zefra::exporter
