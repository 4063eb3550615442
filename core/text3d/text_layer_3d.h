#pragma once
// A 3D text object on a canvas: a caption drawn with a Font3D, sizing itself to the
// rendered text (AutoSize) and showing accelerator marks. It owns its Font3D; the glyph
// sets it draws with belong to the glyph cache and outlive it.

#include <optional>
#include <string>

#include "raster/canvas.h"
#include "raster/geometry.h"
#include "text3d/font.h"
#include "text3d/font3d.h"
#include "text3d/glyph_cache.h"
#include "text3d/text_drawing.h"

namespace zefra::text3d {

class TextLayer3D {
 public:
  explicit TextLayer3D(GlyphCache& cache = GlyphCache::shared());
  TextLayer3D(const TextLayer3D&) = delete;
  TextLayer3D& operator=(const TextLayer3D&) = delete;

  Font3D& font3D() { return appearance; }
  const Font3D& font3D() const { return appearance; }

  const Font& font() const { return textFont; }
  void setFont(const Font& f);

  const std::string& caption() const { return text; }
  void setCaption(const std::string& c);

  // Left/top of the box; its size follows the text while AutoSize is on.
  void setPosition(int left, int top);
  void setBounds(const raster::Rect& r);
  // The box, after applying AutoSize.
  raster::Rect bounds();

  bool autoSize() const { return sizeToText; }
  void setAutoSize(bool on);
  bool transparent() const { return seeThrough; }
  void setTransparent(bool on);
  Color color() const { return background; }
  void setColor(Color c);
  bool showAccelChar() const { return accelerators; }
  void setShowAccelChar(bool on);
  bool enabled() const { return active; }
  void setEnabled(bool on);
  bool wordWrap() const { return wrap; }
  void setWordWrap(bool on);
  TextAlignment alignment() const { return align; }
  void setAlignment(TextAlignment a);

  // Draws the object at its box on `parent` (the parent canvas's coordinates), clipped
  // to the box.
  void paint(raster::Canvas& parent);

  // Set by every change that needs a repaint; cleared by paint().
  bool needsRepaint() const { return dirty; }

 private:
  void changed() { dirty = true; }
  void applyAutoSize();
  bool drawsCharByChar() const;
  // The width the caption covers when painted.
  int paintedWidth();
  void drawCaption(raster::Canvas& canvas, std::optional<Color> brush);

  GlyphCache& cache;
  Font3D appearance;
  Font textFont;
  std::string text;
  raster::Rect box;
  bool sizeToText = true;
  bool seeThrough = false;
  Color background = 0x8000000F;  // the button-face system colour of a label
  bool accelerators = true;
  bool active = true;
  bool wrap = false;
  TextAlignment align = TextAlignment::Left;
  bool dirty = true;
};

}  // namespace zefra::text3d
