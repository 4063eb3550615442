#pragma once
// A drawing surface over a FastBitmap: an origin that maps the caller's coordinates onto
// the bitmap and a clip rectangle (in bitmap pixels) that no drawing leaves. Every layer
// object of a frame draws through one, placed at its own bounds and clipped to what it may
// cover, the way child controls draw on a window.
//
// Pixel rules: rectangles are half-open; a filled polygon covers the pixels whose centres lie
// inside it, with pixel centres on a left or top edge inside and on a right or bottom edge
// outside (so adjacent polygons never share or miss a pixel); a line covers the pixels of
// its Bresenham walk without its end point. Colours are taken as given (resolve system
// colours before drawing).

#include <cstdint>
#include <span>
#include <vector>

#include "common/color.h"
#include "raster/fast_bitmap.h"
#include "raster/geometry.h"

namespace zefra::raster {

// One byte per pixel, non-zero = the pixel is drawn by a masked blit.
struct BitMask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;

  BitMask() = default;
  BitMask(int w, int h, std::uint8_t value = 0)
      : width(w), height(h), bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), value) {}
  bool at(int x, int y) const { return bits[static_cast<std::size_t>(y) * width + x] != 0; }
  void set(int x, int y, bool on) { bits[static_cast<std::size_t>(y) * width + x] = on ? 1 : 0; }
};

// One opacity byte per pixel, 0 (transparent) to 255 (opaque), for colours that are not
// premultiplied by it.
struct AlphaMask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> values;

  AlphaMask() = default;
  AlphaMask(int w, int h, std::uint8_t value = 0)
      : width(w), height(h), values(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), value) {}
  bool empty() const { return values.empty(); }
  std::uint8_t at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};

// `src` over `dst` with opacity `alpha`, rounded to the nearest integer: opacity 255
// gives src and 0 gives dst exactly.
constexpr std::uint8_t blendOver(std::uint8_t src, std::uint8_t dst, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((src * alpha + dst * (255 - alpha) + 127) / 255);
}

class Canvas {
 public:
  // The whole bitmap, origin at its top-left pixel.
  explicit Canvas(FastBitmap& target);
  // Drawing at (0, 0) lands on bitmap pixel `origin`; nothing is drawn outside `clip`
  // (bitmap pixels, further cut to the bitmap).
  Canvas(FastBitmap& target, Point origin, Rect clip);

  // A canvas for a child object placed at `bounds` (in this canvas's coordinates), clipped
  // to its bounds and to this canvas's clip.
  Canvas child(const Rect& bounds) const;
  // The same origin with a clip cut further to `rect` (in this canvas's coordinates).
  Canvas clippedTo(const Rect& rect) const;

  FastBitmap& bitmap() const { return *target; }
  Point origin() const { return org; }
  Rect clip() const { return clipRect; }  // bitmap pixels

  void setPixel(int x, int y, Color c);
  void fillRect(const Rect& r, Color c);
  void hLine(int x0, int x1, int y, Color c);  // x0..x1 - 1
  void vLine(int x, int y0, int y1, Color c);  // y0..y1 - 1
  // One-pixel line (penWidth > 1: a square pen of that size centred on each pixel of the
  // walk); the end point is not drawn.
  void line(Point from, Point to, Color c, int penWidth = 1);
  void fillPolygon(std::span<const Point> vertices, Color c);

  // Rectangle outlined with a solid pen of `penWidth` pixels centred on the outline of
  // `r` (a pen of width 0 draws like width 1) and filled inside: the figure covers
  // (left - p div 2, top - p div 2) to (right + (p - 1) div 2, bottom + (p - 1) div 2).
  void rectangle(const Rect& r, Color pen, int penWidth, Color brush);
  // The same with corners rounded by an ellipse of ellipseWidth x ellipseHeight.
  void roundRect(const Rect& r, int ellipseWidth, int ellipseHeight, Color pen, int penWidth,
                 Color brush);

  // Copies `src` 1:1 with its top-left pixel at (x, y).
  void draw(int x, int y, const FastBitmap& src);
  // Copies only the pixels whose mask entry is set; `mask` has the size of `src`.
  void drawMasked(int x, int y, const FastBitmap& src, const BitMask& mask);
  // Composites `src` over what is there, each pixel with its opacity (blendOver per
  // channel); `alpha` has the size of `src`.
  void drawBlended(int x, int y, const FastBitmap& src, const AlphaMask& alpha);

 private:
  void walkInside(Point from, Point to, Color c);

  FastBitmap* target;
  Point org;
  Rect clipRect;
};

}  // namespace zefra::raster
