#include "export/frame_packer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

#include "gif/application_extension.h"
#include "gif/frame_encoder.h"
#include "gif/gif_stream.h"
#include "gif/graphic_control_extension.h"

namespace zefra::exporter {

namespace {

class CountingStream final : public gif::GifStream {
 public:
  void write(const std::uint8_t*, std::size_t count) override { bytes += count; }
  std::size_t bytes = 0;
};

std::size_t encodedSize(const std::vector<std::uint8_t>& pixels, int width, int height, int tableSize) {
  CountingStream counter;
  const int bits = gif::ColorMap::pixelBitsFor(tableSize);
  gif::compressFrame(counter, bits, 1 << bits, pixels.data(), false, height, width, gif::CompressionKind::Lzw);
  return counter.bytes;
}

}  // namespace

FramePacker::FramePacker(gif::GifImage& image, int width, int height) : image(image), width(width), height(height) {}

void FramePacker::colorsOf(const ScreenPicture& picture, std::vector<Color>& out) const {
  const std::vector<std::uint8_t>& indices = *picture.indices;
  const std::vector<Color>& table = *picture.table;
  out.resize(indices.size());
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const int index = indices[i];
    out[i] = index == picture.transparentIndex ? kClearPixel : (table[static_cast<std::size_t>(index)] & 0xFFFFFF);
  }
}

void FramePacker::prepareFor(const std::vector<Color>& next, std::vector<Color>& screen) {
  const std::size_t area = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (!any) {
    screen.assign(area, kClearPixel);
    return;
  }
  Rect clear{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      if (last.shown[row + x] != kClearPixel && next[row + x] == kClearPixel) {
        clear.left = std::min(clear.left, x);
        clear.right = std::max(clear.right, x + 1);
        clear.top = std::min(clear.top, y);
        clear.bottom = std::max(clear.bottom, y + 1);
      }
    }
  }
  gif::GraphicControlExtension* control = last.frame->graphicControl;
  if (clear.empty()) {
    if (control) control->setDisposal(gif::Disposal::Keep);
    screen = last.shown;
    return;
  }
  // Only the disposal of the frame before can make a pixel transparent again; it clears
  // that frame's whole rectangle, which must therefore cover every such pixel.
  if (control) control->setDisposal(gif::Disposal::RestoreBackground);
  if (!last.rect.contains(clear)) {
    last.rect.left = std::min(last.rect.left, clear.left);
    last.rect.top = std::min(last.rect.top, clear.top);
    last.rect.right = std::max(last.rect.right, clear.right);
    last.rect.bottom = std::max(last.rect.bottom, clear.bottom);
    encodeLast();
  }
  screen = last.shown;
  for (int y = last.rect.top; y < last.rect.bottom; ++y)
    std::fill_n(screen.begin() + static_cast<std::ptrdiff_t>(y) * width + last.rect.left,
                last.rect.right - last.rect.left, kClearPixel);
}

void FramePacker::encodeLast() {
  const Rect& r = last.rect;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const int t = last.transparentIndex;
  // Three ways to write the rectangle: every pixel as it is; every unchanged pixel
  // transparent; or an unchanged pixel kept as it is where that continues the run of the
  // pixel before it and made transparent otherwise, which gives the compressor the longest
  // runs of both kinds. The smallest encoding wins.
  const std::size_t area = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  std::vector<std::uint8_t> plain(area);
  std::vector<std::uint8_t> masked, runs;
  bool anyUnchanged = false;
  if (t >= 0) {
    masked.resize(area);
    runs.resize(area);
  }
  const auto clear = static_cast<std::uint8_t>(std::max(t, 0));
  for (int y = 0; y < h; ++y) {
    const std::size_t from = static_cast<std::size_t>(r.top + y) * static_cast<std::size_t>(width) + r.left;
    const std::size_t to = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    for (int x = 0; x < w; ++x) {
      const std::uint8_t index = last.indices[from + x];
      plain[to + x] = index;
      if (t < 0) continue;
      const bool unchanged = last.shown[from + x] == last.before[from + x];
      anyUnchanged |= unchanged;
      masked[to + x] = unchanged ? clear : index;
      const std::size_t at = to + x;
      runs[at] = !unchanged || (at > 0 && runs[at - 1] == index) ? index : clear;
    }
  }
  const int tableSize = static_cast<int>(last.table.size());
  std::vector<std::uint8_t>* chosen = &plain;
  std::size_t best = std::numeric_limits<std::size_t>::max();
  if (t >= 0 && anyUnchanged) {
    best = encodedSize(plain, w, h, tableSize);
    for (std::vector<std::uint8_t>* candidate : {&masked, &runs}) {
      const std::size_t size = encodedSize(*candidate, w, h, tableSize);
      if (size < best) {
        best = size;
        chosen = candidate;
      }
    }
  }
  int transparent = t >= 0 && std::find(chosen->begin(), chosen->end(), static_cast<std::uint8_t>(t)) != chosen->end()
                        ? t
                        : -1;

  // A rectangle that uses few of the shared colours is often smaller with a table of just
  // those: its codes start narrower, which can outweigh the table's bytes.
  gif::GifFrame& frame = *last.frame;
  std::vector<Color> local;
  if (!last.localTable) {
    std::array<int, 256> localOf;
    localOf.fill(-1);
    for (const std::uint8_t index : *chosen) {
      if (localOf[index] >= 0) continue;
      localOf[index] = static_cast<int>(local.size());
      local.push_back(last.table[index]);
      if (local.size() > 128) break;
    }
    const int bits = gif::ColorMap::pixelBitsFor(static_cast<int>(local.size()));
    if (local.size() <= 128 && bits < gif::ColorMap::pixelBitsFor(tableSize)) {
      std::vector<std::uint8_t> remapped(chosen->size());
      for (std::size_t i = 0; i < remapped.size(); ++i) remapped[i] = static_cast<std::uint8_t>(localOf[(*chosen)[i]]);
      if (best == std::numeric_limits<std::size_t>::max()) best = encodedSize(*chosen, w, h, tableSize);
      const std::size_t withTable = encodedSize(remapped, w, h, static_cast<int>(local.size())) + 3u * (1u << bits);
      if (withTable < best) {
        *chosen = std::move(remapped);
        if (transparent >= 0) transparent = localOf[static_cast<std::size_t>(transparent)];
      } else {
        local.clear();
      }
    } else {
      local.clear();
    }
  }
  frame.setPlacement(r.left, r.top, w, h);
  if (last.localTable) {
    frame.localColorMap().importColors(last.table);
  } else if (!local.empty()) {
    frame.localColorMap().importColors(local);
  } else {
    frame.localColorMap().reset();
  }
  frame.setPixels(std::move(*chosen));
  if (frame.graphicControl) {
    frame.graphicControl->setTransparentIndex(std::max(transparent, 0));
    frame.graphicControl->setTransparencyOn(transparent >= 0);
  }
}

void FramePacker::add(const ScreenPicture& picture) {
  std::vector<Color> next;
  colorsOf(picture, next);
  if (any && next == last.shown && last.frame->graphicControl) {
    const int total = last.frame->graphicControl->delayCs() + std::max(0, picture.delayCs);
    if (total <= 0xFFFF) {
      last.frame->graphicControl->setDelayCs(static_cast<std::uint16_t>(total));
      ++merged;
      return;
    }
  }
  std::vector<Color> screen;
  prepareFor(next, screen);

  Rect changed{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      if (next[row + x] != screen[row + x]) {
        changed.left = std::min(changed.left, x);
        changed.right = std::max(changed.right, x + 1);
        changed.top = std::min(changed.top, y);
        changed.bottom = std::max(changed.bottom, y + 1);
      }
    }
  }
  // The first frame covers the whole screen, transparent pixels included: viewers differ
  // in what they show where no frame has drawn yet. Nothing to draw still takes the
  // frame's time: one pixel that shows what is there.
  if (!any) changed = Rect{0, 0, width, height};
  if (changed.empty()) changed = Rect{0, 0, 1, 1};

  auto frame = std::make_unique<gif::GifFrame>(&image);
  if (picture.localTable) frame->localColorMap().importColors(*picture.table);
  auto control = std::make_unique<gif::GraphicControlExtension>(*frame);
  control->setDisposal(gif::Disposal::Keep);
  control->setDelayCs(static_cast<std::uint16_t>(std::clamp(picture.delayCs, 0, 0xFFFF)));
  frame->extensions().add(std::move(control));
  gif::GifFrame* added = frame.get();
  image.addFrame(std::move(frame));

  if (!any) first = next;
  last.frame = added;
  last.indices = *picture.indices;
  last.table = *picture.table;
  last.transparentIndex = picture.transparentIndex;
  last.localTable = picture.localTable;
  last.rect = changed;
  last.before = std::move(screen);
  last.shown = std::move(next);
  any = true;
  encodeLast();
}

void FramePacker::finish(std::optional<std::uint16_t> loopCount) {
  if (!any) return;
  const int count = image.frames().count();
  if (count > 1 && loopCount) {
    // On the way back to the first frame the screen holds the last picture; whatever the
    // first one shows as transparent must be cleared by the last frame's disposal.
    std::vector<Color> screen;
    prepareFor(first, screen);
    gif::GifFrame& front = image.frames()[0];
    auto extension = std::make_unique<gif::LoopExtension>(front);
    extension->loopCount = *loopCount;
    front.extensions().insert(0, std::move(extension));
  }
  if (count == 1) {
    gif::GifFrame& only = image.frames()[0];
    if (only.graphicControl && !only.hasTransparency) {
      const int at = only.extensions().indexOf(only.graphicControl);
      if (at >= 0) only.extensions().erase(at);
    }
  }
}

}  // namespace zefra::exporter
