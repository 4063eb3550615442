#include <gtest/gtest.h>

#include "raster/canvas.h"
#include "text3d/accelerator.h"
#include "text3d/text_drawing.h"
#include "text3d/text_layer_3d.h"
#include "text3d_test_support.h"

namespace zefra::text3d {
namespace {

using raster::FastBitmap;
using testing::memoryOnlyCache;

constexpr Color kPaper = rgb(255, 255, 255);

void look(Font3D& f3) {
  f3.shadow().setStyle(ShadowStyle::Diffuse);
  f3.border().setHeight(2);
  f3.setFrontColor(rgb(0, 0, 200));
  f3.border().setColor(rgb(0, 100, 0));
}

int changedPixels(const FastBitmap& a, const FastBitmap& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

TEST(TextMetrics, WidthSumsGlyphsLessOverlapsHeightIsTheCell) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 22);
  Font3D f3;
  look(f3);
  f3.setCharacterMargin(3);
  int slot = cache->findOrMake(font, f3);
  int wa = cache->glyph(slot, 'a', f3).width;
  int wb = cache->glyph(slot, 'b', f3).width;
  int overlap = f3.glyphOverlap();
  EXPECT_LT(overlap, 0);
  EXPECT_EQ(textWidth3D(font, f3, "ab", *cache), wa + 3 + wb + 3 + overlap);
  EXPECT_EQ(textWidth3D(font, f3, "a", *cache), wa + 3);
  EXPECT_EQ(textHeight3D(font, f3, "ab", *cache), cache->glyph(slot, 'a', f3).height);
}

TEST(TextMetrics, EmptyCaptionHasNoWidthTheHeightOfXAndDrawsNothing) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 22);
  Font3D f3;
  look(f3);
  EXPECT_EQ(textWidth3D(font, f3, "", *cache), 0);
  EXPECT_EQ(textHeight3D(font, f3, "", *cache), textHeight3D(font, f3, "X", *cache));
  FastBitmap bmp(50, 50);
  bmp.fill(kPaper);
  FastBitmap before = bmp;
  raster::Canvas canvas(bmp);
  textOut3D(canvas, 5, 5, TextAlignment::Left, font, f3, "", std::nullopt, *cache);
  EXPECT_TRUE(bmp == before);
}

TEST(TextOut, PaintsFrontBorderAndShadowInsideTheTextBox) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 26);
  Font3D f3;
  look(f3);
  f3.shadow().setColor(255);
  FastBitmap bmp(300, 80);
  bmp.fill(kPaper);
  FastBitmap before = bmp;
  raster::Canvas canvas(bmp);
  textOut3D(canvas, 10, 7, TextAlignment::Left, font, f3, "HIH", std::nullopt, *cache);
  int w = textWidth3D(font, f3, "HIH", *cache);
  int h = textHeight3D(font, f3, "HIH", *cache);
  int front = 0, border = 0, dark = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) {
      Color c = bmp.pixel(x, y);
      if (c == before.pixel(x, y)) continue;
      EXPECT_TRUE(x >= 10 && x < 10 + w && y >= 7 && y < 7 + h) << x << "," << y;
      front += c == rgb(0, 0, 200);
      border += c == rgb(0, 100, 0);
      dark += redOf(c) == greenOf(c) && greenOf(c) == blueOf(c) && redOf(c) < 255;
    }
  EXPECT_GT(front, 100);
  EXPECT_GT(border, 50);
  EXPECT_GT(dark, 50);  // grey shadow on white paper
}

TEST(TextOut, ShadowDarknessZeroLeavesTheBackground) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 26);
  Font3D f3;
  look(f3);
  f3.shadow().setColor(0);
  FastBitmap bmp(200, 60);
  bmp.fill(kPaper);
  raster::Canvas canvas(bmp);
  textOut3D(canvas, 0, 0, TextAlignment::Left, font, f3, "W", std::nullopt, *cache);
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) {
      Color c = bmp.pixel(x, y);
      // Only front, border and their blends with white appear: no grey.
      if (c != kPaper) {
        EXPECT_FALSE(redOf(c) == greenOf(c) && greenOf(c) == blueOf(c)) << x << "," << y;
      }
    }
}

TEST(TextOut, AlignmentShiftsAndBrushFills) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 18);
  Font3D f3;
  look(f3);
  FastBitmap left(200, 50), right(200, 50);
  left.fill(kPaper);
  right.fill(kPaper);
  raster::Canvas lc(left), rc(right);
  int w = textWidth3D(font, f3, "Ok", *cache);
  textOut3D(lc, 20, 5, TextAlignment::Left, font, f3, "Ok", std::nullopt, *cache);
  textOut3D(rc, 20 + w, 5, TextAlignment::Right, font, f3, "Ok", std::nullopt, *cache);
  EXPECT_TRUE(left == right);

  FastBitmap filled(200, 50);
  filled.fill(kPaper);
  raster::Canvas fc(filled);
  textOut3D(fc, 20, 5, TextAlignment::Left, font, f3, "Ok", rgb(1, 2, 3), *cache);
  EXPECT_EQ(filled.pixel(20, 5), rgb(1, 2, 3));  // the cell corner is uncovered
  EXPECT_EQ(filled.pixel(19, 5), kPaper);
}

TEST(TextOut, ClipsAtTheCanvasEdges) {
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 30);
  Font3D f3;
  look(f3);
  FastBitmap whole(400, 100), clipped(40, 30);
  whole.fill(kPaper);
  clipped.fill(kPaper);
  raster::Canvas wc(whole), cc(clipped);
  textOut3D(wc, 100, 50, TextAlignment::Left, font, f3, "Mg", std::nullopt, *cache);
  textOut3D(cc, -10, -20, TextAlignment::Left, font, f3, "Mg", std::nullopt, *cache);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(clipped.pixel(x, y), whole.pixel(110 + x, 70 + y)) << x << "," << y;
}

// White front and white border: a pixel whose front and border coverage together reach
// full coverage shows no background, so it comes out the same on black and on white paper
// and must be white. Where a later character's border overlaps an earlier character's
// partly covered front the two coverages add past 255; a blend that wraps around instead
// of saturating shows there as a dark speck inside the letters.
int specksOnWhiteOnBlack(GlyphCache& cache, int borderWidth) {
  Font font = makeFont("Arial", 26);
  Font3D f3;
  f3.shadow().setStyle(ShadowStyle::Diffuse);
  f3.shadow().setColor(0);
  f3.border().setHeight(borderWidth);
  f3.setFrontColor(rgb(255, 255, 255));
  f3.border().setColor(rgb(255, 255, 255));
  const std::string text = "Zefra makes GIF banners";
  FastBitmap onBlack(900, 80), onWhite(900, 80);
  onBlack.fill(rgb(0, 0, 0));
  onWhite.fill(kPaper);
  raster::Canvas black(onBlack), white(onWhite);
  textOut3D(black, 4, 4, TextAlignment::Left, font, f3, text, std::nullopt, cache);
  textOut3D(white, 4, 4, TextAlignment::Left, font, f3, text, std::nullopt, cache);
  int specks = 0;
  for (int y = 0; y < onBlack.height(); ++y)
    for (int x = 0; x < onBlack.width(); ++x) {
      const Color c = onBlack.pixel(x, y);
      if (c == onWhite.pixel(x, y) && c != kPaper) ++specks;
    }
  return specks;
}

TEST(TextOut, ThickBordersLeaveNoSpecksWhereCharactersOverlap) {
  auto cache = memoryOnlyCache();
  for (int border : {1, 2, 4, 8}) EXPECT_EQ(specksOnWhiteOnBlack(*cache, border), 0) << "border " << border;
}

TEST(Accelerators, MarksAreResolved) {
  auto ab = parseAccelerators("A&B");
  ASSERT_EQ(ab.size(), 2u);
  EXPECT_EQ(ab[0].ch, 'A');
  EXPECT_FALSE(ab[0].underlined);
  EXPECT_EQ(ab[1].ch, 'B');
  EXPECT_TRUE(ab[1].underlined);
  EXPECT_EQ(stripAccelerators("A&&B"), "A&B");
  for (const CaptionChar& c : parseAccelerators("A&&B")) EXPECT_FALSE(c.underlined);
  EXPECT_EQ(stripAccelerators("Tom & Jerry&"), "Tom  Jerry");
}

// Draws `caption` through a text object at (x, y) on white paper.
FastBitmap paintLayer(GlyphCache& cache, const std::string& caption, int x, int y) {
  FastBitmap bmp(300, 70);
  bmp.fill(kPaper);
  raster::Canvas canvas(bmp);
  TextLayer3D layer(cache);
  look(layer.font3D());
  layer.setTransparent(true);
  layer.setFont(makeFont("Arial", 24));
  layer.setCaption(caption);
  layer.setPosition(x, y);
  layer.paint(canvas);
  return bmp;
}

// What a caption with marks must show at (x, y): each shown character drawn on its own at
// the running position, the marked one underlined, with nothing cut off.
FastBitmap drawnCharByChar(GlyphCache& cache, const std::string& caption, int x, int y) {
  Font font = makeFont("Arial", 24);
  Font underlined = font;
  underlined.style = kUnderline;
  Font3D f3;
  look(f3);
  FastBitmap expected(300, 70);
  expected.fill(kPaper);
  raster::Canvas whole(expected);
  for (const CaptionChar& c : parseAccelerators(caption)) {
    const Font& f = c.underlined ? underlined : font;
    const std::string one(1, c.ch);
    textOut3D(whole, x, y, TextAlignment::Left, f, f3, one, std::nullopt, cache);
    x += textWidth3D(f, f3, one, cache);
  }
  return expected;
}

TEST(TextLayer, AcceleratorCaptionsDrawCharacterByCharacter) {
  auto cache = memoryOnlyCache();
  // A&B: A, then an underlined B one A-width further.
  FastBitmap got = paintLayer(*cache, "A&B", 5, 4);
  EXPECT_TRUE(got == drawnCharByChar(*cache, "A&B", 5, 4));
  EXPECT_GT(changedPixels(got, paintLayer(*cache, "AB", 5, 4)), 20);  // the underline shows
  // A&&B draws A, &, B with no underline.
  EXPECT_TRUE(paintLayer(*cache, "A&&B", 5, 4) == drawnCharByChar(*cache, "A&&B", 5, 4));
}

TEST(TextLayer, CaptionsWithMarksAreSizedToWhatIsPainted) {
  // Character by character, each advances by its whole cell; the overlapped width of the
  // caption without marks is narrower and used to cut the last letters off.
  auto cache = memoryOnlyCache();
  Font font = makeFont("Arial", 24);
  Font3D f3;
  look(f3);
  for (const std::string caption : {"Tom & Jerry", "A&&B", "Sale&s", "&x&&&"}) {
    TextLayer3D layer(*cache);
    look(layer.font3D());
    layer.setFont(font);
    layer.setCaption(caption);
    layer.setPosition(5, 4);
    int painted = 0;
    for (const CaptionChar& c : parseAccelerators(caption)) painted += textWidth3D(font, f3, std::string(1, c.ch), *cache);
    EXPECT_EQ(layer.bounds(), raster::Rect::fromSize(5, 4, painted, textHeight3D(font, f3, caption, *cache))) << caption;
    EXPECT_TRUE(paintLayer(*cache, caption, 5, 4) == drawnCharByChar(*cache, caption, 5, 4)) << caption;
  }
}

TEST(TextLayer, AutoSizeWithoutMarksTakesTheTextsSize) {
  auto cache = memoryOnlyCache();
  TextLayer3D layer(*cache);
  look(layer.font3D());
  layer.setFont(makeFont("Arial", 20));
  layer.setCaption("Sales");
  layer.setPosition(12, 34);
  Font3D f3;
  look(f3);
  raster::Rect r = layer.bounds();
  EXPECT_EQ(r, raster::Rect::fromSize(12, 34, textWidth3D(makeFont("Arial", 20), f3, "Sales", *cache),
                                      textHeight3D(makeFont("Arial", 20), f3, "Sales", *cache)));
  // With the marks switched off an "&" is an ordinary character of the string.
  layer.setCaption("Sale&s");
  layer.setShowAccelChar(false);
  EXPECT_EQ(layer.bounds().width(), textWidth3D(makeFont("Arial", 20), f3, "Sale&s", *cache));
}

TEST(TextLayer, SettersNotifyOnlyOnChange) {
  auto cache = memoryOnlyCache();
  TextLayer3D layer(*cache);
  FastBitmap bmp(10, 10);
  raster::Canvas canvas(bmp);
  layer.paint(canvas);
  EXPECT_FALSE(layer.needsRepaint());
  layer.font3D().setAltitude(3.0);  // the default: no change
  layer.font3D().border().setHeight(1.0);
  layer.font3D().shadow().setColor(32);
  layer.setCaption("");
  EXPECT_FALSE(layer.needsRepaint());
  layer.font3D().gradient().setEndColor(0);
  EXPECT_TRUE(layer.needsRepaint());
  layer.paint(canvas);
  layer.font3D().setBitmap(layer.font3D().bitmap());  // a texture always notifies
  EXPECT_TRUE(layer.needsRepaint());
  EXPECT_TRUE(layer.font3D().antialiasing());
  EXPECT_EQ(layer.font().name, "Arial");
}

}  // namespace
}  // namespace zefra::text3d
