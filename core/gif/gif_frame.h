#pragma once
// One image of a GIF file with the extensions that precede it: placement on the logical
// screen, interlace flag, local colour table and one colour index per pixel (rows top to
// bottom in display order, exactly width bytes per row).

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "common/populated_memory.h"
#include "gif/color_map.h"
#include "gif/gif_extension.h"
#include "gif/gif_item.h"
#include "gif/gif_item_list.h"

namespace zefra::raster {
class FastBitmap;
}

namespace zefra::colour {
class IndexedBitmap;
}

namespace zefra::gif {

class GraphicControlExtension;
using colour::IndexedBitmap;

// Allocates like std::allocator but leaves elements default-initialised, so growing a
// pixel array the decoder is about to overwrite costs no zero fill. Sizes given with a
// value (assign(n, v), a constructor with a value) still fill.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  // A decoded frame of a photo is written through at once: its pages are made in one go.
  T* allocate(std::size_t n) { return static_cast<T*>(common::allocatePopulated(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { common::releasePopulated(p, n * sizeof(T)); }
};

using PixelIndices = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

class GifFrame final : public GifItem {
 public:
  explicit GifFrame(GifImage* image);
  ~GifFrame() override;

  // Placement and size (u16 each), as in the image descriptor.
  int left() const { return placement[0]; }
  int top() const { return placement[1]; }
  int width() const { return placement[2]; }
  int height() const { return placement[3]; }
  // The stored descriptor packed byte; the writer recomputes it (see descriptorPacked()).
  std::uint8_t packed() const { return packedByte; }
  void setPacked(std::uint8_t value) { packedByte = value; }
  bool interlaced() const { return (packedByte & 0x40) != 0; }
  void setInterlaced(bool on) { packedByte = static_cast<std::uint8_t>(on ? packedByte | 0x40 : packedByte & ~0x40); }

  // Stores the four values (each 0..65535, else "Invalid image dimensions"). A new size
  // reallocates the pixels as zeros (none for a zero area, "Image exceeds the pixel limit"
  // beyond the image's per-frame limit) and grows the logical screen to hold the frame,
  // warning as it does so.
  void setPlacement(int left, int top, int width, int height);
  void setLeft(int value) { setPlacement(value, top(), width(), height()); }
  void setTop(int value) { setPlacement(left(), value, width(), height()); }
  void setWidth(int value) { setPlacement(left(), top(), value, height()); }
  void setHeight(int value) { setPlacement(left(), top(), width(), value); }

  // No pixel array, or no area.
  bool empty() const { return pixelData.empty() || width() == 0 || height() == 0; }
  std::size_t pixelCount() const { return pixelData.size(); }
  std::uint8_t* pixels() { return pixelData.data(); }
  const std::uint8_t* pixels() const { return pixelData.data(); }
  // Replaces the pixel array; its size must be width() * height() (std::invalid_argument).
  void setPixels(std::vector<std::uint8_t> indices);
  void releasePixels();

  // "Invalid pixel coordinates" outside the frame, "Image is empty" without area.
  std::uint8_t* rowPointer(int y);
  std::uint8_t pixelAt(int x, int y) const;
  void setPixelAt(int x, int y, std::uint8_t index);

  LocalColorMap& localColorMap() { return localMap; }
  const LocalColorMap& localColorMap() const { return localMap; }
  // Local map when it has colours, else the global map when that has colours, else the
  // (empty) local map.
  const ColorMap& effectiveColorMap() const;
  ColorMap& effectiveColorMap();

  ExtensionList& extensions() { return extList; }
  const ExtensionList& extensions() const { return extList; }

  // Set while a graphic control extension of this frame has its transparency bit set.
  bool hasTransparency = false;
  // The frame's graphic control extension (not owned: it lives in extensions()).
  GraphicControlExtension* graphicControl = nullptr;

  // Deletes extensions, local colours and pixels; size 0; no transparency.
  void clearFrame();

  // Copy of another frame (nothing for itself; clearFrame for nullptr). Extensions are
  // copied through their byte form, so the copies belong to this frame.
  void assign(const GifFrame* source);
  // From a palette bitmap: its palette becomes the local table, its indices the pixels.
  // transparentMask, when not empty, holds one byte per pixel (non-zero = transparent).
  void assign(const IndexedBitmap& bitmap, std::span<const std::uint8_t> transparentMask = {});
  // From a 24-bit bitmap: reduced with the image's reduction settings, or with exact
  // colours when the reduction mode is None ("Color table overflow" beyond 256 colours).
  void assign(const raster::FastBitmap& bitmap, std::span<const std::uint8_t> transparentMask = {});

  // The descriptor packed byte the writer stores.
  std::uint8_t descriptorPacked() const;
  GifVersion requiredVersion() const override;
  void saveToStream(GifStream& stream) const override;
  // Extensions, then (unless the next byte is ';' or 0x00) descriptor, local table and
  // image data.
  void loadFromStream(GifInput& input) override;

  // Bits per pixel and allowed colour count for the frame's image data.
  int codeBits() const;
  int allowedColors() const;

 private:
  void loadExtensions(GifInput& input);
  void loadImage(GifInput& input);
  void applyMask(std::span<const std::uint8_t> transparentMask);

  std::array<std::uint16_t, 4> placement{};
  std::uint8_t packedByte = 0;
  PixelIndices pixelData;
  LocalColorMap localMap;
  ExtensionList extList;
};

}  // namespace zefra::gif
