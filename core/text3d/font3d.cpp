#include "text3d/font3d.h"

namespace zefra::text3d {

void Font3D::setBitmap(const raster::FastBitmap& b) {
  texture = b;
  notify();
}

Color Font3DBorder::color() const { return owner.values.borderColor; }
void Font3DBorder::setColor(Color c) { owner.change(owner.values.borderColor, c); }
double Font3DBorder::height() const { return owner.values.borderHeight; }
void Font3DBorder::setHeight(double h) { owner.change(owner.values.borderHeight, h); }
double Font3DBorder::effectColor() const { return owner.values.borderEffectColor; }
void Font3DBorder::setEffectColor(double e) { owner.change(owner.values.borderEffectColor, e); }

bool Font3DGradient::active() const { return owner.values.gradientActive; }
void Font3DGradient::setActive(bool a) { owner.change(owner.values.gradientActive, a); }
GradientKind Font3DGradient::kind() const { return owner.values.gradientKind; }
void Font3DGradient::setKind(GradientKind k) { owner.change(owner.values.gradientKind, k); }
Color Font3DGradient::beginColor() const { return owner.values.gradientBeginColor; }
void Font3DGradient::setBeginColor(Color c) { owner.change(owner.values.gradientBeginColor, c); }
Color Font3DGradient::endColor() const { return owner.values.gradientEndColor; }
void Font3DGradient::setEndColor(Color c) { owner.change(owner.values.gradientEndColor, c); }

int Font3DShadow::color() const { return owner.values.shadowColor; }
void Font3DShadow::setColor(int darkness) { owner.change(owner.values.shadowColor, darkness); }
ShadowStyle Font3DShadow::style() const { return owner.values.shadowStyle; }
void Font3DShadow::setStyle(ShadowStyle s) { owner.change(owner.values.shadowStyle, s); }

}  // namespace zefra::text3d
