#include "gif/color_map.h"

#include <algorithm>

#include "gif/gif_error.h"
#include "gif/gif_frame.h"
#include "gif/gif_header.h"
#include "gif/gif_image.h"
#include "gif/gif_stream.h"
#include "gif/graphic_control_extension.h"

namespace zefra::gif {

int ColorMap::pixelBitsFor(int colorCount) {
  if (colorCount <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < colorCount) ++bits;
  return bits;
}

void ColorMap::reset() {
  entries.clear();
  entries.shrink_to_fit();
  entryCount = 0;
  isSorted = false;
  notifyChanged();
}

void ColorMap::grow(int n) {
  if (n < capacity()) return;
  int newCapacity = n <= 16 ? 16 : ((n + 31) / 32) * 32;
  newCapacity = std::min(newCapacity, kMaxColors);
  entries.resize(static_cast<std::size_t>(newCapacity));
}

int ColorMap::append(Color color) {
  if (entryCount >= kMaxColors) throw GifError("Color table overflow");
  if (entryCount >= capacity()) grow(entryCount + 1);
  entries[static_cast<std::size_t>(entryCount)] = toRgb(color);
  isSorted = false;
  ++entryCount;
  notifyChanged();
  return entryCount - 1;
}

int ColorMap::find(Color color) const {
  const Rgb wanted = toRgb(color);
  if (isSorted) {
    for (int i = 0; i < entryCount; ++i)
      if (entries[static_cast<std::size_t>(i)] == wanted) return i;
  } else {
    for (int i = entryCount - 1; i >= 0; --i)
      if (entries[static_cast<std::size_t>(i)] == wanted) return i;
  }
  return -1;
}

int ColorMap::appendUnique(Color color) {
  const int i = find(color);
  return i >= 0 ? i : append(color);
}

void ColorMap::removeAt(int index) {
  if (index < 0 || index >= entryCount) throw GifError("Invalid color index");
  std::copy(entries.begin() + index + 1, entries.begin() + entryCount, entries.begin() + index);
  --entryCount;
  isSorted = false;
  notifyChanged();
}

Color ColorMap::entryColor(int index) const {
  if (index < 0 || index >= entryCount) {
    reportWarning("Invalid color index");
    if (entryCount == 0) throw GifError("Color table is empty");
    index = 0;
  }
  return toColor(entries[static_cast<std::size_t>(index)]);
}

void ColorMap::setEntryColor(int index, Color color) {
  if (index < 0 || index >= entryCount) throw GifError("Invalid color index");
  entries[static_cast<std::size_t>(index)] = toRgb(color);
  notifyChanged();
}

void ColorMap::importRaw(const Rgb* triples, int n) {
  n = std::clamp(n, 0, kMaxColors);
  entries.clear();
  entryCount = 0;
  isSorted = false;
  if (n > 0) {
    grow(n);
    std::copy(triples, triples + n, entries.begin());
    entryCount = n;
  }
  notifyChanged();
}

void ColorMap::importColors(const std::vector<Color>& palette) {
  std::vector<Rgb> triples;
  triples.reserve(std::min<std::size_t>(palette.size(), kMaxColors));
  for (std::size_t i = 0; i < palette.size() && i < kMaxColors; ++i) triples.push_back(toRgb(palette[i]));
  importRaw(triples.data(), static_cast<int>(triples.size()));
}

void ColorMap::importFromColorTable(const std::uint8_t* quads, int n) {
  n = std::clamp(n, 0, kMaxColors);
  std::vector<Rgb> triples(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) triples[static_cast<std::size_t>(i)] = Rgb{quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]};
  importRaw(triples.data(), n);
}

std::vector<Color> ColorMap::toPalette() const {
  std::vector<Color> result;
  result.reserve(static_cast<std::size_t>(entryCount));
  for (int i = 0; i < entryCount; ++i) result.push_back(toColor(entries[static_cast<std::size_t>(i)]));
  return result;
}

void ColorMap::assign(const ColorMap& other) {
  if (&other == this) return;
  entries = other.entries;
  entryCount = other.entryCount;
  isSorted = other.isSorted;
  notifyChanged();
}

void ColorMap::saveToStream(GifStream& stream) const {
  if (entryCount == 0) return;
  const int padded = 1 << pixelBits();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(padded) * 3, 0);
  for (int i = 0; i < entryCount; ++i) {
    const Rgb& c = entries[static_cast<std::size_t>(i)];
    bytes[3 * i] = c.red;
    bytes[3 * i + 1] = c.green;
    bytes[3 * i + 2] = c.blue;
  }
  stream.write(bytes.data(), bytes.size());
}

void ColorMap::loadFromStream(GifInput& input, int n) {
  n = std::clamp(n, 0, kMaxColors);
  const auto bytes = input.take(static_cast<std::size_t>(n) * 3);
  if (bytes.size() < static_cast<std::size_t>(n) * 3) throw GifError("Premature end of data");
  std::vector<Rgb> triples(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) triples[static_cast<std::size_t>(i)] = Rgb{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  importRaw(triples.data(), n);
}

void ColorMap::notifyChanged() {
  if (owner) owner->notifyChanged();
}

void ColorMap::reportWarning(const std::string& message) const {
  if (owner) owner->reportWarning(nullptr, message);
}

namespace {

void countFrame(const GifFrame& frame, std::vector<std::uint32_t>& histogram) {
  if (histogram.size() < 256) histogram.resize(256, 0);
  const std::uint8_t* p = frame.pixels();
  const std::size_t n = frame.pixelCount();
  for (std::size_t i = 0; i < n; ++i) ++histogram[p[i]];
}

void remapFrame(GifFrame& frame, const std::vector<std::uint8_t>& table) {
  if (table.size() < 256) throw GifError("Invalid color index");
  std::uint8_t* p = frame.pixels();
  const std::size_t n = frame.pixelCount();
  for (std::size_t i = 0; i < n; ++i) p[i] = table[p[i]];
  if (frame.hasTransparency && frame.graphicControl) {
    // Written directly: the new index is valid for the remapped table by construction.
    frame.graphicControl->setTransparentIndex(table[frame.graphicControl->transparentIndex()]);
  }
}

}  // namespace

void GlobalColorMap::countColorUse(std::vector<std::uint32_t>& histogram) const {
  if (histogram.size() < 256) histogram.resize(256, 0);
  if (!image()) return;
  for (const auto& frame : image()->frames())
    if (!frame->empty() && &frame->effectiveColorMap() == this) countFrame(*frame, histogram);
}

void GlobalColorMap::remapPixels(const std::vector<std::uint8_t>& table) {
  if (!image()) return;
  for (const auto& frame : image()->frames())
    if (!frame->empty() && &frame->effectiveColorMap() == this) remapFrame(*frame, table);
}

void LocalColorMap::countColorUse(std::vector<std::uint32_t>& histogram) const {
  if (histogram.size() < 256) histogram.resize(256, 0);
  if (owningFrame && !owningFrame->empty()) countFrame(*owningFrame, histogram);
}

void LocalColorMap::remapPixels(const std::vector<std::uint8_t>& table) {
  if (owningFrame && !owningFrame->empty()) remapFrame(*owningFrame, table);
}

}  // namespace zefra::gif
