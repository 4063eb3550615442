#include "render/text_layer_renderer.h"

#include <stdexcept>

namespace zefra::render {

TextLayerRenderer::TextLayerRenderer(int screenDpi, text3d::GlyphCache& cache)
    : dpi(screenDpi > 0 ? screenDpi : text3d::kDefaultPixelsPerInch) {
  for (auto& l : layers) {
    l = std::make_unique<text3d::TextLayer3D>(cache);
    l->setTransparent(true);
    l->setAutoSize(true);
    l->setWordWrap(false);
    l->font3D().shadow().setStyle(text3d::ShadowStyle::Diffuse);
  }
}

text3d::TextLayer3D& TextLayerRenderer::configure(const TextLayerRequest& request) {
  if (!request.record || request.slot < 1 || request.slot > model::kSlots)
    throw std::invalid_argument("Text layer request without a record or with a bad slot");
  const model::FrameRecord& r = *request.record;
  const std::size_t i = static_cast<std::size_t>(request.slot - 1);
  text3d::TextLayer3D& layer = *layers[i];
  text3d::Font3D& f3 = layer.font3D();

  f3.gradient().setActive(r.textGradientOn[i] != 0);
  f3.gradient().setKind(r.textGradientKind[i] != 0 ? text3d::GradientKind::Horizontal
                                                   : text3d::GradientKind::Vertical);
  f3.border().setColor(r.text3DColor[i]);
  f3.setFrontColor(r.fontColor[i]);
  f3.gradient().setBeginColor(r.textGradientColor1[i]);
  f3.gradient().setEndColor(r.textGradientColor2[i]);
  f3.border().setHeight(r.textBorderWidth[i]);
  f3.shadow().setColor(static_cast<std::uint16_t>(r.shadowDarkness[i]) & 0xFF);
  f3.setViewDirection(r.viewAngle[i]);

  // The compositor owns the texture (read once per changed file name); the Font3D keeps a
  // copy, replaced only when the pixels differ so that a relayout does not repaint.
  const raster::FastBitmap* texture = request.texture;
  if (texture && !texture->empty()) {
    if (!(f3.bitmap() == *texture)) f3.setBitmap(*texture);
  } else if (!f3.bitmap().empty()) {
    f3.setBitmap(raster::FastBitmap());
  }

  text3d::Font font;
  font.name = r.fontName[i].str();
  font.pixelsPerInch = dpi;
  font.setSize(request.pointSize);
  font.color = r.fontColor[i];
  font.style = 0;
  if (r.fontBold[i] == 1) font.style |= text3d::kBold;
  if (r.fontItalic[i] == 1) font.style |= text3d::kItalic;
  if (r.fontStrikeOut[i] == 1) font.style |= text3d::kStrikeOut;
  if (r.fontUnderline[i] == 1) font.style |= text3d::kUnderline;
  layer.setFont(font);

  layer.setCaption(r.text[i].str());
  layer.setPosition(r.textX[i], r.textY[i]);
  return layer;
}

raster::Rect TextLayerRenderer::bounds(const TextLayerRequest& request) {
  return configure(request).bounds();
}

void TextLayerRenderer::paint(raster::Canvas& canvas, const TextLayerRequest& request) {
  configure(request).paint(canvas);
}

}  // namespace zefra::render
