#pragma once
// The default way a project becomes an animated GIF. The frames are rendered twice: first
// to learn which colours the whole animation uses, then one at a time to be reduced to the
// palette built from them and packed into the image at once, so no more than one
// true-colour frame is held at any time. Every setting keeps its meaning: the palette kind
// decides the colours (an exact nearest-colour palette of the chosen size, the web cube or
// greys), the pixels rendered in the transparent colour and those the palette entry equal
// to it shows become transparent (so a palette colour chosen as transparent clears exactly
// what the opaque export showed in it), and delays and looping are those of the project.

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

// Rebuilds `image` from `frameCount` frames of width x height that `frames` draws (it is
// called twice for each frame, in order 1..frameCount both times, and must draw the same
// picture both times); `delaysMs` holds one delay per frame. A frame of another size
// stops with std::runtime_error.
ExportReport encodeAnimation(int frameCount, int width, int height, const FrameSource& frames,
                             const std::vector<int>& delaysMs, const ExportSettings& settings, gif::GifImage& image,
                             const ExportProgress& progress = {}, EncodeReport* details = nullptr);

// The same for a project (its frame count, size and delays).
ExportReport encodeProject(const model::LabelProject& project, const ExportSettings& settings,
                           const FrameSource& frames, gif::GifImage& image, const ExportProgress& progress = {},
                           EncodeReport* details = nullptr);

// The colour a pixel is shown in under a palette kind before the palette is chosen: itself
// for Windows, the nearest web-cube colour for Netscape, its grey for Grayscale.
Color targetColorFor(model::PaletteKind kind, Color color);

}  // namespace zefra::exporter
