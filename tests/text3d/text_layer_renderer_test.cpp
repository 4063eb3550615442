#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/label_project.h"

#include "raster/canvas.h"
#include "render/frame_canvas.h"
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

namespace zefra::render {
namespace {

// A slot whose text is empty is not drawn, whatever its font, colours and place say;
// the first character makes it appear with exactly those settings, and emptying the text
// again takes it away.
TEST(TextLayerRenderer, EmptySlotAppearsWithItsSettingsOnceItGetsOneCharacter) {
  auto cache = text3d::testing::memoryOnlyCache();
  TextLayerRenderer renderer(96, *cache);
  FrameCanvas canvas({"", 96, 96});
  canvas.setTextLayerPainter(&renderer);
  model::FrameRecord r = model::newFrameRecord(96);
  FrameCanvas blank({"", 96, 96});
  blank.draw(r);

  constexpr int kSlot = 4;
  const std::size_t i = kSlot - 1;
  r.text[i].clear();
  r.fontName[i].assign("Arial");
  r.fontSize[i] = 30;
  r.fontColor[i] = rgb(230, 30, 200);
  r.textGradientOn[i] = 0;
  r.text3DColor[i] = rgb(20, 90, 20);
  r.textBorderWidth[i] = 3;
  r.textX[i] = 120;
  r.textY[i] = 6;
  ASSERT_TRUE(canvas.draw(r).ok());
  EXPECT_TRUE(canvas.bitmap() == blank.bitmap());
  for (const CanvasObject& o : canvas.objects()) EXPECT_NE(o.kind, CanvasObjectKind::Text);

  r.text[i].assign("W");
  ASSERT_TRUE(canvas.draw(r).ok());
  const std::vector<CanvasObject> objects = canvas.objects();
  const auto text = std::find_if(objects.begin(), objects.end(), [](const CanvasObject& o) { return o.kind == CanvasObjectKind::Text; });
  ASSERT_NE(text, objects.end());
  EXPECT_EQ(text->slot, kSlot);
  text3d::Font3D f3;
  f3.shadow().setStyle(text3d::ShadowStyle::Diffuse);
  f3.border().setHeight(3);
  const text3d::Font font = text3d::makeFont("Arial", 30);
  EXPECT_EQ(text->bounds, raster::Rect::fromSize(120, 6, text3d::textWidth3D(font, f3, "W", *cache),
                                                 text3d::textHeight3D(font, f3, "W", *cache)));
  // The letter shows in its colours, inside its box only.
  int front = 0, border = 0;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const Color c = canvas.bitmap().pixel(x, y);
      if (c == blank.bitmap().pixel(x, y)) continue;
      EXPECT_TRUE(text->bounds.contains(x, y)) << x << "," << y;
      front += c == rgb(230, 30, 200);
      border += c == rgb(20, 90, 20);
    }
  EXPECT_GT(front, 40);
  EXPECT_GT(border, 20);
  // A canvas that never saw the empty slot draws the same.
  TextLayerRenderer freshRenderer(96, *cache);
  FrameCanvas fresh({"", 96, 96});
  fresh.setTextLayerPainter(&freshRenderer);
  fresh.draw(r);
  EXPECT_TRUE(canvas.bitmap() == fresh.bitmap());

  r.text[i].clear();
  canvas.draw(r);
  EXPECT_TRUE(canvas.bitmap() == blank.bitmap());
}

}  // namespace
}  // namespace zefra::render
