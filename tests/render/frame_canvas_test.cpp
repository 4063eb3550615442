// The frame compositor: layers configured from a record, the drawing order, the border
// band, pictures with the file-name rule and their caches, failures that do not stop the
// layout, the text seam and hit-testing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "io/bmp_test_bytes.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"
#include "raster/canvas.h"
#include "render/bevel_frame.h"
#include "render/frame_canvas.h"
#include "render/gradient_fill.h"

using namespace zefra;
using namespace zefra::render;
using zefra::raster::FastBitmap;
using zefra::raster::Rect;

namespace fs = std::filesystem;

namespace {

constexpr Color kFrame = rgb(136, 136, 136);
constexpr Color kPen = rgb(0, 0, 255);
constexpr Color kFill = rgb(255, 255, 255);

Color picturePixel(int x, int y) { return rgb(static_cast<std::uint8_t>(40 + x), static_cast<std::uint8_t>(90 + y), 7); }

class FrameCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
  }

  std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  std::string writePicture(const std::string& name, int w, int h) {
    return writeFile(name, bmptest::makeBmp24(w, h, picturePixel));
  }
  void setShape(int slot, int style, int x, int y, int w, int h, Color fill, int pen = 1, Color penColor = kPen) {
    const int i = slot - 1;
    record->shapeStyle[i] = static_cast<std::uint8_t>(style);
    record->shapeX[i] = static_cast<std::int16_t>(x);
    record->shapeY[i] = static_cast<std::int16_t>(y);
    record->shapeWidth[i] = static_cast<std::int16_t>(w);
    record->shapeHeight[i] = static_cast<std::int16_t>(h);
    record->shapeFillColor[i] = fill;
    record->shapeBorderWidth[i] = static_cast<std::uint8_t>(pen);
    record->shapeBorderColor[i] = penColor;
  }
  void setPicture(int slot, const std::string& file, int x, int y) {
    record->pictureFile[slot - 1].assign(file);
    record->pictureX[slot - 1] = static_cast<std::int16_t>(x);
    record->pictureY[slot - 1] = static_cast<std::int16_t>(y);
  }
  void setBorders(int inner, int outer, int bevel, int border) {
    record->bordersOn = 1;
    record->borderInnerStyle = static_cast<std::uint8_t>(inner);
    record->borderOuterStyle = static_cast<std::uint8_t>(outer);
    record->bevelWidth = static_cast<std::uint8_t>(bevel);
    record->borderWidth = static_cast<std::uint8_t>(border);
  }

  zefra::testing::TempDir temp;  // a folder of its own, not a name other test runs share
  fs::path dir = temp.path;
  std::unique_ptr<model::FrameRecord> record;
  FrameCanvas canvas;
};

int countColour(const FastBitmap& b, Color c) {
  int n = 0;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == c;
  return n;
}

// A stand-in text renderer: a text's box is 30 x 10 at (textX, textY), painted in its
// fontColor; every call is recorded.
class RecordingTextPainter : public TextLayerPainter {
 public:
  struct Call {
    int slot;
    int pointSize;
    const FastBitmap* texture;
  };
  Rect bounds(const TextLayerRequest& r) override {
    boundsCalls.push_back({r.slot, r.pointSize, r.texture});
    return Rect::fromSize(r.record->textX[r.slot - 1], r.record->textY[r.slot - 1], 30, 10);
  }
  void paint(raster::Canvas& canvas, const TextLayerRequest& r) override {
    paintCalls.push_back({r.slot, r.pointSize, r.texture});
    canvas.fillRect(Rect::fromSize(r.record->textX[r.slot - 1], r.record->textY[r.slot - 1], 30, 10),
                    r.record->fontColor[r.slot - 1]);
  }
  std::vector<Call> boundsCalls;
  std::vector<Call> paintCalls;
};

}  // namespace

TEST_F(FrameCanvasTest, GradientOffShowsFrameColourWhateverTheStyle) {
  record->gradientStyle = 8;
  record->gradientOn = 0;
  EXPECT_TRUE(canvas.draw(*record).ok());
  ASSERT_EQ(canvas.width(), 468);
  ASSERT_EQ(canvas.height(), 60);
  EXPECT_EQ(countColour(canvas.bitmap(), kFrame), 468 * 60);
  EXPECT_EQ(canvas.workAreaColor(), rgb(0, 170, 170));
}

TEST_F(FrameCanvasTest, GradientOnCoversTheCanvasWithTheMappedStyle) {
  record->gradientOn = 1;
  record->gradientStyle = 2;  // "Bottom-Left Corner"
  canvas.draw(*record);
  GradientFill expected;
  expected.setStyle(GradientStyle::CornerBottomLeft);
  expected.setStartColor(record->gradientColor1);
  expected.setEndColor(record->gradientColor2);
  FastBitmap direct(468, 60);
  expected.render(direct);
  EXPECT_TRUE(canvas.bitmap() == direct);
  EXPECT_EQ(gradientStyleFor(0), GradientStyle::Horizontal);
  EXPECT_EQ(gradientStyleFor(1), GradientStyle::Vertical);
  EXPECT_EQ(gradientStyleFor(5), GradientStyle::CornerTopRight);
  EXPECT_EQ(gradientStyleFor(7), GradientStyle::DiagonalRising);
  EXPECT_EQ(gradientStyleFor(8), GradientStyle::Pyramid);
}

TEST_F(FrameCanvasTest, ShapesFillTheirBoundsWithPenAndBrush) {
  setShape(1, 1, 10, 5, 40, 20, kFill, 1);
  setShape(2, 1, 100, 5, 40, 20, kFill, 3);
  setShape(3, 2, 200, 5, 40, 20, kFill, 1);
  canvas.draw(*record);
  const FastBitmap& b = canvas.bitmap();
  // Pen 1: outline on the bounds' edge pixels, brush inside, nothing outside.
  EXPECT_EQ(b.pixel(10, 5), kPen);
  EXPECT_EQ(b.pixel(49, 24), kPen);
  EXPECT_EQ(b.pixel(11, 6), kFill);
  EXPECT_EQ(b.pixel(50, 24), kFrame);
  EXPECT_EQ(b.pixel(10, 25), kFrame);
  // Pen 3: the figure still covers exactly the bounds, with a 3-pixel outline.
  EXPECT_EQ(b.pixel(100, 5), kPen);
  EXPECT_EQ(b.pixel(102, 7), kPen);
  EXPECT_EQ(b.pixel(103, 8), kFill);
  EXPECT_EQ(b.pixel(139, 24), kPen);
  EXPECT_EQ(b.pixel(137, 22), kPen);
  EXPECT_EQ(b.pixel(136, 21), kFill);
  EXPECT_EQ(b.pixel(140, 24), kFrame);
  EXPECT_EQ(b.pixel(99, 4), kFrame);
  // Rounded (s = 20, corner ellipse 5 x 5): the corner pixel stays clear, edges drawn.
  EXPECT_EQ(b.pixel(200, 5), kFrame);
  EXPECT_EQ(b.pixel(220, 5), kPen);
  EXPECT_EQ(b.pixel(220, 15), kFill);
  const ShapeGeometry g = shapeGeometry(40, 20, 3);
  EXPECT_EQ(g.figure, Rect::fromSize(1, 1, 38, 18));
  EXPECT_EQ(g.cornerSize, 18 / 4);
  EXPECT_EQ(shapeGeometry(40, 20, 0).figure, Rect::fromSize(0, 0, 40, 20));
}

TEST_F(FrameCanvasTest, HiddenShapeKeepsItsValuesAndReappears) {
  setShape(1, 0, 10, 10, 20, 20, kFill);
  canvas.draw(*record);
  EXPECT_EQ(countColour(canvas.bitmap(), kFill), 0);
  EXPECT_TRUE(canvas.objects().empty());
  record->shapeStyle[0] = 1;
  canvas.draw(*record);
  EXPECT_EQ(countColour(canvas.bitmap(), kFill), 18 * 18);
}

TEST_F(FrameCanvasTest, ObjectsPartlyOutsideAreClipped) {
  setShape(1, 1, -10, -10, 20, 20, kFill);
  setShape(2, 1, 460, 50, 40, 40, kFill);
  setPicture(1, writePicture("edge.bmp", 8, 8), -4, 56);
  canvas.draw(*record);
  const FastBitmap& b = canvas.bitmap();
  EXPECT_EQ(b.pixel(0, 0), kFill);
  EXPECT_EQ(b.pixel(9, 9), kPen);
  EXPECT_EQ(b.pixel(460, 50), kPen);
  EXPECT_EQ(b.pixel(467, 59), kFill);
  EXPECT_EQ(b.pixel(0, 56), picturePixel(4, 0));
  EXPECT_EQ(b.pixel(3, 59), picturePixel(7, 3));
}

TEST_F(FrameCanvasTest, BmpPictureAtNaturalSizeReadOnceWhileItsNameStays) {
  const std::string file = writePicture("pic.bmp", 5, 4);
  setPicture(1, file, 20, 10);
  EXPECT_TRUE(canvas.draw(*record).ok());
  const FastBitmap& b = canvas.bitmap();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(b.pixel(20 + x, 10 + y), picturePixel(x, y));
  EXPECT_EQ(b.pixel(25, 10), kFrame);
  EXPECT_EQ(b.pixel(20, 14), kFrame);
  EXPECT_EQ(canvas.loadedPictureFile(1), file);
  EXPECT_EQ(canvas.fileReads(), 1);
  // Another frame with the same file (elsewhere): no new read.
  auto other = std::make_unique<model::FrameRecord>(*record);
  other->pictureX[0] = 0;
  canvas.draw(*other);
  canvas.draw(*record);
  EXPECT_EQ(canvas.fileReads(), 1);
  EXPECT_EQ(canvas.bitmap().pixel(20, 10), picturePixel(0, 0));
  // The same file under another slot is that slot's own read.
  setPicture(2, file, 0, 0);
  canvas.draw(*record);
  EXPECT_EQ(canvas.fileReads(), 2);
  // After an outside edit the slot is told to reload.
  canvas.reloadPicture(1);
  canvas.draw(*record);
  EXPECT_EQ(canvas.fileReads(), 3);
}

TEST_F(FrameCanvasTest, MissingPictureIsHiddenAndTheSlotKeepsItsLastFile) {
  const std::string file = writePicture("there.bmp", 3, 3);
  setPicture(1, file, 0, 0);
  canvas.draw(*record);
  setPicture(1, (dir / "gone.bmp").string(), 0, 0);
  // A missing file is skipped and named in the report, so callers can say which one.
  const render::LayoutReport missing = canvas.draw(*record);
  ASSERT_EQ(missing.failures.size(), 1u);
  EXPECT_EQ(missing.failures[0].file, (dir / "gone.bmp").string());
  EXPECT_EQ(missing.failures[0].message, "file not found");
  EXPECT_EQ(countColour(canvas.bitmap(), kFrame), 468 * 60);
  EXPECT_EQ(canvas.loadedPictureFile(1), file);
  EXPECT_EQ(record->pictureFile[0].str(), (dir / "gone.bmp").string());
  // Going back to the loaded file shows it again without reading it.
  setPicture(1, file, 0, 0);
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(0, 0), picturePixel(0, 0));
  EXPECT_EQ(canvas.fileReads(), 1);
  // A folder is not a picture file.
  setPicture(1, dir.string(), 0, 0);
  const render::LayoutReport folder = canvas.draw(*record);
  ASSERT_EQ(folder.failures.size(), 1u);
  EXPECT_EQ(folder.failures[0].message, "not a regular file");
  EXPECT_EQ(countColour(canvas.bitmap(), kFrame), 468 * 60);
}

TEST_F(FrameCanvasTest, RelativeNameFoundUnderAppDirIsDrawnAndTheRecordKeepsIt) {
  const std::string name = "zefra_only_under_appdir_4711.bmp";
  ASSERT_FALSE(fs::exists(name));
  writePicture(name, 2, 2);
  const std::string appDir = dir.string() + "/";
  canvas.setSettings({appDir, 96, 96, {}});
  setPicture(3, name, 1, 1);
  record->textureFile[0].assign("also_relative.bmp");  // resolves to nothing
  const model::FrameRecord before = *record;
  const LayoutReport report = canvas.draw(*record);
  EXPECT_EQ(std::memcmp(&before, record.get(), sizeof before), 0);
  EXPECT_EQ(report.pictureFiles[2], appDir + name);
  EXPECT_EQ(report.textureFiles[0], "");
  EXPECT_EQ(canvas.loadedPictureFile(3), appDir + name);
  EXPECT_EQ(canvas.bitmap().pixel(1, 1), picturePixel(0, 0));
}

TEST_F(FrameCanvasTest, CompletedNameLongerThanARecordFieldIsUsed) {
  const std::string sub(120, 'd');
  fs::create_directories(dir / sub / sub);
  const std::string name = sub + "/" + sub + "/p.bmp";
  writePicture(name, 2, 2);
  const std::string appDir = dir.string() + "/";
  ASSERT_GT(appDir.size() + name.size(), 255u);
  canvas.setSettings({appDir, 96, 96, {}});
  setPicture(1, name, 0, 0);
  EXPECT_EQ(canvas.draw(*record).pictureFiles[0], appDir + name);
  EXPECT_EQ(record->pictureFile[0].str(), name);
  EXPECT_EQ(canvas.bitmap().pixel(0, 0), picturePixel(0, 0));
}

// Projects carry their pictures beside them: a relative name the program's folder does
// not resolve is looked up in the project's folder, for drawing only.
TEST_F(FrameCanvasTest, RelativeNamesAreFoundBesideTheProjectAfterTheProgramFolder) {
  fs::create_directories(dir / "project" / "pics");
  fs::create_directories(dir / "app" / "pics");
  const std::string besideProject = writePicture("project/pics/logo.bmp", 2, 2);
  writePicture("project/tex.bmp", 2, 2);
  const std::string underApp = writePicture("app/pics/shared.bmp", 2, 2);
  writePicture("project/pics/shared.bmp", 2, 2);
  canvas.setSettings({(dir / "app").string() + "/", 96, 96, (dir / "project").string()});
  setPicture(1, "pics/logo.bmp", 0, 0);
  setPicture(2, "pics/shared.bmp", 0, 0);
  setPicture(3, "missing.bmp", 0, 0);
  record->text[0].assign("A");
  record->textureFile[0].assign("tex.bmp");
  const model::FrameRecord before = *record;
  const LayoutReport report = canvas.draw(*record);
  EXPECT_EQ(report.pictureFiles[0], besideProject);
  EXPECT_EQ(report.pictureFiles[1], underApp);  // the program's folder comes first
  EXPECT_EQ(report.pictureFiles[2], "");
  EXPECT_EQ(report.textureFiles[0], (dir / "project" / "tex.bmp").string());
  EXPECT_EQ(std::memcmp(&before, record.get(), sizeof before), 0);

  // Without a project folder (a project never saved) only the first two places count.
  canvas.setSettings({(dir / "app").string() + "/", 96, 96, {}});
  EXPECT_EQ(canvas.draw(*record).pictureFiles[0], "");
}

TEST_F(FrameCanvasTest, UnreadablePictureIsReportedOnceAndTheRestIsDrawn) {
  const std::string good = writePicture("good.bmp", 4, 4);
  const std::string bad = writeFile("bad.bmp", {'B', 'M', 1, 2, 3});
  const std::string unknown = writeFile("pic.tga", {0, 0, 0});
  setPicture(1, good, 0, 0);
  setPicture(2, bad, 10, 0);
  setPicture(3, unknown, 20, 0);
  setShape(4, 1, 100, 10, 20, 20, kFill);
  setShape(10, 1, 200, 10, 20, 20, kFill);
  LayoutReport first = canvas.draw(*record);
  ASSERT_EQ(first.failures.size(), 2u);
  EXPECT_EQ(first.failures[0].slot, 2);
  EXPECT_EQ(first.failures[0].kind, CanvasObjectKind::Picture);
  EXPECT_EQ(first.failures[0].file, bad);
  EXPECT_FALSE(first.failures[0].message.empty());
  EXPECT_EQ(first.failures[1].slot, 3);
  EXPECT_EQ(canvas.bitmap().pixel(0, 0), picturePixel(0, 0));
  EXPECT_EQ(canvas.bitmap().pixel(10, 0), kFrame);
  EXPECT_EQ(canvas.bitmap().pixel(110, 20), kFill);
  EXPECT_EQ(canvas.bitmap().pixel(210, 20), kFill);
  EXPECT_EQ(canvas.loadedPictureFile(2), "");
  const int reads = canvas.fileReads();
  EXPECT_TRUE(canvas.draw(*record).ok());
  EXPECT_EQ(canvas.fileReads(), reads);
  // Once the file is fixed and the slot reloaded, the picture appears.
  writePicture("bad.bmp", 3, 3);
  canvas.reloadPicture(2);
  EXPECT_TRUE(canvas.draw(*record).ok());
  EXPECT_EQ(canvas.bitmap().pixel(10, 0), picturePixel(0, 0));
}

TEST_F(FrameCanvasTest, DrawingOrderWithinAndAcrossSlots) {
  constexpr Color kA = rgb(10, 200, 10);
  constexpr Color kB = rgb(200, 10, 10);
  setShape(1, 1, 0, 0, 100, 60, kA, 1, kA);
  setPicture(1, writePicture("p1.bmp", 10, 10), 5, 5);     // picture 1 above shape 1
  setShape(2, 1, 8, 8, 4, 4, kB, 1, kB);                      // shape 2 above picture 1
  setPicture(2, writePicture("p2.bmp", 2, 2), 0, 0);
  setShape(3, 1, 0, 0, 3, 3, kB, 1, kB);                      // shape 3 above picture 2
  canvas.draw(*record);
  const FastBitmap& b = canvas.bitmap();
  EXPECT_EQ(b.pixel(5, 5), picturePixel(0, 0));
  EXPECT_EQ(b.pixel(9, 9), kB);
  EXPECT_EQ(b.pixel(14, 14), picturePixel(9, 9));
  EXPECT_EQ(b.pixel(1, 1), kB);
  EXPECT_EQ(b.pixel(50, 30), kA);
  // Slot 10 lies above slot 9.
  setShape(9, 1, 300, 0, 20, 20, kA, 1, kA);
  setShape(10, 1, 310, 0, 20, 20, kB, 1, kB);
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(315, 10), kB);
}

TEST_F(FrameCanvasTest, BorderBandInsetRaisedWidth3Border4IsTenPixelsAboveEverything) {
  constexpr Color kUnder = rgb(1, 250, 1);
  setShape(1, 1, 0, 0, 468, 60, kUnder, 1, kUnder);
  setPicture(1, writePicture("corner.bmp", 30, 30), 0, 0);
  setBorders(1, 2, 3, 4);
  record->borderColor = rgb(136, 0, 0);
  record->highlightColor = rgb(216, 216, 216);
  record->shadowColor = rgb(90, 90, 90);
  canvas.draw(*record);
  EXPECT_EQ(canvas.borderBand().thickness(), 10);
  const FastBitmap& b = canvas.bitmap();
  // Inside the band: the layers below show; inside it: the bevelled frame of the canvas.
  EXPECT_EQ(b.pixel(10, 10), picturePixel(10, 10));
  EXPECT_EQ(b.pixel(200, 30), kUnder);
  EXPECT_EQ(b.pixel(457, 49), kUnder);
  BevelFrame whole;
  whole.bevelOuter = BevelStyle::Raised;
  whole.bevelInner = BevelStyle::Lowered;
  whole.bevelWidth = 3;
  whole.borderWidth = 4;
  whole.color = record->borderColor;
  whole.colorHighlight = record->highlightColor;
  whole.colorShadow = record->shadowColor;
  FastBitmap ref(468, 60);
  raster::Canvas refCanvas(ref);
  whole.paint(refCanvas, 468, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 468; ++x) {
      const int d = std::min({x, y, 467 - x, 59 - y});
      if (d < 10) {
        EXPECT_EQ(b.pixel(x, y), ref.pixel(x, y)) << x << "," << y;
      } else {
        const Color below = (x < 30 && y < 30) ? picturePixel(x, y) : kUnder;
        EXPECT_EQ(b.pixel(x, y), below) << x << "," << y;
      }
    }
  EXPECT_EQ(b.pixel(0, 0), rgb(216, 216, 216));  // raised outer bevel: light top-left
  EXPECT_EQ(b.pixel(467, 59), rgb(90, 90, 90));
  EXPECT_EQ(b.pixel(5, 30), rgb(136, 0, 0));      // ring 5 is the border
  EXPECT_EQ(b.pixel(7, 30), rgb(90, 90, 90));     // inset inner bevel: dark left side
  EXPECT_EQ(b.pixel(460, 30), rgb(216, 216, 216));
}

TEST_F(FrameCanvasTest, BandWithNoBevelsAndNoBorderDrawsNothing) {
  setBorders(0, 0, 5, 0);
  canvas.draw(*record);
  EXPECT_EQ(canvas.borderBand().thickness(), 0);
  EXPECT_EQ(countColour(canvas.bitmap(), kFrame), 468 * 60);
  record->bordersOn = 2;  // only 1 switches the band on
  record->borderWidth = 3;
  canvas.draw(*record);
  EXPECT_EQ(countColour(canvas.bitmap(), kFrame), 468 * 60);
}

TEST_F(FrameCanvasTest, TextSeamPaintsShownSlotsInOrderWithDpiAndTexture) {
  RecordingTextPainter painter;
  canvas.setTextLayerPainter(&painter);
  canvas.setSettings({"", 120, 96, {}});
  constexpr Color kText = rgb(250, 0, 250);
  record->text[2].assign("Hi");
  record->fontSize[2] = 26;
  record->fontColor[2] = kText;
  record->textX[2] = 50;
  record->textY[2] = 20;
  record->fontColor[3] = rgb(1, 1, 1);
  record->textX[3] = 50;  // slot 4: same place, but its text is empty
  record->textY[3] = 20;
  setShape(3, 1, 40, 15, 60, 30, kFill);                           // below text 3
  setPicture(4, writePicture("over.bmp", 10, 10), 60, 22);         // above text 3
  const std::string texture = writePicture("tex.bmp", 6, 7);
  record->textureFile[2].assign(texture);
  canvas.draw(*record);
  ASSERT_EQ(painter.paintCalls.size(), 1u);
  EXPECT_EQ(painter.paintCalls[0].slot, 3);
  EXPECT_EQ(painter.paintCalls[0].pointSize, 21);  // 96 / 120 x 26 = 20.8
  ASSERT_NE(painter.paintCalls[0].texture, nullptr);
  EXPECT_EQ(painter.paintCalls[0].texture->width(), 6);
  EXPECT_EQ(canvas.loadedTextureFile(3), texture);
  const FastBitmap& b = canvas.bitmap();
  EXPECT_EQ(b.pixel(50, 20), kText);
  EXPECT_EQ(b.pixel(60, 22), picturePixel(0, 0));
  EXPECT_EQ(b.pixel(45, 17), kFill);
  // Hit-testing sees the text's box between its shape and the picture above it.
  ASSERT_TRUE(canvas.objectAt(52, 21).has_value());
  EXPECT_EQ(canvas.objectAt(52, 21)->kind, CanvasObjectKind::Text);
  EXPECT_EQ(canvas.objectAt(61, 23)->kind, CanvasObjectKind::Picture);
  EXPECT_EQ(canvas.objectAt(41, 16)->kind, CanvasObjectKind::Shape);
  EXPECT_EQ(canvas.objectAt(41, 16)->slot, 3);
  EXPECT_FALSE(canvas.objectAt(300, 50).has_value());
  // A texture name that resolves to nothing keeps the texture; an empty one removes it.
  const int reads = canvas.fileReads();
  record->textureFile[2].assign((dir / "missing.bmp").string());
  canvas.draw(*record);
  EXPECT_NE(painter.paintCalls.back().texture, nullptr);
  EXPECT_EQ(canvas.fileReads(), reads);
  record->textureFile[2].clear();
  canvas.draw(*record);
  EXPECT_EQ(painter.paintCalls.back().texture, nullptr);
  EXPECT_EQ(canvas.loadedTextureFile(3), "");
  // Without a painter texts draw nothing.
  canvas.setTextLayerPainter(nullptr);
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(50, 20), kFill);
}

TEST(TextPointSize, DesignDpiOverScreenDpiRoundedHalfToEven) {
  EXPECT_EQ(textPointSize(96, 96, 26), 26);
  EXPECT_EQ(textPointSize(96, 120, 26), 21);
  EXPECT_EQ(textPointSize(96, 192, 5), 2);   // 2.5 -> 2
  EXPECT_EQ(textPointSize(96, 192, 7), 4);   // 3.5 -> 4
  EXPECT_EQ(textPointSize(0, 96, 12), 12);
}

TEST_F(FrameCanvasTest, PntxyMovesOneObjectAndHitTestingFollows) {
  setShape(2, 1, 10, 10, 20, 20, kFill);
  setPicture(1, writePicture("m.bmp", 4, 4), 100, 10);
  canvas.draw(*record);
  record->shapeX[1] = 50;
  canvas.moveObject(*record, PositionField::ShapeX, 2);
  EXPECT_EQ(canvas.bitmap().pixel(15, 15), kFrame);
  EXPECT_EQ(canvas.bitmap().pixel(55, 15), kFill);
  record->pictureX[0] = 200;
  canvas.moveObject(*record, PositionField::PictureX, 1);
  EXPECT_EQ(canvas.bitmap().pixel(200, 10), picturePixel(0, 0));
  EXPECT_EQ(canvas.bitmap().pixel(100, 10), kFrame);
  const std::vector<CanvasObject> objs = canvas.objects();
  ASSERT_EQ(objs.size(), 2u);
  EXPECT_EQ(objs[0], (CanvasObject{CanvasObjectKind::Picture, 1, Rect::fromSize(200, 10, 4, 4)}));
  EXPECT_EQ(objs[1], (CanvasObject{CanvasObjectKind::Shape, 2, Rect::fromSize(50, 10, 20, 20)}));
  // The border band is the top object where it lies.
  setBorders(0, 2, 2, 0);
  canvas.draw(*record);
  EXPECT_EQ(canvas.objectAt(201, 11)->kind, CanvasObjectKind::Picture);
  EXPECT_EQ(canvas.objectAt(0, 30)->kind, CanvasObjectKind::Border);
}

TEST_F(FrameCanvasTest, ClearHidesEverythingAndForgetsLoadedNames) {
  setShape(1, 1, 0, 0, 10, 10, kFill);
  setPicture(1, writePicture("c.bmp", 4, 4), 20, 0);
  canvas.draw(*record);
  canvas.clear();
  EXPECT_TRUE(canvas.objects().empty());
  EXPECT_EQ(canvas.loadedPictureFile(1), "");
  canvas.draw(*record);
  EXPECT_EQ(canvas.fileReads(), 2);
}

TEST_F(FrameCanvasTest, SizeFollowsTheRecord) {
  record->width = 120;
  record->height = 30;
  canvas.draw(*record);
  EXPECT_EQ(canvas.width(), 120);
  EXPECT_EQ(canvas.height(), 30);
  record->width = 0;  // not a valid size: an empty canvas, no crash
  canvas.draw(*record);
  EXPECT_TRUE(canvas.bitmap().empty());
}

TEST_F(FrameCanvasTest, TextThatCannotBeLaidOutIsReportedAndTheRestDrawn) {
  class FailingPainter : public TextLayerPainter {
   public:
    Rect bounds(const TextLayerRequest& r) override {
      if (r.slot == 1) throw std::runtime_error("no such font");
      return Rect::fromSize(0, 0, 5, 5);
    }
    void paint(raster::Canvas& c, const TextLayerRequest& r) override {
      if (r.slot == 2) throw std::runtime_error("cannot draw");
      c.fillRect(Rect::fromSize(100, 0, 5, 5), rgb(7, 7, 7));
    }
  } painter;
  canvas.setTextLayerPainter(&painter);
  for (int k = 0; k < 3; ++k) record->text[k].assign("t");
  setShape(5, 1, 200, 10, 10, 10, kFill);
  const LayoutReport report = canvas.draw(*record);
  ASSERT_EQ(report.failures.size(), 2u);
  EXPECT_EQ(report.failures[0].kind, CanvasObjectKind::Text);
  EXPECT_EQ(report.failures[0].slot, 1);
  EXPECT_EQ(report.failures[0].message, "no such font");
  EXPECT_EQ(report.failures[1].slot, 2);
  EXPECT_EQ(canvas.bitmap().pixel(100, 0), rgb(7, 7, 7));  // slot 3 drawn
  EXPECT_EQ(canvas.bitmap().pixel(205, 15), kFill);
  canvas.setTextLayerPainter(nullptr);
}

TEST_F(FrameCanvasTest, BandThickerThanHalfTheCanvasAndOddShapesStayInside) {
  record->width = 12;
  record->height = 7;
  setBorders(2, 2, 100, 100);  // L = 300
  setShape(1, 1, 3, 3, -20, 5, kFill, 20);
  setShape(2, 2, -30000, -30000, 32767, 32767, kFill, 20);
  setShape(3, 2, 5, 5, 1, 1, kFill, 0);
  canvas.draw(*record);
  EXPECT_EQ(canvas.borderBand().thickness(), 300);
  // Every pixel belongs to the band; its colours are the frame's three.
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x) {
      const Color c = canvas.bitmap().pixel(x, y);
      EXPECT_TRUE(c == record->borderColor || c == record->highlightColor || c == record->shadowColor) << x << "," << y;
    }
}

TEST_F(FrameCanvasTest, UnreadableTextureIsReportedOnceAndTheTextStillDrawn) {
  RecordingTextPainter painter;
  canvas.setTextLayerPainter(&painter);
  constexpr Color kText = rgb(250, 0, 250);
  record->text[1].assign("Hi");
  record->fontColor[1] = kText;
  record->textX[1] = 10;
  record->textY[1] = 5;
  const std::string bad = writeFile("bad.bmp", {'B', 'M', 1, 2, 3});
  record->textureFile[1].assign(bad);

  const LayoutReport first = canvas.draw(*record);
  ASSERT_EQ(first.failures.size(), 1u);
  EXPECT_EQ(first.failures[0].kind, CanvasObjectKind::Text);
  EXPECT_EQ(first.failures[0].slot, 2);
  EXPECT_EQ(first.failures[0].file, bad);
  EXPECT_FALSE(first.failures[0].message.empty());
  // The text is drawn without a texture.
  ASSERT_FALSE(painter.paintCalls.empty());
  EXPECT_EQ(painter.paintCalls.back().slot, 2);
  EXPECT_EQ(painter.paintCalls.back().texture, nullptr);
  EXPECT_EQ(canvas.bitmap().pixel(10, 5), kText);
  EXPECT_EQ(canvas.loadedTextureFile(2), "");
  // Reported once: the same name is not read again on the next layouts.
  const int reads = canvas.fileReads();
  EXPECT_TRUE(canvas.draw(*record).ok());
  EXPECT_EQ(canvas.fileReads(), reads);

  // A readable texture is taken; a later unreadable one is reported and the text keeps
  // the texture it had.
  const std::string good = writePicture("good.bmp", 5, 3);
  record->textureFile[1].assign(good);
  EXPECT_TRUE(canvas.draw(*record).ok());
  ASSERT_NE(painter.paintCalls.back().texture, nullptr);
  EXPECT_EQ(painter.paintCalls.back().texture->width(), 5);
  std::vector<std::uint8_t> shortBmp = bmptest::makeBmp24(8, 8, picturePixel);
  shortBmp.resize(40);  // the headers cut off
  const std::string truncated = writeFile("short.bmp", shortBmp);
  record->textureFile[1].assign(truncated);
  const LayoutReport later = canvas.draw(*record);
  ASSERT_EQ(later.failures.size(), 1u);
  EXPECT_EQ(later.failures[0].file, truncated);
  ASSERT_NE(painter.paintCalls.back().texture, nullptr);
  EXPECT_EQ(painter.paintCalls.back().texture->width(), 5);
  EXPECT_EQ(canvas.loadedTextureFile(2), good);
}
