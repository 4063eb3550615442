#pragma once
// The appearance of one 3D text: extrusion (border), shadow, front colour, gradient and
// texture. Every setter ignores a value equal to the current one (floats compared
// exactly) and otherwise stores it and calls the change handler, through which the text
// object that owns this appearance repaints itself. Border, Gradient and Shadow are views
// onto their parts of the Font3D and notify through it.

#include <cstdint>
#include <functional>

#include "common/color.h"
#include "raster/fast_bitmap.h"

namespace zefra::text3d {

enum class GradientKind : std::uint8_t { Vertical = 0, Horizontal = 1 };
enum class ShadowStyle : std::uint8_t { None = 0, Diffuse = 1, Sharp = 2 };
enum class Site : std::uint8_t { Flying = 0, Lowered = 1, Raised = 2 };

// Plain values of a Font3D (everything but the texture and the handler).
struct Font3DSettings {
  double altitude = 3;
  bool antialiasing = true;
  Color borderColor = 0x00808080;
  double borderHeight = 1;
  double borderEffectColor = -1;
  int characterMargin = 0;
  Color frontColor = 0;
  bool gradientActive = false;
  GradientKind gradientKind = GradientKind::Vertical;
  Color gradientBeginColor = 0;
  Color gradientEndColor = 0x00FFFFFF;
  int shadowColor = 32;
  ShadowStyle shadowStyle = ShadowStyle::Sharp;
  Site site = Site::Flying;
  int viewDirection = 135;
  // Set when the glyph set is found or built: how far neighbouring cells overlap (<= 0).
  int glyphOverlap = 0;
};

class Font3D;

class Font3DBorder {
 public:
  explicit Font3DBorder(Font3D& owner) : owner(owner) {}
  Color color() const;
  void setColor(Color c);
  double height() const;
  void setHeight(double h);
  double effectColor() const;
  void setEffectColor(double e);

 private:
  Font3D& owner;
};

class Font3DGradient {
 public:
  explicit Font3DGradient(Font3D& owner) : owner(owner) {}
  bool active() const;
  void setActive(bool a);
  GradientKind kind() const;
  void setKind(GradientKind k);
  Color beginColor() const;
  void setBeginColor(Color c);
  Color endColor() const;
  void setEndColor(Color c);

 private:
  Font3D& owner;
};

class Font3DShadow {
 public:
  explicit Font3DShadow(Font3D& owner) : owner(owner) {}
  int color() const;
  void setColor(int darkness);
  ShadowStyle style() const;
  void setStyle(ShadowStyle s);

 private:
  Font3D& owner;
};

class Font3D {
 public:
  Font3D() = default;
  explicit Font3D(const Font3DSettings& s) : values(s) {}
  Font3D(const Font3D&) = delete;
  Font3D& operator=(const Font3D&) = delete;

  const Font3DSettings& settings() const { return values; }

  double altitude() const { return values.altitude; }
  void setAltitude(double a) { change(values.altitude, a); }
  bool antialiasing() const { return values.antialiasing; }
  void setAntialiasing(bool on) { change(values.antialiasing, on); }
  int characterMargin() const { return values.characterMargin; }
  void setCharacterMargin(int m) { change(values.characterMargin, m); }
  Color frontColor() const { return values.frontColor; }
  void setFrontColor(Color c) { change(values.frontColor, c); }
  Site site() const { return values.site; }
  void setSite(Site s) { change(values.site, s); }
  int viewDirection() const { return values.viewDirection; }
  void setViewDirection(int degrees) { change(values.viewDirection, degrees); }

  // The texture; empty (0 x 0) means none. Setting copies and always notifies.
  const raster::FastBitmap& bitmap() const { return texture; }
  void setBitmap(const raster::FastBitmap& b);

  Font3DBorder border() { return Font3DBorder(*this); }
  Font3DGradient gradient() { return Font3DGradient(*this); }
  Font3DShadow shadow() { return Font3DShadow(*this); }

  // Not a published property: written by the glyph cache and the glyph builder, and it
  // does not notify.
  int glyphOverlap() const { return values.glyphOverlap; }
  void setGlyphOverlap(int o) { values.glyphOverlap = o; }

  std::function<void()> onChange;

 private:
  friend class Font3DBorder;
  friend class Font3DGradient;
  friend class Font3DShadow;

  template <typename T>
  void change(T& field, T value) {
    if (field == value) return;
    field = value;
    notify();
  }
  void notify() {
    if (onChange) onChange();
  }

  Font3DSettings values;
  raster::FastBitmap texture;
};

}  // namespace zefra::text3d
