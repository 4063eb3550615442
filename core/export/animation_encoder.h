#pragma once
// The default way a project becomes an animated GIF. A first pass learns which colours the
// whole animation uses, a second reduces each frame to the palette built from them and
// packs it into the image. Frames that fit a memory budget are drawn once, on several
// threads, and kept between the passes; larger animations are drawn twice, so no more than
// one true-colour frame is held at any time. Both ways write the same bytes. Every setting
// keeps its meaning: the palette kind
// decides the colours (an exact nearest-colour palette of the chosen size, the web cube or
// greys), the pixels rendered in the transparent colour and those the palette entry equal
// to it shows become transparent (so a palette colour chosen as transparent clears exactly
// what the opaque export showed in it), and delays and looping are those of the project.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "export/animation_export.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "colour/palettes.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"

namespace zefra::exporter {

struct EncodeReport {
  int framesWritten = 0;
  int colors = 0;  // palette colours, the transparent entry not counted
  std::uint64_t transparentPixels = 0;  // over all frames, in a transparent export
  int localTables = 0;                  // frames reduced to a palette of their own
};

struct EncodeOptions {
  // The frames are kept, each drawn once, while all of them take at most this many bytes
  // (3 per pixel); beyond it each frame is drawn twice.
  std::size_t frameMemoryBudget = std::size_t{256} << 20;
  // Threads in all (0: one per core, at most 4). With more than one, kept frames are drawn
  // on several threads and frames are mapped on one thread while another packs them.
  int threads = 0;
  // Makes a frame source for another drawing thread: it answers the same pictures as the
  // caller's and shares nothing with it (it is called one at a time, and the source is used
  // by one thread at a time). Empty: `frames` alone draws, one frame at a time.
  std::function<FrameSource()> threadSource;
};

// Rebuilds `image` from `frameCount` frames of width x height that `frames` draws (each
// frame once, in order 1..frameCount, when they fit options.frameMemoryBudget; otherwise
// twice, in that order both times, and it must draw the same picture both times);
// `delaysMs` holds one delay per frame. A frame of another size stops with
// std::runtime_error. `frames` may be called on another thread than the caller's, never
// on two at once; progress is reported on the caller's thread.
ExportReport encodeAnimation(int frameCount, int width, int height, const FrameSource& frames,
                             const std::vector<int>& delaysMs, const ExportSettings& settings, gif::GifImage& image,
                             const ExportProgress& progress = {}, EncodeReport* details = nullptr,
                             const EncodeOptions& options = {});

// The same for a project (its frame count, size and delays).
ExportReport encodeProject(const model::LabelProject& project, const ExportSettings& settings,
                           const FrameSource& frames, gif::GifImage& image, const ExportProgress& progress = {},
                           EncodeReport* details = nullptr, const EncodeOptions& options = {});

// The colour a pixel is shown in under a palette kind before the palette is chosen: itself
// for Windows, the nearest web-cube colour for Netscape, its grey for Grayscale.
Color targetColorFor(model::PaletteKind kind, Color color);

}  // namespace zefra::exporter
