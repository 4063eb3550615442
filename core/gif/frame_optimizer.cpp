#include "gif/frame_optimizer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "gif/application_extension.h"
#include "gif/color_map.h"
#include "gif/gif_error.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"

namespace zefra::gif {

namespace {

const char* const kOptimizing = "Optimizing...";

Disposal disposalOf(const GifFrame& frame) {
  return frame.graphicControl ? frame.graphicControl->disposal() : Disposal::Unspecified;
}

bool restores(Disposal d) { return d == Disposal::RestoreBackground || d == Disposal::RestorePrevious; }

bool transparentWithIndex(const GifFrame& frame) { return frame.hasTransparency && frame.graphicControl; }

struct Rect {
  int left, top, right, bottom;  // right and bottom exclusive
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

Rect rectOf(const GifFrame& f) { return {f.left(), f.top(), f.left() + f.width(), f.top() + f.height()}; }

Rect intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool holdsIndex(const GifFrame& frame, int index) {
  const std::uint8_t* p = frame.pixels();
  return std::find(p, p + frame.pixelCount(), static_cast<std::uint8_t>(index)) != p + frame.pixelCount();
}

}  // namespace

// ---- MaskUnchangedPixels ---------------------------------------------------------------

void maskUnchangedPixels(GifFrame& frame, const GifFrame* previous) {
  if (frame.empty() || !previous || previous->empty() || restores(disposalOf(*previous))) return;
  const Rect overlap = intersect(rectOf(frame), rectOf(*previous));
  if (overlap.empty()) return;

  const bool hadTransparency = transparentWithIndex(frame);
  const bool local = !frame.localColorMap().empty();
  int t = hadTransparency ? frame.graphicControl->transparentIndex() : -1;
  if (!hadTransparency) {
    const int colours = local ? frame.localColorMap().count() : (frame.image() ? frame.image()->globalTable().count() : 0);
    const bool room = local ? colours < ColorMap::kMaxColors : (colours >= 1 && colours < ColorMap::kMaxColors);
    if (!room) return;
  }

  const ColorMap& table = frame.effectiveColorMap();
  const ColorMap& prevTable = previous->effectiveColorMap();
  const bool sameTable = &table == &prevTable;
  const bool prevTransparent = transparentWithIndex(*previous);
  const int prevT = prevTransparent ? previous->graphicControl->transparentIndex() : -1;

  const auto chooseTransparentIndex = [&]() {
    if (local) return frame.localColorMap().append(rgb(0, 0, 0));
    GifImage* image = frame.image();
    for (const auto& other : image->frames()) {
      if (other.get() == &frame || !transparentWithIndex(*other) || !other->localColorMap().empty()) continue;
      // Sharing another frame's transparent index is only safe when none of this frame's
      // own pixels already holds it: those would vanish along with the masked ones.
      const int shared = other->graphicControl->transparentIndex();
      if (!holdsIndex(frame, shared)) return shared;
      break;
    }
    return image->globalTable().append(rgb(0, 0, 0));
  };

  bool masked = false;
  const int w = frame.width();
  const int pw = previous->width();
  std::uint8_t* pixels = frame.pixels();
  const std::uint8_t* prevPixels = previous->pixels();
  for (int y = overlap.top; y < overlap.bottom; ++y) {
    std::uint8_t* row = pixels + static_cast<std::size_t>(y - frame.top()) * static_cast<std::size_t>(w);
    const std::uint8_t* prevRow = prevPixels + static_cast<std::size_t>(y - previous->top()) * static_cast<std::size_t>(pw);
    for (int x = overlap.left; x < overlap.right; ++x) {
      std::uint8_t& pixel = row[x - frame.left()];
      const std::uint8_t prevPixel = prevRow[x - previous->left()];
      if (t >= 0 && pixel == t) continue;
      if (prevTransparent && prevPixel == prevT) continue;
      bool equal;
      if (sameTable && pixel == prevPixel) {
        equal = true;
      } else {
        equal = pixel < table.count() && prevPixel < prevTable.count() && table[pixel] == prevTable[prevPixel];
      }
      if (!equal) continue;
      if (t < 0) t = chooseTransparentIndex();
      pixel = static_cast<std::uint8_t>(t);
      masked = true;
    }
  }

  if (!hadTransparency && masked) {
    if (!frame.graphicControl) {
      auto control = std::make_unique<GraphicControlExtension>(frame);
      frame.extensions().add(std::move(control));
    }
    frame.graphicControl->setTransparencyOn(true);
    frame.graphicControl->setTransparentIndex(t);
  }
}

// ---- TrimTransparentBorders ------------------------------------------------------------

void trimTransparentBorders(GifFrame& frame) {
  if (frame.empty() || !transparentWithIndex(frame)) return;
  const auto t = static_cast<std::uint8_t>(frame.graphicControl->transparentIndex());
  const int w = frame.width();
  const int h = frame.height();
  const std::uint8_t* p = frame.pixels();
  const auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]; };
  const auto columnUsed = [&](int x) {
    for (int y = 0; y < h; ++y)
      if (at(x, y) != t) return true;
    return false;
  };
  int first = 0;
  while (first < w && !columnUsed(first)) ++first;
  if (first == w) {
    frame.clearFrame();
    return;
  }
  int last = w - 1;
  while (last > first && !columnUsed(last)) --last;
  const auto rowUsed = [&](int y) {
    for (int x = first; x <= last; ++x)
      if (at(x, y) != t) return true;
    return false;
  };
  int top = 0;
  while (!rowUsed(top)) ++top;
  int bottom = h - 1;
  while (bottom > top && !rowUsed(bottom)) --bottom;
  if (first == 0 && top == 0 && last == w - 1 && bottom == h - 1) return;

  const int nw = last - first + 1;
  const int nh = bottom - top + 1;
  std::vector<std::uint8_t> cut(static_cast<std::size_t>(nw) * static_cast<std::size_t>(nh));
  for (int y = 0; y < nh; ++y)
    std::copy_n(p + static_cast<std::size_t>(y + top) * static_cast<std::size_t>(w) + static_cast<std::size_t>(first),
                nw, cut.begin() + static_cast<std::ptrdiff_t>(y) * nw);
  frame.setPlacement(frame.left() + first, frame.top() + top, nw, nh);
  frame.setPixels(std::move(cut));
}

// ---- OptimizeFrames --------------------------------------------------------------------

namespace {

// Tidy, first half, step 2. A restoring disposal is pointless when the next frame is
// opaque and covers this frame's whole rectangle: everything restored is painted over.
// (The next frame must not restore to the state before it either, which would bring back
// the difference.)
bool disposalIsPointless(const GifFrame& frame, const GifFrame& next) {
  if (!frame.graphicControl || !restores(frame.graphicControl->disposal())) return false;
  if (next.hasTransparency || next.empty() || disposalOf(next) == Disposal::RestorePrevious) return false;
  const Rect overlap = intersect(rectOf(frame), rectOf(next));
  return !overlap.empty() && overlap == rectOf(frame);
}

// A frame that trims away entirely may go only when the frame before it stays on screen
// unchanged for the extra time and takes over the delay.
bool mayDropEmpty(const FrameList& frames, int k) {
  if (k == 0) return false;
  const GifFrame& before = frames[k - 1];
  return before.graphicControl && !restores(before.graphicControl->disposal());
}

bool allTransparent(const GifFrame& frame) {
  const auto t = static_cast<std::uint8_t>(frame.graphicControl->transparentIndex());
  const std::uint8_t* p = frame.pixels();
  return std::all_of(p, p + frame.pixelCount(), [t](std::uint8_t v) { return v == t; });
}

bool removableExtension(const GifExtension& ext, bool keepLoop) {
  if (dynamic_cast<const CommentExtension*>(&ext) || dynamic_cast<const PlainTextExtension*>(&ext)) return true;
  if (dynamic_cast<const UnknownApplicationExtension*>(&ext)) return true;
  if (dynamic_cast<const LoopExtension*>(&ext)) return !keepLoop;
  // An application extension of the base kind carries an identifier nobody recognised.
  return dynamic_cast<const ApplicationExtension*>(&ext) != nullptr;
}

class Progress {
 public:
  Progress(const GifImage& image, int frames) : image(image), total(std::max(1, 6 * frames)) {
    image.progress(ProgressStage::Starting, 0, kOptimizing);
  }
  void step(bool changed) {
    ++done;
    if (changed) image.progress(ProgressStage::Running, std::min(99, done * 100 / total), kOptimizing);
  }
  void end(bool success) const { image.progress(ProgressStage::Ending, success ? 100 : 0, kOptimizing); }

 private:
  const GifImage& image;
  int total;
  int done = 0;
};

void runSteps(GifImage& image, OptimizeOptions options, Progress& progress) {
  FrameList& frames = image.frames();
  const int n = frames.count();

  if (options.has(OptimizeOption::SortColorTables)) {
    if (!image.globalTable().empty()) image.globalTable().sortByUse();
    for (int i = 0; i < n; ++i) {
      bool changed = false;
      if (!frames[i].localColorMap().empty()) changed = frames[i].localColorMap().sortByUse();
      progress.step(changed);
    }
  }

  if (options.has(OptimizeOption::Tidy)) {
    // Two passes: whether a disposal is pointless depends on the next frame being opaque,
    // so every frame's unused transparency has to be gone before any disposal is judged.
    std::vector<bool> changed(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
      GifFrame& f = frames[i];
      if (transparentWithIndex(f) && !holdsIndex(f, f.graphicControl->transparentIndex())) {
        f.graphicControl->setTransparencyOn(false);
        changed[static_cast<std::size_t>(i)] = true;
      }
    }
    for (int i = 0; i < n; ++i) {
      GifFrame& f = frames[i];
      if (i + 1 < n && disposalIsPointless(f, frames[i + 1])) {
        f.graphicControl->setDisposal(Disposal::Unspecified);
        changed[static_cast<std::size_t>(i)] = true;
      }
      progress.step(changed[static_cast<std::size_t>(i)]);
    }
  }

  if (options.has(OptimizeOption::DiffFrames)) {
    for (int k = n - 1; k >= 1; --k) {
      int p = k - 1;
      while (p >= 1 && frames[p].graphicControl && frames[p].graphicControl->disposal() == Disposal::RestorePrevious) --p;
      maskUnchangedPixels(frames[k], &frames[p]);
      progress.step(true);
    }
  }

  if (options.has(OptimizeOption::TrimBorders)) {
    for (int k = frames.count() - 1; k >= 0; --k) {
      GifFrame& f = frames[k];
      // Trimming a frame that restores the background would shrink the area it clears.
      if (f.empty() || !transparentWithIndex(f) || disposalOf(f) == Disposal::RestoreBackground) {
        progress.step(false);
        continue;
      }
      const bool vanishes = allTransparent(f);
      if (vanishes && !mayDropEmpty(frames, k)) {
        progress.step(false);
        continue;
      }
      const std::uint16_t delay = f.graphicControl->delayCs();
      trimTransparentBorders(f);
      if (f.empty()) {
        GraphicControlExtension* before = frames[k - 1].graphicControl;
        before->setDelayCs(static_cast<std::uint16_t>(std::min(0xFFFF, before->delayCs() + delay)));
        frames.erase(k);
      }
      progress.step(true);
    }
  }

  if (options.has(OptimizeOption::Tidy)) {
    for (int k = frames.count() - 1; k >= 0; --k) {
      GifFrame& f = frames[k];
      const bool single = frames.count() == 1;
      const bool keepLoop = k == 0 && frames.count() > 1;
      bool changed = false;
      ExtensionList& exts = f.extensions();
      for (int e = exts.count() - 1; e >= 0; --e) {
        if (removableExtension(exts[e], keepLoop)) {
          exts.erase(e);
          changed = true;
        }
      }
      if (GraphicControlExtension* gce = f.graphicControl) {
        const bool noDelay = gce->delayCs() == 0 || single;
        const bool plainDisposal = gce->disposal() == Disposal::Unspecified || gce->disposal() == Disposal::Keep || single;
        if (noDelay && !f.hasTransparency && !gce->userInput() && plainDisposal) {
          exts.erase(exts.indexOf(gce));
          changed = true;
        }
      }
      if (f.empty() && exts.empty()) {
        frames.erase(k);
        changed = true;
      }
      progress.step(changed);
    }
  }
}

}  // namespace

void optimizeFrames(GifImage& image, OptimizeOptions options, ReductionMode mode, DitherKind, int) {
  if (image.frames().empty()) return;
  Progress progress(image, image.frames().count());
  try {
    runSteps(image, options, progress);
    if (options.has(OptimizeOption::Reduce) && !options.has(OptimizeOption::Tidy) &&
        mode == ReductionMode::CustomPalette)
      throw GifError("Invalid reduction method");
  } catch (...) {
    progress.end(false);
    throw;
  }
  image.notifyChanged();
  progress.end(true);
}

}  // namespace zefra::gif
