#include <gtest/gtest.h>

#include "raster/canvas.h"
#include "render/text_layer_renderer.h"
#include "text3d/text_drawing.h"
#include "text3d_test_support.h"

namespace zefra::render {
namespace {

using raster::FastBitmap;

model::FrameRecord textRecord() {
  model::FrameRecord r{};
  r.text[1] = "Banner";
  r.fontName[1] = "Arial";
  r.fontSize[1] = 26;
  r.fontColor[1] = rgb(220, 20, 20);
  r.text3DColor[1] = rgb(90, 10, 10);
  r.textBorderWidth[1] = 2;
  r.shadowDarkness[1] = 0x0180;  // only the low byte counts
  r.viewAngle[1] = 135;
  r.textX[1] = -7;
  r.textY[1] = 12;
  r.fontBold[1] = 1;
  r.fontItalic[1] = 2;  // not 1: stays off
  return r;
}

TEST(TextLayerRenderer, ConfiguresTheSlotFromTheRecord) {
  auto cache = text3d::testing::memoryOnlyCache();
  TextLayerRenderer renderer(96, *cache);
  model::FrameRecord r = textRecord();
  TextLayerRequest req{&r, 2, 21, nullptr};
  raster::Rect box = renderer.bounds(req);

  text3d::TextLayer3D& layer = renderer.layer(2);
  EXPECT_EQ(layer.font().name, "Arial");
  EXPECT_EQ(layer.font().size, 21);
  EXPECT_EQ(layer.font().style, text3d::kBold);
  EXPECT_EQ(layer.font3D().shadow().color(), 0x80);
  EXPECT_EQ(layer.font3D().shadow().style(), text3d::ShadowStyle::Diffuse);
  EXPECT_EQ(layer.font3D().border().height(), 2.0);
  EXPECT_EQ(layer.font3D().frontColor(), rgb(220, 20, 20));
  EXPECT_TRUE(layer.transparent());

  text3d::Font3D f3;
  f3.shadow().setStyle(text3d::ShadowStyle::Diffuse);
  f3.border().setHeight(2);
  f3.shadow().setColor(0x80);
  text3d::Font font = text3d::makeFont("Arial", 21, text3d::kBold);
  EXPECT_EQ(box, raster::Rect::fromSize(-7, 12, text3d::textWidth3D(font, f3, "Banner", *cache),
                                        text3d::textHeight3D(font, f3, "Banner", *cache)));
}

TEST(TextLayerRenderer, PaintsOnlyInsideTheBoxAndFollowsTheTexture) {
  auto cache = text3d::testing::memoryOnlyCache();
  TextLayerRenderer renderer(96, *cache);
  model::FrameRecord r = textRecord();
  FastBitmap tex(2, 1);
  tex.setPixel(0, 0, rgb(0, 255, 0));
  tex.setPixel(1, 0, rgb(0, 0, 255));
  TextLayerRequest req{&r, 2, 26, &tex};
  raster::Rect box = renderer.bounds(req);
  FastBitmap bmp(468, 60);
  bmp.fill(rgb(255, 255, 255));
  raster::Canvas canvas(bmp);
  renderer.paint(canvas, req);
  int textured = 0, red = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) {
      Color c = bmp.pixel(x, y);
      if (c == rgb(255, 255, 255)) continue;
      EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
      textured += c == rgb(0, 255, 0) || c == rgb(0, 0, 255);
      red += c == rgb(220, 20, 20);
    }
  EXPECT_GT(textured, 100);
  EXPECT_EQ(red, 0);
  EXPECT_TRUE(renderer.layer(2).font3D().bitmap() == tex);

  // Without a texture the front colour comes back.
  req.texture = nullptr;
  bmp.fill(rgb(255, 255, 255));
  renderer.paint(canvas, req);
  EXPECT_TRUE(renderer.layer(2).font3D().bitmap().empty());
  int front = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) front += bmp.pixel(x, y) == rgb(220, 20, 20);
  EXPECT_GT(front, 100);
}

}  // namespace
}  // namespace zefra::render
