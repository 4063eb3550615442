#pragma once
// A GIF colour table: up to 256 RGB entries. The global table belongs to the image's
// header, a local table to one frame. Every change tells the owner (notifyChanged) so
// that cached palettes and bitmaps built from the table are dropped.

#include <cstdint>
#include <string>
#include <vector>

#include "common/color.h"
#include "gif/gif_types.h"

namespace zefra::gif {

class GifImage;
class GifHeader;
class GifFrame;
class GifStream;
class GifInput;

class ColorMap {
 public:
  static constexpr int kMaxColors = 256;

  virtual ~ColorMap() = default;
  ColorMap(const ColorMap&) = delete;
  ColorMap& operator=(const ColorMap&) = delete;

  int count() const { return entryCount; }
  int capacity() const { return static_cast<int>(entries.size()); }
  bool empty() const { return entryCount == 0; }
  bool sorted() const { return isSorted; }
  void setSorted(bool value) { isSorted = value; }

  // Entries 0..count()-1; no bounds check.
  const Rgb& operator[](int i) const { return entries[static_cast<std::size_t>(i)]; }
  const Rgb* data() const { return entries.data(); }

  // 0 for no colours, else the smallest b >= 1 with 2^b >= count (8 for 129..256).
  static int pixelBitsFor(int colorCount);
  int pixelBits() const { return pixelBitsFor(entryCount); }
  int colorResolution() const { return pixelBits() - 1; }

  void reset();
  // Makes room for n entries: 16 when n <= 16, else n rounded up to 32, at most 256.
  void grow(int n);
  // Stops with "Color table overflow" when 256 colours are held; returns the new index.
  int append(Color color);
  // Index of an equal entry or -1: a sorted map answers the first match, an unsorted one
  // the last.
  int find(Color color) const;
  int appendUnique(Color color);
  void removeAt(int index);
  // Outside 0..count-1: warns "Invalid color index" and answers entry 0 (or stops with
  // "Color table is empty").
  Color entryColor(int index) const;
  void setEntryColor(int index, Color color);

  // Replace the whole table (at most 256 entries are taken).
  void importRaw(const Rgb* triples, int n);
  void importColors(const std::vector<Color>& palette);
  // n entries stored blue, green, red, reserved (a device-independent colour table).
  void importFromColorTable(const std::uint8_t* quads, int n);
  std::vector<Color> toPalette() const;
  void assign(const ColorMap& other);

  // Entries followed by (0,0,0) up to 2^pixelBits entries; nothing for an empty map.
  void saveToStream(GifStream& stream) const;
  // Replaces the table with n entries read from the input ("Premature end of data" when short).
  void loadFromStream(GifInput& input, int n);

  // histogram[i] += uses of index i by the pixels this table colours. histogram is resized
  // to 256 entries when smaller.
  virtual void countColorUse(std::vector<std::uint32_t>& histogram) const = 0;
  // Rewrites the pixels this table colours through table (old index -> new index, 256
  // entries), together with the transparent index of each transparent frame concerned.
  virtual void remapPixels(const std::vector<std::uint8_t>& table) = 0;
  // Orders the table by decreasing use; defined with the colour-table merge.
  bool sortByUse();

  virtual void reportWarning(const std::string& message) const;
  // Tells the image that what it shows changed.
  void notifyChanged();
  GifImage* image() const { return owner; }

 protected:
  explicit ColorMap(GifImage* image) : owner(image) {}

 private:
  GifImage* owner;
  std::vector<Rgb> entries;  // size() is the capacity
  int entryCount = 0;
  bool isSorted = false;
};

class GlobalColorMap final : public ColorMap {
 public:
  GlobalColorMap(GifImage* image, GifHeader* header) : ColorMap(image), owningHeader(header) {}
  GifHeader* header() const { return owningHeader; }
  // Counts and rewrites the frames whose effective colour table is this one.
  void countColorUse(std::vector<std::uint32_t>& histogram) const override;
  void remapPixels(const std::vector<std::uint8_t>& table) override;

 private:
  GifHeader* owningHeader;
};

class LocalColorMap final : public ColorMap {
 public:
  LocalColorMap(GifImage* image, GifFrame* frame) : ColorMap(image), owningFrame(frame) {}
  GifFrame* frame() const { return owningFrame; }
  void countColorUse(std::vector<std::uint32_t>& histogram) const override;
  void remapPixels(const std::vector<std::uint8_t>& table) override;

 private:
  GifFrame* owningFrame;
};

}  // namespace zefra::gif
