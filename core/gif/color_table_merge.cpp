#include "gif/color_table_merge.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "gif/color_map.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/middle_pivot_sort.h"

namespace zefra::gif {

// ---- sorting one table by use -------------------------------------------------------

bool ColorMap::sortByUse() {
  if (entryCount < 2) return false;
  const GlobalColorMap* global = dynamic_cast<const GlobalColorMap*>(this);
  if (global && (!image() || image()->frames().empty())) return false;
  isSorted = true;

  std::vector<std::uint32_t> histogram(256, 0);
  countColorUse(histogram);
  struct Use {
    std::uint32_t count;
    int index;
  };
  std::vector<Use> uses(static_cast<std::size_t>(entryCount));
  for (int i = 0; i < entryCount; ++i) uses[static_cast<std::size_t>(i)] = {histogram[static_cast<std::size_t>(i)], i};
  sortDecreasing(uses, [](const Use& u) { return u.count; });

  bool identity = true;
  for (int i = 0; i < entryCount && identity; ++i) identity = uses[static_cast<std::size_t>(i)].index == i;
  if (identity) return true;

  // Indices outside the table (which a merge would have repaired) keep their value.
  std::vector<std::uint8_t> table(256);
  for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  for (int pos = 0; pos < entryCount; ++pos)
    table[static_cast<std::size_t>(uses[static_cast<std::size_t>(pos)].index)] = static_cast<std::uint8_t>(pos);
  remapPixels(table);

  std::vector<Rgb> reordered(static_cast<std::size_t>(entryCount));
  int used = entryCount;
  for (int pos = 0; pos < entryCount; ++pos) {
    const Use& u = uses[static_cast<std::size_t>(pos)];
    reordered[static_cast<std::size_t>(pos)] = entries[static_cast<std::size_t>(u.index)];
    if (u.count == 0 && used == entryCount) used = pos;
  }
  std::copy(reordered.begin(), reordered.begin() + used, entries.begin());
  entryCount = used;
  notifyChanged();
  return true;
}

// ---- merging all tables of an image --------------------------------------------------

namespace {

struct Entry {
  std::uint32_t count = 0;
  int oldIndex = 0;
  int newIndex = 256;
  Rgb color;
  Entry* mergedInto = nullptr;  // set on a duplicate colour: the entry that took its count
};

struct Histogram {
  const ColorMap* table = nullptr;
  std::vector<GifFrame*> frames;
  std::vector<Entry> entries;
  // Old index -> new index, filled once the new table is known.
  std::vector<std::uint8_t> remap;
};

int transparentIndexOf(const GifFrame& frame) {
  return frame.graphicControl ? frame.graphicControl->transparentIndex() : 0;
}

// Counts one frame into the histogram's entries; answers whether the frame showed its
// transparent colour anywhere.
bool countFrame(GifFrame& frame, Histogram& h) {
  const int colors = h.table->count();
  const bool transparent = frame.hasTransparency && frame.graphicControl;
  const int t = transparentIndexOf(frame);
  bool sawTransparent = false;
  bool repaired = false;
  std::uint8_t* p = frame.pixels();
  const std::size_t n = frame.pixelCount();
  for (std::size_t i = 0; i < n; ++i) {
    if (transparent && p[i] == t) {
      sawTransparent = true;
      continue;
    }
    if (p[i] >= colors) {
      p[i] = 0;
      repaired = true;
    }
    std::uint32_t& count = h.entries[p[i]].count;
    // A count cannot wrap; pixel limits keep real frames far below this anyway.
    if (count != std::numeric_limits<std::uint32_t>::max()) ++count;
  }
  if (repaired) frame.reportWarning("Color not in color table");
  if (transparent && !sawTransparent) {
    frame.graphicControl->setTransparencyOn(false);
    frame.graphicControl->setTransparentIndex(0);
  }
  return sawTransparent;
}

Histogram histogramFor(const ColorMap& table) {
  Histogram h;
  h.table = &table;
  h.entries.resize(static_cast<std::size_t>(table.count()));
  for (int i = 0; i < table.count(); ++i) {
    Entry& e = h.entries[static_cast<std::size_t>(i)];
    e.oldIndex = i;
    e.color = table[i];
  }
  return h;
}

int componentSum(const Rgb& c) { return c.red + c.green + c.blue; }

}  // namespace

void mergeColorTables(GifImage& image) {
  // 1-2. One histogram per table in use.
  std::vector<Histogram> histograms;
  bool transparency = false;
  if (!image.globalTable().empty()) {
    Histogram h = histogramFor(image.globalTable());
    for (const auto& frame : image.frames()) {
      if (frame->empty() || !frame->localColorMap().empty()) continue;
      h.frames.push_back(frame.get());
      transparency = countFrame(*frame, h) || transparency;
    }
    if (!h.frames.empty()) histograms.push_back(std::move(h));
  }
  for (const auto& frame : image.frames()) {
    if (frame->empty() || frame->localColorMap().empty()) continue;
    Histogram h = histogramFor(frame->localColorMap());
    h.frames.push_back(frame.get());
    transparency = countFrame(*frame, h) || transparency;
    histograms.push_back(std::move(h));
  }

  // 3. Each histogram by decreasing use, unused colours dropped.
  for (Histogram& h : histograms) {
    sortDecreasing(h.entries, [](const Entry& e) { return e.count; });
    std::size_t used = 0;
    while (used < h.entries.size() && h.entries[used].count > 0) ++used;
    h.entries.resize(used);
  }

  // 4. All entries together; equal colours merge into the first of their run.
  std::vector<Entry*> all;
  for (Histogram& h : histograms)
    for (Entry& e : h.entries) all.push_back(&e);
  const auto colorValue = [](const Entry* e) {
    return static_cast<std::uint32_t>(e->color.red) + (static_cast<std::uint32_t>(e->color.green) << 8) +
           (static_cast<std::uint32_t>(e->color.blue) << 16);
  };
  sortDecreasing(all, colorValue);
  for (std::size_t i = 0; i < all.size();) {
    std::size_t j = i + 1;
    while (j < all.size() && all[j]->color == all[i]->color) {
      all[i]->count += all[j]->count;
      all[j]->count = 0;
      all[j]->mergedInto = all[i];
      ++j;
    }
    i = j;
  }

  // 5. The most used colours get the new slots; the others borrow the nearest kept one.
  sortDecreasing(all, [](const Entry* e) { return e->count; });
  const std::size_t limit = transparency ? 255 : 256;
  std::size_t finalCount = 0;
  while (finalCount < all.size() && finalCount < limit && all[finalCount]->count > 0) ++finalCount;
  std::vector<Rgb> newTable;
  newTable.reserve(finalCount + 1);
  for (std::size_t k = 0; k < finalCount; ++k) {
    all[k]->newIndex = static_cast<int>(k);
    newTable.push_back(all[k]->color);
  }
  for (std::size_t k = finalCount; k < all.size(); ++k) {
    Entry* e = all[k];
    if (e->mergedInto) continue;
    int best = 0;
    int bestDiff = 765;
    for (std::size_t i = 0; i < finalCount; ++i) {
      const int diff = std::abs(componentSum(e->color) - componentSum(newTable[i]));
      if (diff < bestDiff) {
        bestDiff = diff;
        best = static_cast<int>(i);
      }
    }
    e->newIndex = best;
  }
  for (std::size_t k = finalCount; k < all.size(); ++k)
    if (all[k]->mergedInto) all[k]->newIndex = all[k]->mergedInto->newIndex;

  // 6. The shared transparent entry goes last, so no kept colour can ever match it.
  int newTransparent = -1;
  if (transparency) {
    newTransparent = static_cast<int>(finalCount);
    newTable.push_back(Rgb{0, 0, 0});
  }

  // 7. Only the global table remains.
  for (Histogram& h : histograms) {
    h.remap.assign(256, 0);
    for (const Entry& e : h.entries) h.remap[static_cast<std::size_t>(e.oldIndex)] = static_cast<std::uint8_t>(e.newIndex);
  }
  for (const auto& frame : image.frames()) frame->localColorMap().reset();
  image.globalTable().importRaw(newTable.data(), static_cast<int>(newTable.size()));
  image.globalTable().setSorted(true);

  // 8. Every frame's pixels into the new table.
  for (Histogram& h : histograms) {
    for (GifFrame* frame : h.frames) {
      const bool transparent = transparency && frame->hasTransparency && frame->graphicControl;
      const int oldT = transparentIndexOf(*frame);
      std::uint8_t* p = frame->pixels();
      const std::size_t n = frame->pixelCount();
      for (std::size_t i = 0; i < n; ++i) {
        if (transparent && p[i] == oldT)
          p[i] = static_cast<std::uint8_t>(newTransparent);
        else
          p[i] = h.remap[p[i]];
      }
      if (transparent) frame->graphicControl->setTransparentIndex(newTransparent);
    }
  }

  // 9.
  image.notifyChanged();
}

}  // namespace zefra::gif
