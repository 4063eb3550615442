// Reading a picture again after it was edited in another program: the new content shows,
// and a file that cannot be read at that moment (half written) keeps the picture that was
// shown instead of hiding the layer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "io/bmp_test_bytes.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"

using namespace zefra;
using namespace zefra::render;

namespace fs = std::filesystem;

namespace {

class PictureRefresh : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zefra_refresh_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    file = (dir / "p.bmp").string();
    record = std::make_unique<model::FrameRecord>(model::newFrameRecord(96));
    record->pictureFile[1].assign(file);
    record->pictureX[1] = 5;
    record->pictureY[1] = 5;
    record->pictureFile[3].assign(file);
    record->pictureX[3] = 40;
    record->pictureY[3] = 5;
  }
  void TearDown() override { fs::remove_all(dir); }
  void write(const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<std::uint8_t> plain(int w, int h, Color c) {
    return bmptest::makeBmp24(w, h, [c](int, int) { return c; });
  }

  fs::path dir;
  std::string file;
  std::unique_ptr<model::FrameRecord> record;
  FrameCanvas canvas;
};

TEST_F(PictureRefresh, ANewVersionOfTheFileShowsInEverySlotRefreshed) {
  write(plain(8, 8, rgb(200, 0, 0)));
  canvas.draw(*record);
  ASSERT_EQ(canvas.bitmap().pixel(6, 6), rgb(200, 0, 0));
  write(plain(12, 6, rgb(0, 0, 200)));
  // Without a refresh the canvas keeps what it read (the name did not change).
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(6, 6), rgb(200, 0, 0));
  EXPECT_TRUE(canvas.refreshPicture(2));
  EXPECT_TRUE(canvas.refreshPicture(4));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(6, 6), rgb(0, 0, 200));
  EXPECT_EQ(canvas.bitmap().pixel(50, 6), rgb(0, 0, 200));
  // The new size counts for hit testing too.
  EXPECT_EQ(canvas.objectAt(16, 6)->slot, 2);
}

TEST_F(PictureRefresh, AHalfWrittenFileKeepsTheShownPicture) {
  write(plain(8, 8, rgb(200, 0, 0)));
  canvas.draw(*record);
  std::vector<std::uint8_t> whole = plain(8, 8, rgb(0, 200, 0));
  write(std::vector<std::uint8_t>(whole.begin(), whole.begin() + 70));  // cut inside the pixels
  EXPECT_FALSE(canvas.refreshPicture(2));
  const LayoutReport report = canvas.draw(*record);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(canvas.bitmap().pixel(6, 6), rgb(200, 0, 0));
  ASSERT_TRUE(canvas.objectAt(6, 6).has_value());
  // Once the file is whole, the next refresh takes it.
  write(whole);
  EXPECT_TRUE(canvas.refreshPicture(2));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(6, 6), rgb(0, 200, 0));
}

TEST_F(PictureRefresh, ASlotThatCouldNotBeReadBeforeIsReadAgain) {
  write({'B', 'M', 1, 2});
  const LayoutReport first = canvas.draw(*record);
  EXPECT_FALSE(first.ok());
  EXPECT_FALSE(canvas.objectAt(6, 6).has_value());
  write(plain(8, 8, rgb(0, 0, 90)));
  EXPECT_TRUE(canvas.refreshPicture(2));
  canvas.draw(*record);
  EXPECT_EQ(canvas.bitmap().pixel(6, 6), rgb(0, 0, 90));
  // A slot without a file has nothing to refresh.
  EXPECT_FALSE(canvas.refreshPicture(7));
  EXPECT_FALSE(canvas.refreshPicture(0));
}

}  // namespace
