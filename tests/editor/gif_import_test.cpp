// Importing an animated GIF as frames: each imported picture is the frame as the player
// composes it (disposal, transparency) laid on the frame colour, the delays, the new and
// empty project that takes the GIF's size, appending, the frame limit, the file names,
// failures that leave no trace, and undo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/gif_import.h"
#include "gif/animation_player.h"
#include "gif/gif_image.h"
#include "io/bmp_reader.h"
#include "io/lbl_test_files.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using zefra::testing::TempDir;

const fs::path kSuite = fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite" / "pygif-test-suite";
const fs::path kWuffs = fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite" / "wuffs-test-data";

#define SKIP_WITHOUT_TESTDATA()                                                       \
  if (!fs::exists(kSuite)) GTEST_SKIP() << "test data not found at " << kSuite.string()

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The colour a composed RGBA pixel shows on `background` (alpha is 0 or 255 in a GIF).
Color shown(const std::uint8_t* p, Color background) {
  return p[3] == 0 ? background : rgb(p[0], p[1], p[2]);
}

// Every imported picture equals the player's composition of the same frame, on the frame
// colour, and the suite's expected pixels where the suite has them (an empty name: none).
void expectImportedAsComposed(const fs::path& gif, const std::vector<std::string>& expectedRgba) {
  TempDir dir;
  Editor editor("/app/", 96);
  const Color background = editor.project().frame(1).frameColor;
  const GifImportResult result = importGif(editor, gif, dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;

  gif::GifImage image;
  image.loadFromFile(gif);
  gif::AnimationPlayer player(image, gif::PlaybackOptions{});
  ASSERT_EQ(editor.project().frameCount, player.frameCount());
  ASSERT_EQ(result.pictures.size(), static_cast<std::size_t>(player.frameCount()));
  EXPECT_EQ(editor.project().frame(1).width, player.width());
  EXPECT_EQ(editor.project().frame(1).height, player.height());
  for (int i = 0; i < player.frameCount(); ++i) {
    SCOPED_TRACE(gif.filename().string() + " frame " + std::to_string(i + 1));
    const model::FrameRecord& f = editor.project().frame(i + 1);
    EXPECT_EQ(f.pictureFile[0].str(), result.pictures[static_cast<std::size_t>(i)]);
    EXPECT_EQ(f.pictureX[0], 0);
    EXPECT_EQ(f.pictureY[0], 0);
    const raster::FastBitmap picture = io::readBmpFile(result.pictures[static_cast<std::size_t>(i)]);
    const gif::RgbaImage& composed = player.pictureOfStep(i);
    ASSERT_EQ(picture.width(), composed.width);
    ASSERT_EQ(picture.height(), composed.height);
    std::vector<std::uint8_t> expected;
    if (i < static_cast<int>(expectedRgba.size()) && !expectedRgba[static_cast<std::size_t>(i)].empty())
      expected = bytesOf(kSuite / expectedRgba[static_cast<std::size_t>(i)]);
    for (int y = 0; y < composed.height; ++y) {
      for (int x = 0; x < composed.width; ++x) {
        EXPECT_EQ(picture.pixel(x, y), shown(composed.pixel(x, y), background)) << x << "," << y;
        if (!expected.empty()) {
          const std::uint8_t* e = &expected[(static_cast<std::size_t>(y) * composed.width + x) * 4];
          EXPECT_EQ(picture.pixel(x, y), shown(e, background)) << "suite pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(GifImport, RestoreToBackgroundFramesAreImportedAsShown) {
  SKIP_WITHOUT_TESTDATA();
  expectImportedAsComposed(kSuite / "dispose-restore-background.gif",
                           {"animation-erase.0.rgba", "animation-erase.1.rgba", "animation-erase.2.rgba",
                            "animation-erase.3.rgba"});
}

TEST(GifImport, RestoreToPreviousFramesAreImportedAsShown) {
  SKIP_WITHOUT_TESTDATA();
  // The file starts with a full-size image without a graphic control extension. The
  // player shows it for 100 ms as browsers do; the suite folds it into the next frame, so
  // its frames start at the second imported one.
  expectImportedAsComposed(kSuite / "dispose-restore-previous.gif",
                           {"", "animation.0.rgba", "animation.1.rgba", "animation.2.rgba", "animation.3.rgba"});
}

TEST(GifImport, TransparentPixelsTakeTheFrameColour) {
  SKIP_WITHOUT_TESTDATA();
  expectImportedAsComposed(kSuite / "transparent.gif", {"four-colors-transparent.rgba"});
  expectImportedAsComposed(kWuffs / "animated-red-blue.gif", {});
}

TEST(GifImport, ANewAndEmptyProjectTakesTheGifsSizeAndDelays) {
  SKIP_WITHOUT_TESTDATA();
  TempDir dir;
  Editor editor("/app/", 96);
  ASSERT_TRUE(isNewAndEmpty(editor.project()));
  const GifImportResult result = importGif(editor, kWuffs / "animated-red-blue.gif", dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;
  EXPECT_TRUE(result.resized);
  ASSERT_EQ(editor.project().frameCount, 4);
  // Delays 10, 20, 30, 40 hundredths.
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(editor.project().frame(k).delayMs, 100 * k);
    EXPECT_EQ(editor.project().frame(k).width, 64);
    EXPECT_EQ(editor.project().frame(k).height, 48);
  }
  EXPECT_EQ(result.pictures[0], (dir / "animated-red-blue_001.bmp").string());
  EXPECT_EQ(result.pictures[3], (dir / "animated-red-blue_004.bmp").string());
  EXPECT_EQ(editor.project().currentFrame, 1);
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(editor.undoLabel(), "Import GIF");
  // Undo brings back the empty frame of 468 x 60; the pictures stay on disk.
  editor.undo();
  EXPECT_EQ(editor.project().frameCount, 1);
  EXPECT_EQ(editor.project().frame(1).width, 468);
  EXPECT_TRUE(fs::exists(result.pictures[0]));
}

TEST(GifImport, AppendsToAProjectThatHasContentAndKeepsItsSize) {
  SKIP_WITHOUT_TESTDATA();
  TempDir dir;
  Editor editor("/app/", 96);
  editor.editFrames(EditScope::CurrentFrame, "Text", [](model::FrameRecord& f) {
    f.text[0].assign("Sale");
    f.shapeStyle[3] = 1;
    f.gradientOn = 1;
    f.frameColor = rgb(1, 2, 3);
  });
  editor.insertFrame();
  ASSERT_FALSE(isNewAndEmpty(editor.project()));
  const GifImportResult result = importGif(editor, kSuite / "dispose-restore-background.gif", dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;
  EXPECT_FALSE(result.resized);
  ASSERT_EQ(editor.project().frameCount, 6);
  EXPECT_EQ(editor.project().currentFrame, 3);
  const model::FrameRecord& imported = editor.project().frame(3);
  EXPECT_EQ(imported.width, 468);
  EXPECT_TRUE(imported.text[0].empty());
  EXPECT_EQ(imported.shapeStyle[3], 0);
  EXPECT_EQ(imported.gradientOn, 0);
  EXPECT_EQ(imported.frameColor, rgb(1, 2, 3));
  EXPECT_EQ(imported.delayMs, 500);
  EXPECT_EQ(editor.project().frame(2).text[0].str(), "Sale");
  // Transparent pixels show the frame colour of the frames they land in.
  const raster::FastBitmap first = io::readBmpFile(result.pictures[0]);
  bool sawBackground = false;
  for (int y = 0; y < first.height(); ++y)
    for (int x = 0; x < first.width(); ++x) sawBackground |= first.pixel(x, y) == rgb(1, 2, 3);
  EXPECT_TRUE(sawBackground);
  editor.undo();
  EXPECT_EQ(editor.project().frameCount, 2);
}

TEST(GifImport, TooManyFramesAndUnreadableFilesChangeNothing) {
  SKIP_WITHOUT_TESTDATA();
  TempDir dir;
  Editor editor("/app/", 96);
  // 380 frames never fit.
  GifImportResult tooMany = importGif(editor, kWuffs / "gifplayer-muybridge.gif", dir / "");
  EXPECT_FALSE(tooMany.change.applied);
  EXPECT_EQ(tooMany.change.message, "Maximal numbers of frames is 127.");
  // 124 frames with something on them leave room for 3, not for 4.
  editor.editFrames(EditScope::CurrentFrame, "Text", [](model::FrameRecord& f) { f.text[0].assign("x"); });
  for (int k = 1; k < 124; ++k) editor.insertFrame();
  editor.discardChanges();
  GifImportResult full = importGif(editor, kSuite / "dispose-restore-background.gif", dir / "");
  EXPECT_FALSE(full.change.applied);
  EXPECT_EQ(full.change.message, "Maximal numbers of frames is 127.");
  EXPECT_EQ(editor.project().frameCount, 124);
  EXPECT_FALSE(editor.modified());

  const fs::path junk = dir / "junk.gif";
  std::ofstream(junk) << "GIF89a but nothing else";
  GifImportResult bad = importGif(editor, junk, dir / "");
  EXPECT_FALSE(bad.change.applied);
  EXPECT_EQ(bad.change.message.rfind("Error reading the file " + junk.string(), 0), 0u) << bad.change.message;
  EXPECT_TRUE(fs::is_empty(dir / "") || !fs::exists(dir / "junk_001.bmp"));
  // Nothing was written for the refused imports.
  for (const auto& entry : fs::directory_iterator(dir / "")) EXPECT_NE(entry.path().extension(), ".bmp");
}

TEST(GifImport, NeverOverwritesAnotherPictureOfTheSameName) {
  SKIP_WITHOUT_TESTDATA();
  TempDir dir;
  const fs::path gif = kSuite / "dispose-restore-background.gif";
  const fs::path taken = dir / "dispose-restore-background_001.bmp";
  std::ofstream(taken) << "someone else's picture";
  Editor editor("/app/", 96);
  const GifImportResult first = importGif(editor, gif, dir / "");
  ASSERT_TRUE(first.change.applied) << first.change.message;
  EXPECT_EQ(first.pictures[0], (dir / "dispose-restore-background_001-2.bmp").string());
  EXPECT_EQ(first.pictures[1], (dir / "dispose-restore-background_002.bmp").string());
  EXPECT_EQ(bytesOf(taken), std::vector<std::uint8_t>({'s', 'o', 'm', 'e', 'o', 'n', 'e', ' ', 'e', 'l', 's', 'e',
                                                       '\'', 's', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
  // Importing the same GIF again reuses the pictures that hold the same pixels.
  const GifImportResult again = importGif(editor, gif, dir / "");
  ASSERT_TRUE(again.change.applied);
  EXPECT_EQ(again.pictures, first.pictures);
}

}  // namespace
}  // namespace zefra::editor
