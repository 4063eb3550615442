#include "export/animation_export.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "export/ordered_workers.h"
#include "export/palette_sharing.h"
#include "gif/application_extension.h"
#include "colour/color_reduction.h"
#include "gif/graphic_control_extension.h"
#include "gif/gif_error.h"
#include "colour/indexed_bitmap.h"
#include "gif/color_table_merge.h"
#include "gif/frame_optimizer.h"

namespace zefra::exporter {

namespace {

void checkFrameSize(const raster::FastBitmap& bitmap, int width, int height, int frameNumber) {
  if (bitmap.width() != width || bitmap.height() != height) {
    throw std::runtime_error("Frame " + std::to_string(frameNumber) + " was rendered at " +
                             std::to_string(bitmap.width()) + " x " + std::to_string(bitmap.height()) +
                             " instead of " + std::to_string(width) + " x " + std::to_string(height));
  }
}

}  // namespace

ExportReport assembleGif(const std::vector<raster::FastBitmap>& slots, const std::vector<int>& delaysMs,
                         bool anyGradient, const ExportSettings& settings, gif::GifImage& image,
                         const ExportProgress& progress) {
  if (slots.empty()) throw std::invalid_argument("A project has at least one frame");
  if (delaysMs.size() != slots.size()) throw std::invalid_argument("One delay per frame is needed");
  const int frameCount = static_cast<int>(slots.size());
  for (int i = 0; i < frameCount; ++i) checkFrameSize(slots[i], slots[0].width(), slots[0].height(), i + 1);

  const gif::ReductionMode mode = reductionModeFor(settings.paletteKind);
  const int bits = reductionBitsFor(settings.colorCountIndex);
  const gif::DitherKind dither = anyGradient ? gif::DitherKind::FloydSteinberg : gif::DitherKind::Nearest;

  ExportReport report;
  // The most colourful frame (ties keep the earlier) gives the palette the others may share.
  const int source = paletteSourceFrame(slots);
  report.paletteSourceFrame = source + 1;
  const raster::FastBitmap& sourceSlot = slots[static_cast<std::size_t>(source)];
  report.sharedPalette = isUsePalette(slots, source);
  // The palette the others share is the one the source frame is mapped through: the
  // octree's colours only. The reduced frame's table is padded with black to 256 entries;
  // mapping other frames through the padded table would let their pixels land on that
  // filler black, so a frame identical to the source would come out different.
  colour::Palette sharedPalette;
  colour::IndexedBitmap sourceReduced;
  if (mode == gif::ReductionMode::Octree) {
    sharedPalette = colour::targetPaletteFor(sourceSlot, mode, bits, {});
    sourceReduced = colour::mapToPalette(sourceSlot, gif::ReductionMode::CustomPalette, dither, bits, sharedPalette);
  } else {
    sourceReduced = colour::mapToPalette(sourceSlot, mode, dither, bits);
  }

  // Each frame's reduction depends on nothing but its own pixels and the shared palette,
  // so they run on worker threads while this thread assembles the frames in order.
  std::vector<colour::IndexedBitmap> reduced(static_cast<std::size_t>(frameCount));
  reduced[static_cast<std::size_t>(source)] = std::move(sourceReduced);
  OrderedWorkers reductions(frameCount, [&](int i) {
    if (i == source) return;  // reduced above with the chosen mode
    const raster::FastBitmap& slot = slots[static_cast<std::size_t>(i)];
    colour::IndexedBitmap& out = reduced[static_cast<std::size_t>(i)];
    if (report.sharedPalette && mode == gif::ReductionMode::Octree) {
      out = colour::mapToPalette(slot, gif::ReductionMode::CustomPalette, dither, bits, sharedPalette);
    } else {
      // A fixed palette (cube, greys) is shared by construction; mapping other frames
      // through it as a custom palette would pick greys by colour distance instead of
      // brightness, so the same colour would turn into different greys from frame to frame.
      out = colour::mapToPalette(slot, mode, dither, bits);
    }
  });

  image.resetImage();
  image.compressionKind = gif::CompressionKind::Lzw;
  for (int i = 0; i < frameCount; ++i) {
    reductions.waitFor(i);
    colour::IndexedBitmap& frameBitmap = reduced[static_cast<std::size_t>(i)];
    if (frameBitmap.empty()) throw gif::GifError("Invalid image dimensions");
    if (i == 0) {
      image.assign(frameBitmap);
    } else {
      image.addFrame(frameBitmap);
    }
    frameBitmap = colour::IndexedBitmap();
    if (i == 0 && loopBlockCount(settings) && frameCount > 1) {
      gif::GifFrame& first = image.frames()[0];
      auto loop = std::make_unique<gif::LoopExtension>(first);
      loop->loopCount = *loopBlockCount(settings);
      first.extensions().add(std::move(loop));
    }
    if (progress) progress(ExportStage::Assembling, i + 1, frameCount);
  }
  // One merge of all colour tables once every frame is in. Merging after each added frame
  // re-counts every earlier frame each time (quadratic in the frame count); a single merge
  // keeps the same colours whenever they fit the 256 entries, and otherwise keeps the
  // colours most used over the whole animation rather than those of its first frames.
  gif::mergeColorTables(image);

  int transparentIndex = 0;
  if (settings.transparent) {
    // A colour missing from the table is no error: index 0, the most used colour, becomes
    // transparent and the caller is told which colour that is.
    transparentIndex = std::max(0, image.globalTable().find(settings.transparentColor));
    report.transparentColor = image.globalTable().entryColor(transparentIndex);
  }
  for (int i = 0; i < frameCount; ++i) {
    gif::GifFrame& frame = image.frames()[i];
    auto control = std::make_unique<gif::GraphicControlExtension>(frame);
    if (settings.transparent) {
      control->setDisposal(gif::Disposal::RestoreBackground);
      control->setTransparencyOn(true);
      control->setTransparentIndex(transparentIndex);
    }
    control->setDelayCs(static_cast<std::uint16_t>(delayCentiseconds(delaysMs[static_cast<std::size_t>(i)])));
    frame.extensions().add(std::move(control));
  }

  image.releaseCaches();

  // A transparent export keeps full-size frames with their disposal: masking unchanged
  // pixels would need a second transparent colour.
  if (image.globalTable().count() > 1 && !settings.transparent) {
    using gif::OptimizeOption;
    gif::optimizeFrames(image,
                        {OptimizeOption::TrimBorders, OptimizeOption::DiffFrames, OptimizeOption::Tidy,
                         OptimizeOption::SortColorTables, OptimizeOption::Reduce},
                        gif::ReductionMode::None);
    gif::optimizeFrames(image,
                        {OptimizeOption::TrimBorders, OptimizeOption::Tidy, OptimizeOption::SortColorTables,
                         OptimizeOption::Reduce},
                        gif::ReductionMode::None);
  }
  return report;
}

ExportReport createGif(const model::LabelProject& project, const ExportSettings& settings,
                       const FrameSource& frames, gif::GifImage& image, const ExportProgress& progress) {
  const int frameCount = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  const int width = project.frame(1).width;
  const int height = project.frame(1).height;
  std::vector<raster::FastBitmap> slots;
  std::vector<int> delays;
  slots.reserve(static_cast<std::size_t>(frameCount));
  for (int i = 1; i <= frameCount; ++i) {
    slots.push_back(frames(i));
    checkFrameSize(slots.back(), width, height, i);
    delays.push_back(project.frame(i).delayMs);
    if (progress) progress(ExportStage::Rendering, i, frameCount);
  }
  return assembleGif(slots, delays, ditherKindFor(project) == gif::DitherKind::FloydSteinberg, settings, image,
                     progress);
}

}  // namespace zefra::exporter
