#include "text3d/text_layer_3d.h"

#include "raster/system_colors.h"
#include "text3d/accelerator.h"

namespace zefra::text3d {

TextLayer3D::TextLayer3D(GlyphCache& cache) : cache(cache) {
  appearance.setAntialiasing(true);
  appearance.onChange = [this] { changed(); };
  textFont.name = "Arial";
}

void TextLayer3D::setFont(const Font& f) {
  if (f.sameShape(textFont) && f.color == textFont.color) return;
  textFont = f;
  changed();
}

void TextLayer3D::setCaption(const std::string& c) {
  if (c == text) return;
  text = c;
  changed();
}

void TextLayer3D::setPosition(int left, int top) {
  if (left == box.left && top == box.top) return;
  box = box.translated(left - box.left, top - box.top);
  changed();
}

void TextLayer3D::setBounds(const raster::Rect& r) {
  if (r == box) return;
  box = r;
  changed();
}

void TextLayer3D::setAutoSize(bool on) {
  if (on == sizeToText) return;
  sizeToText = on;
  changed();
}
void TextLayer3D::setTransparent(bool on) {
  if (on == seeThrough) return;
  seeThrough = on;
  changed();
}
void TextLayer3D::setColor(Color c) {
  if (c == background) return;
  background = c;
  changed();
}
void TextLayer3D::setShowAccelChar(bool on) {
  if (on == accelerators) return;
  accelerators = on;
  changed();
}
void TextLayer3D::setEnabled(bool on) {
  if (on == active) return;
  active = on;
  changed();
}
void TextLayer3D::setWordWrap(bool on) {
  if (on == wrap) return;
  wrap = on;
  changed();
}
void TextLayer3D::setAlignment(TextAlignment a) {
  if (a == align) return;
  align = a;
  changed();
}

raster::Rect TextLayer3D::bounds() {
  applyAutoSize();
  return box;
}

void TextLayer3D::applyAutoSize() {
  if (!sizeToText) return;
  if (wrap) wrap = false;
  int w = paintedWidth();
  int h = textHeight3D(textFont, appearance, text, cache);
  int left = box.left;
  if (align == TextAlignment::Right) left = box.right - w;
  else if (align == TextAlignment::Center) left = box.left + (box.width() - w) / 2;
  box = raster::Rect::fromSize(left, box.top, w, h);
}

void TextLayer3D::paint(raster::Canvas& parent) {
  applyAutoSize();
  dirty = false;
  raster::Canvas canvas = parent.child(box);
  std::optional<Color> brush;
  if (!seeThrough) {
    Color fill = raster::resolveColor(background);
    canvas.fillRect(raster::Rect::fromSize(0, 0, box.width(), box.height()), fill);
    brush = fill;
  }
  if (active) drawCaption(canvas, brush);
}

bool TextLayer3D::drawsCharByChar() const { return accelerators && text.find('&') != std::string::npos; }

int TextLayer3D::paintedWidth() {
  if (!drawsCharByChar()) return textWidth3D(textFont, appearance, text, cache);
  // Drawn one character at a time, each advances by its whole cell (no overlap), so the
  // box must be that wide or the last letters are cut off.
  Font underlined = textFont;
  underlined.style |= kUnderline;
  int w = 0;
  for (const CaptionChar& c : parseAccelerators(text))
    w += textWidth3D(c.underlined ? underlined : textFont, appearance, std::string_view(&c.ch, 1), cache);
  return w;
}

void TextLayer3D::drawCaption(raster::Canvas& canvas, std::optional<Color> brush) {
  if (!drawsCharByChar()) {
    textOut3D(canvas, 0, 0, TextAlignment::Left, textFont, appearance, text, brush, cache);
    return;
  }
  // With marks, each character is drawn on its own, the marked one in an underlined font.
  Font underlined = textFont;
  underlined.style |= kUnderline;
  int x = 0;
  for (const CaptionChar& c : parseAccelerators(text)) {
    const Font& f = c.underlined ? underlined : textFont;
    std::string_view one(&c.ch, 1);
    textOut3D(canvas, x, 0, TextAlignment::Left, f, appearance, one, brush, cache);
    x += textWidth3D(f, appearance, one, cache);
  }
}

}  // namespace zefra::text3d
