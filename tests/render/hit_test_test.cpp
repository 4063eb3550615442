// What a click on the canvas hits: the topmost visible object under the pixel, in the
// drawing order (shape k, picture k, text k for k = 1..10, the border band on top);
// objects of slots not in use, and pictures that cannot be found, are never hit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <utility>

#include <unistd.h>

#include "io/bmp_test_bytes.h"
#include "model/label_project.h"
#include "raster/canvas.h"
#include "render/frame_canvas.h"

using namespace zefra;
using namespace zefra::render;
using zefra::raster::Rect;

namespace fs = std::filesystem;

namespace {

// A text's box is 20 x 8 at (textX, textY).
class BoxTextPainter : public TextLayerPainter {
 public:
  Rect bounds(const TextLayerRequest& r) override {
    return Rect::fromSize(r.record->textX[r.slot - 1], r.record->textY[r.slot - 1], 20, 8);
  }
  void paint(raster::Canvas& canvas, const TextLayerRequest& r) override { canvas.fillRect(bounds(r), rgb(1, 2, 3)); }
};

class HitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zefra_hit_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
    canvas.setTextLayerPainter(&painter);
    const auto bytes = bmptest::makeBmp24(12, 12, [](int, int) { return rgb(9, 9, 9); });
    picture = (dir / "p.bmp").string();
    std::ofstream(picture, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void TearDown() override { fs::remove_all(dir); }

  void shape(int slot, int x, int y, int w, int h) {
    const auto i = static_cast<std::size_t>(slot - 1);
    record->shapeStyle[i] = 1;
    record->shapeX[i] = static_cast<std::int16_t>(x);
    record->shapeY[i] = static_cast<std::int16_t>(y);
    record->shapeWidth[i] = static_cast<std::int16_t>(w);
    record->shapeHeight[i] = static_cast<std::int16_t>(h);
  }
  std::optional<CanvasObject> hitAfterLayout(int x, int y) {
    canvas.draw(*record);
    return canvas.objectAt(x, y);
  }
  static std::pair<CanvasObjectKind, int> what(const std::optional<CanvasObject>& o) {
    return o ? std::pair{o->kind, o->slot} : std::pair{CanvasObjectKind::Border, -1};
  }

  fs::path dir;
  std::string picture;
  std::unique_ptr<model::FrameRecord> record;
  BoxTextPainter painter;
  FrameCanvas canvas;
};

using K = CanvasObjectKind;

TEST_F(HitTest, TheTopmostObjectWinsAndHiddenSlotsAreSkipped) {
  // Five objects over the point (15, 15), bottom to top: shape 1, picture 1, text 1,
  // shape 2, picture 3.
  shape(1, 0, 0, 40, 40);
  record->pictureFile[0].assign(picture);
  record->pictureX[0] = 10;
  record->pictureY[0] = 10;
  record->text[0].assign("A");
  record->textX[0] = 12;
  record->textY[0] = 12;
  shape(2, 14, 14, 5, 5);
  record->pictureFile[2].assign(picture);
  record->pictureX[2] = 15;
  record->pictureY[2] = 15;
  EXPECT_EQ(what(hitAfterLayout(15, 15)), std::pair(K::Picture, 3));

  record->pictureFile[2].clear();
  EXPECT_EQ(what(hitAfterLayout(15, 15)), std::pair(K::Shape, 2));
  record->shapeStyle[1] = 0;  // not in use, though its box is still set
  EXPECT_EQ(what(hitAfterLayout(15, 15)), std::pair(K::Text, 1));
  record->text[0].clear();
  EXPECT_EQ(what(hitAfterLayout(15, 15)), std::pair(K::Picture, 1));
  record->pictureFile[0].assign((dir / "gone.bmp").string());  // a file that cannot be found
  EXPECT_EQ(what(hitAfterLayout(15, 15)), std::pair(K::Shape, 1));
  record->shapeStyle[0] = 0;
  EXPECT_FALSE(hitAfterLayout(15, 15).has_value());
}

TEST_F(HitTest, AnObjectCoversItsBoxWithoutTheRightAndBottomEdges) {
  shape(4, 10, 20, 6, 3);
  EXPECT_EQ(what(hitAfterLayout(10, 20)), std::pair(K::Shape, 4));
  EXPECT_EQ(what(hitAfterLayout(15, 22)), std::pair(K::Shape, 4));
  EXPECT_FALSE(hitAfterLayout(16, 22).has_value());
  EXPECT_FALSE(hitAfterLayout(15, 23).has_value());
  EXPECT_FALSE(hitAfterLayout(9, 20).has_value());
}

TEST_F(HitTest, AHigherSlotIsAboveEveryLayerOfALowerSlot) {
  // Text 1 is drawn before shape 2, whatever the kinds: the slot number decides first.
  record->text[0].assign("T");
  record->textX[0] = 0;
  record->textY[0] = 0;
  shape(2, 5, 0, 30, 8);
  EXPECT_EQ(what(hitAfterLayout(6, 2)), std::pair(K::Shape, 2));
  EXPECT_EQ(what(hitAfterLayout(2, 2)), std::pair(K::Text, 1));
}

}  // namespace
