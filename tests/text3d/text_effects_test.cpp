#include <gtest/gtest.h>

#include "text3d/text_effects.h"

namespace zefra::text3d {
namespace {

using raster::FastBitmap;

// A mask bitmap with the same (shadow, border, front) coverage everywhere.
FastBitmap uniformMasks(int w, int h, std::uint8_t s, std::uint8_t g, std::uint8_t r) {
  FastBitmap m(w, h);
  m.fill(rgb(r, g, s));  // stored blue, green, red = shadow, border, front
  return m;
}

TEST(ShadowArithmetic, DarknessScalesTheBackground) {
  EXPECT_EQ(shadowChannel(200, 255, 0), 200);    // D = 0 changes nothing
  EXPECT_EQ(shadowChannel(200, 100, 0), 200);    // (200*100*255/255 + 200*155)/255 = 200
  EXPECT_EQ(shadowChannel(255, 255, 255), 0);    // full shadow, full darkness: black
  EXPECT_EQ(shadowChannel(200, 255, 128), 99);   // 200 * 127 / 255 = 99.6
  // The diffuse core (s = 200) keeps part of the background:
  // (200*200*127 div 255 + 200*55) div 255 = (19921 + 11000) div 255 = 121.
  EXPECT_EQ(shadowChannel(200, 200, 128), 121);
}

TEST(ShadowArithmetic, OnlyPixelsUnderTheShadowChange) {
  FastBitmap out(3, 1);
  out.fill(rgb(100, 150, 200));
  FastBitmap masks(3, 1);
  masks.setPixel(1, 0, rgb(0, 0, 255));
  applyShadow(out, masks, 3, 1, 255);
  EXPECT_EQ(out.pixel(0, 0), rgb(100, 150, 200));
  EXPECT_EQ(out.pixel(1, 0), rgb(0, 0, 0));
  EXPECT_EQ(out.pixel(2, 0), rgb(100, 150, 200));
}

TEST(FaceArithmetic, FullCoverageTakesTheColourPartialBlends) {
  EXPECT_EQ(faceChannel(17, 255, 0, 99, 5), 99);   // r = 255: exactly F
  EXPECT_EQ(faceChannel(17, 0, 255, 99, 5), 5);    // g = 255: exactly E
  EXPECT_EQ(faceChannel(255, 128, 0, 0, 0), 127);  // (127*255 + 128*0) div 255
  EXPECT_EQ(faceChannel(0, 100, 100, 255, 255), 200);
  EXPECT_EQ(faceChannel(90, 0, 0, 255, 255), 90);
}

TEST(FaceArithmetic, CoveragesAddingPastFullSaturateInsteadOfWrapping) {
  // A later character's border over an earlier character's partial front: r + g > 255.
  EXPECT_EQ(faceChannel(0, 200, 100, 255, 255), 255);
  EXPECT_EQ(faceChannel(0, 254, 254, 255, 128), 255);  // 254 + 127 would wrap to 125
  EXPECT_EQ(faceChannel(90, 200, 100, 100, 10), (200 * 100 + 100 * 10) / 255);  // no background
}

TEST(FaceArithmetic, EffectColourDividesRoundsHalfToEvenAndLimits) {
  EXPECT_EQ(effectChannel(200, 2.0), 100);
  EXPECT_EQ(effectChannel(5, 2.0), 2);    // 2.5 -> 2
  EXPECT_EQ(effectChannel(7, 2.0), 4);    // 3.5 -> 4
  EXPECT_EQ(effectChannel(200, 0.5), 255);
}

TEST(FaceEffects, PlainColoursAndUntouchedPixels) {
  Font3DSettings s;
  s.frontColor = rgb(10, 20, 30);
  s.borderColor = rgb(40, 50, 60);
  FastBitmap out(3, 1);
  out.fill(rgb(255, 255, 255));
  FastBitmap masks(3, 1);
  masks.setPixel(0, 0, rgb(255, 0, 0));   // front only
  masks.setPixel(1, 0, rgb(0, 255, 77));  // border only (shadow byte ignored here)
  applyFaces(out, masks, 3, 1, s, s.frontColor, s.borderColor, FastBitmap());
  EXPECT_EQ(out.pixel(0, 0), rgb(10, 20, 30));
  EXPECT_EQ(out.pixel(1, 0), rgb(40, 50, 60));
  EXPECT_EQ(out.pixel(2, 0), rgb(255, 255, 255));
}

TEST(FaceEffects, TextureTilesFromTheStringsTopLeft) {
  FastBitmap tex(2, 2);
  tex.setPixel(0, 0, rgb(1, 0, 0));
  tex.setPixel(1, 0, rgb(2, 0, 0));
  tex.setPixel(0, 1, rgb(3, 0, 0));
  tex.setPixel(1, 1, rgb(4, 0, 0));
  Font3DSettings s;
  s.gradientActive = true;  // ignored while a texture is present
  s.gradientBeginColor = rgb(200, 200, 200);
  FastBitmap out(5, 3);
  FastBitmap masks = uniformMasks(5, 3, 0, 0, 255);
  applyFaces(out, masks, 5, 3, s, 0, 0, tex);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(out.pixel(x, y), tex.pixel(x % 2, y % 2)) << x << "," << y;
}

TEST(FaceEffects, TextureEffectColourDarkensTheBorder) {
  FastBitmap tex(1, 1);
  tex.setPixel(0, 0, rgb(200, 101, 7));
  Font3DSettings s;
  s.borderEffectColor = 2.0;
  FastBitmap out(1, 1);
  FastBitmap masks = uniformMasks(1, 1, 0, 255, 0);
  applyFaces(out, masks, 1, 1, s, 0, rgb(9, 9, 9), tex);
  EXPECT_EQ(out.pixel(0, 0), rgb(100, 50, 4));  // 50.5 -> 50, 3.5 -> 4
  // Without an effect divisor the border keeps its own colour.
  s.borderEffectColor = -1;
  applyFaces(out, masks, 1, 1, s, 0, rgb(9, 9, 9), tex);
  EXPECT_EQ(out.pixel(0, 0), rgb(9, 9, 9));
}

TEST(FaceEffects, GradientsSpanTheAreaInBothKinds) {
  Font3DSettings s;
  s.gradientActive = true;
  s.gradientBeginColor = rgb(0, 0, 0);
  s.gradientEndColor = rgb(255, 255, 255);
  s.gradientKind = GradientKind::Horizontal;
  FastBitmap masks = uniformMasks(5, 2, 0, 0, 255);
  FastBitmap out(5, 2);
  applyFaces(out, masks, 5, 2, s, 0, 0, FastBitmap());
  // round(p / 4 * 255): 0, 63.75, 127.5 (to even: 128), 191.25, 255.
  const int expected[5] = {0, 64, 128, 191, 255};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(out.pixel(x, 0), rgb(expected[x], expected[x], expected[x])) << x;
    EXPECT_EQ(out.pixel(x, 1), out.pixel(x, 0));
  }
  s.gradientKind = GradientKind::Vertical;
  FastBitmap tall(2, 5);
  applyFaces(tall, uniformMasks(2, 5, 0, 0, 255), 2, 5, s, 0, 0, FastBitmap());
  for (int y = 0; y < 5; ++y) EXPECT_EQ(redOf(tall.pixel(1, y)), expected[y]) << y;
}

TEST(FaceEffects, GradientWithEqualEndsIsOneColour) {
  Font3DSettings s;
  s.gradientActive = true;
  s.gradientBeginColor = s.gradientEndColor = rgb(12, 34, 56);
  FastBitmap out(7, 4);
  applyFaces(out, uniformMasks(7, 4, 0, 0, 255), 7, 4, s, rgb(1, 1, 1), 0, FastBitmap());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(out.pixel(x, y), rgb(12, 34, 56));
}

}  // namespace
}  // namespace zefra::text3d
