#include "export/gif_saver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/animation_export.h"
#include "export_gif_walker.h"
#include "io/lbl_test_files.h"

namespace zefra::exporter {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GifSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    raster::FastBitmap a(30, 10);
    a.fill(rgb(200, 10, 10));
    raster::FastBitmap b = a;
    for (int x = 0; x < 12; ++x) b.setPixel(x, 3, rgb(0, 0, 250));
    ExportSettings s;
    assembleGif({a, b}, {100, 100}, false, s, image);
  }
  // A folder of its own: test programs of several checkouts run side by side.
  zefra::testing::TempDir temp;
  fs::path dir = temp.path;
  gif::GifImage image;
};

TEST_F(GifSaverTest, AppendsGifWritesTheImageAndSaysSo) {
  const SaveOutcome out = saveGif(image, (dir / "banner").string());
  ASSERT_TRUE(out.ok) << out.detail;
  EXPECT_EQ(out.path, (dir / "banner.gif").string());
  EXPECT_EQ(out.message, "File banner.gif has been successfully created!");
  const auto bytes = readAll(out.path);
  EXPECT_EQ(bytes, image.saveToBytes());
  EXPECT_EQ(out.fileSize, bytes.size());
  // Only the target is left in the folder: no temporary file stays behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  const SaveOutcome upper = saveGif(image, (dir / "BANNER.GIF").string());
  ASSERT_TRUE(upper.ok);
  EXPECT_EQ(upper.path, (dir / "BANNER.GIF").string());
}

TEST_F(GifSaverTest, FailureIsReportedWithTheNameAndNeverLeavesAPartialFile) {
  const SaveOutcome missing = saveGif(image, (dir / "no-such-dir" / "banner.gif").string());
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.message, "Error writing the file banner.gif");
  EXPECT_FALSE(missing.detail.empty());
  EXPECT_FALSE(fs::exists(dir / "no-such-dir"));

  // An image that cannot be written (no frames) leaves an earlier file as it was.
  const fs::path target = dir / "keep.gif";
  ASSERT_TRUE(saveGif(image, target.string()).ok);
  const auto before = readAll(target);
  gif::GifImage empty;
  const SaveOutcome failed = saveGif(empty, target.string());
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.message, "Error writing the file keep.gif");
  EXPECT_EQ(readAll(target), before);
}

TEST_F(GifSaverTest, StatisticsComeFromTheImageAndTheMeasuredFile) {
  const SaveOutcome out = saveGif(image, (dir / "s.gif").string());
  ASSERT_TRUE(out.ok);
  const GifStatistics s = statisticsOf(image, out.fileSize, 7);
  EXPECT_EQ(s.fileSize, fs::file_size(out.path));
  EXPECT_EQ(s.frames, 7);  // the project's count, even when frames were merged away
  EXPECT_EQ(s.width, 30);
  EXPECT_EQ(s.height, 10);
  // The count of the table, which the file stores padded to a power of two.
  const auto walked = testing::walkGif(readAll(out.path));
  EXPECT_EQ(s.colors, image.globalTable().count());
  EXPECT_GE(s.colors, 2);
  EXPECT_LE(s.colors, walked.globalTableSize);
  EXPECT_GT(2 * s.colors, walked.globalTableSize);
}

}  // namespace
}  // namespace zefra::exporter
