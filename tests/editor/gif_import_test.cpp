// Importing an animated GIF as frames: each imported picture is the frame as the player
// composes it (disposal, transparency) laid on the frame colour, the delays, the new and
// empty project that takes the GIF's size, appending, the frame limit, the file names,
// failures that leave no trace, and undo.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
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
#include "gif/gif_builder.h"
#include "io/lbl_test_files.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using zefra::testing::TempDir;

using zefra::testing::BuiltGif;
using zefra::testing::solidFrame;
using zefra::testing::writeGif;

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr Color kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255), kWhite = rgb(255, 255, 255);
// Palette indices of the built GIFs.
constexpr std::uint8_t kRedIndex = 2, kBlueIndex = 3, kWhiteIndex = 1;

BuiltGif fourColours(int width, int height) {
  BuiltGif gif;
  gif.width = width;
  gif.height = height;
  gif.palette = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
  return gif;
}

// Four frames of 8 x 6 shown for 10, 20, 30 and 40 hundredths, red and blue in turn.
fs::path redBlueGif(const fs::path& folder) {
  BuiltGif gif = fourColours(8, 6);
  for (int k = 1; k <= 4; ++k) gif.frames.push_back(solidFrame(0, 0, 8, 6, k % 2 ? kRedIndex : kBlueIndex, 10 * k));
  return writeGif(folder / "animated-red-blue.gif", gif);
}

// A red square with a transparent corner, erased to the background (disposal 2), then a
// blue square drawn where it was, then a white pixel; 50 hundredths each.
fs::path restoreBackgroundGif(const fs::path& folder) {
  BuiltGif gif = fourColours(4, 4);
  auto red = solidFrame(0, 0, 4, 4, kRedIndex, 50);
  red.indices[0] = 0;
  red.transparent = 0;
  red.disposal = 2;
  gif.frames = {red, solidFrame(1, 1, 2, 2, kBlueIndex, 50), solidFrame(3, 3, 1, 1, kWhiteIndex, 50)};
  return writeGif(folder / "dispose-restore-background.gif", gif);
}

// The colour a composed RGBA pixel shows on `background` (alpha is 0 or 255 in a GIF).
// Stands for the frame colour in expectations.
constexpr Color kBackground = 0x7FFFFFFF;

Color shown(const std::uint8_t* p, Color background) {
  return p[3] == 0 ? background : rgb(p[0], p[1], p[2]);
}

// Every imported picture equals the player's composition of the same frame on the frame
// colour, and shows `expected` (frame, x, y, colour) where given, worked out by hand.
struct ShownPixel {
  int frame, x, y;
  Color colour;
};
std::vector<std::string> expectImportedAsComposed(const fs::path& gif, const std::vector<ShownPixel>& expected) {
  TempDir dir;
  Editor editor("/app/", 96);
  const Color background = editor.project().frame(1).frameColor;
  const GifImportResult result = importGif(editor, gif, dir / "");
  EXPECT_TRUE(result.change.applied) << result.change.message;
  if (!result.change.applied) return {};

  gif::GifImage image;
  image.loadFromFile(gif);
  gif::AnimationPlayer player(image, gif::PlaybackOptions{});
  EXPECT_EQ(editor.project().frameCount, player.frameCount());
  EXPECT_EQ(result.pictures.size(), static_cast<std::size_t>(player.frameCount()));
  EXPECT_EQ(editor.project().frame(1).width, player.width());
  EXPECT_EQ(editor.project().frame(1).height, player.height());
  std::vector<raster::FastBitmap> pictures;
  for (int i = 0; i < player.frameCount() && i < static_cast<int>(result.pictures.size()); ++i) {
    SCOPED_TRACE(gif.filename().string() + " frame " + std::to_string(i + 1));
    const model::FrameRecord& f = editor.project().frame(i + 1);
    EXPECT_EQ(f.pictureFile[0].str(), result.pictures[static_cast<std::size_t>(i)]);
    EXPECT_EQ(f.pictureX[0], 0);
    EXPECT_EQ(f.pictureY[0], 0);
    pictures.push_back(io::readBmpFile(result.pictures[static_cast<std::size_t>(i)]));
    const raster::FastBitmap& picture = pictures.back();
    const gif::RgbaImage& composed = player.pictureOfStep(i);
    EXPECT_EQ(picture.width(), composed.width);
    EXPECT_EQ(picture.height(), composed.height);
    if (picture.width() != composed.width || picture.height() != composed.height) continue;
    for (int y = 0; y < composed.height; ++y)
      for (int x = 0; x < composed.width; ++x)
        EXPECT_EQ(picture.pixel(x, y), shown(composed.pixel(x, y), background)) << x << "," << y;
  }
  for (const ShownPixel& p : expected) {
    if (p.frame > static_cast<int>(pictures.size())) {
      ADD_FAILURE() << "no frame " << p.frame;
      continue;
    }
    const Color colour = p.colour == kBackground ? background : p.colour;
    EXPECT_EQ(pictures[static_cast<std::size_t>(p.frame - 1)].pixel(p.x, p.y), colour)
        << gif.filename().string() << " frame " << p.frame << " at " << p.x << "," << p.y;
  }
  return result.pictures;
}

TEST(GifImport, RestoreToBackgroundFramesAreImportedAsShown) {
  TempDir dir;
  // Frame 2 draws on what frame 1 left after its disposal: nothing but the background.
  expectImportedAsComposed(restoreBackgroundGif(dir.path),
                           {{1, 0, 0, kBackground}, {1, 1, 0, kRed}, {2, 0, 0, kBackground}, {2, 3, 0, kBackground},
                            {2, 1, 1, kBlue}, {3, 1, 1, kBlue}, {3, 3, 3, kWhite}, {3, 0, 3, kBackground}});
}

TEST(GifImport, RestoreToPreviousFramesAreImportedAsShown) {
  TempDir dir;
  BuiltGif built = fourColours(4, 4);
  auto blue = solidFrame(0, 0, 2, 2, kBlueIndex);
  blue.disposal = 3;  // gone again before the next frame: the red stays
  built.frames = {solidFrame(0, 0, 4, 4, kRedIndex), blue, solidFrame(3, 3, 1, 1, kWhiteIndex)};
  built.frames[0].disposal = 1;
  expectImportedAsComposed(writeGif(dir / "dispose-restore-previous.gif", built),
                           {{1, 0, 0, kRed}, {2, 0, 0, kBlue}, {2, 1, 1, kBlue}, {2, 2, 2, kRed},
                            {3, 0, 0, kRed}, {3, 1, 1, kRed}, {3, 3, 3, kWhite}});
}

TEST(GifImport, TransparentPixelsTakeTheFrameColour) {
  TempDir dir;
  BuiltGif built = fourColours(3, 1);
  auto frame = solidFrame(0, 0, 3, 1, kRedIndex);
  frame.indices = {kRedIndex, kWhiteIndex, kBlueIndex};
  frame.transparent = kWhiteIndex;
  built.frames = {frame};
  expectImportedAsComposed(writeGif(dir / "transparent.gif", built),
                           {{1, 0, 0, kRed}, {1, 1, 0, kBackground}, {1, 2, 0, kBlue}});
  expectImportedAsComposed(redBlueGif(dir.path), {{1, 0, 0, kRed}, {2, 7, 5, kBlue}, {3, 4, 3, kRed}});
}

TEST(GifImport, ANewAndEmptyProjectTakesTheGifsSizeAndDelays) {
  TempDir dir;
  Editor editor("/app/", 96);
  ASSERT_TRUE(isNewAndEmpty(editor.project()));
  const fs::path gif = redBlueGif(dir.path);
  const GifImportResult result = importGif(editor, gif, dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;
  EXPECT_TRUE(result.resized);
  ASSERT_EQ(editor.project().frameCount, 4);
  // Delays 10, 20, 30, 40 hundredths.
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(editor.project().frame(k).delayMs, 100 * k);
    EXPECT_EQ(editor.project().frame(k).width, 8);
    EXPECT_EQ(editor.project().frame(k).height, 6);
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
  const GifImportResult result = importGif(editor, restoreBackgroundGif(dir.path), dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;
  EXPECT_FALSE(result.resized);
  ASSERT_EQ(editor.project().frameCount, 5);
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
  EXPECT_EQ(first.pixel(0, 0), rgb(1, 2, 3));
  EXPECT_EQ(first.pixel(1, 0), kRed);
  editor.undo();
  EXPECT_EQ(editor.project().frameCount, 2);
}

// Files in the folder other than the GIFs themselves.
std::vector<fs::path> picturesIn(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() != ".gif") found.push_back(entry.path());
  return found;
}

TEST(GifImport, TooManyFramesAndUnreadableFilesChangeNothing) {
  TempDir dir;
  TempDir out;
  Editor editor("/app/", 96);
  // 128 frames never fit.
  BuiltGif long128 = fourColours(2, 2);
  for (int k = 0; k < 128; ++k) long128.frames.push_back(solidFrame(0, 0, 2, 2, static_cast<std::uint8_t>(k % 4)));
  GifImportResult tooMany = importGif(editor, writeGif(dir / "long.gif", long128), out / "");
  EXPECT_FALSE(tooMany.change.applied);
  EXPECT_EQ(tooMany.change.message, "Maximal numbers of frames is 127.");
  // 124 frames with something on them leave room for 3, not for 4.
  editor.editFrames(EditScope::CurrentFrame, "Text", [](model::FrameRecord& f) { f.text[0].assign("x"); });
  for (int k = 1; k < 124; ++k) editor.insertFrame();
  editor.discardChanges();
  BuiltGif four = fourColours(2, 2);
  for (int k = 0; k < 4; ++k) four.frames.push_back(solidFrame(0, 0, 2, 2, static_cast<std::uint8_t>(k)));
  GifImportResult full = importGif(editor, writeGif(dir / "four.gif", four), out / "");
  EXPECT_FALSE(full.change.applied);
  EXPECT_EQ(full.change.message, "Maximal numbers of frames is 127.");
  EXPECT_EQ(editor.project().frameCount, 124);
  EXPECT_FALSE(editor.modified());

  const fs::path junk = dir / "junk.gif";
  std::ofstream(junk) << "GIF89a\x02";  // ends inside the screen descriptor
  GifImportResult bad = importGif(editor, junk, out / "");
  EXPECT_FALSE(bad.change.applied);
  EXPECT_EQ(bad.change.message.rfind("Error reading the file " + junk.string(), 0), 0u) << bad.change.message;
  // Nothing was written for the refused imports.
  EXPECT_TRUE(picturesIn(out.path).empty());
}

TEST(GifImport, NeverOverwritesAnotherPictureOfTheSameName) {
  TempDir dir;
  const fs::path gif = restoreBackgroundGif(dir.path);
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

// What stands at a picture's name may be a FIFO (opening it to compare would wait for a
// writer), a device that never ends, a folder or a link to any of them: such a name is
// passed over for the next one, unread, and the import finishes.
TEST(GifImport, NamesTakenByFifosDevicesAndFoldersArePassedOverUnread) {
  TempDir dir;
  const fs::path gif = restoreBackgroundGif(dir.path);
  ASSERT_EQ(::mkfifo((dir / "dispose-restore-background_001.bmp").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "dispose-restore-background_002.bmp");
  fs::create_directory(dir / "dispose-restore-background_003.bmp");
  fs::create_symlink(dir / "missing", dir / "dispose-restore-background_003-2.bmp");
  Editor editor("/app/", 96);
  const GifImportResult result = importGif(editor, gif, dir / "");
  ASSERT_TRUE(result.change.applied) << result.change.message;
  EXPECT_EQ(result.pictures[0], (dir / "dispose-restore-background_001-2.bmp").string());
  EXPECT_EQ(result.pictures[1], (dir / "dispose-restore-background_002-2.bmp").string());
  EXPECT_EQ(result.pictures[2], (dir / "dispose-restore-background_003-3.bmp").string());
  EXPECT_TRUE(fs::is_fifo(dir / "dispose-restore-background_001.bmp"));
  EXPECT_TRUE(fs::is_symlink(dir / "dispose-restore-background_003-2.bmp"));
}

// The screen decides the size of every picture: a header announcing more than a label can
// be is refused before a frame is composed (a 16384 x 16384 screen of twenty 1 x 1 frames
// would take gigabytes), and so is a picture larger than the picture reader takes back.
TEST(GifImport, ScreensLargerThanALabelAreRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  TempDir out;
  Editor editor("/app/", 96);
  const auto withScreen = [&](int w, int h, int frames = 20) {
    BuiltGif gif = fourColours(w, h);
    for (int k = 0; k < frames; ++k) gif.frames.push_back(solidFrame(k, 0, 1, 1, kRedIndex));
    return writeGif(dir / ("screen" + std::to_string(w) + "x" + std::to_string(h) + ".gif"), gif);
  };
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{16384, 16384}, {5792, 5792}, {8193, 100}}) {
    const fs::path gif = withScreen(w, h);
    const GifImportResult result = importGif(editor, gif, out / "");
    EXPECT_FALSE(result.change.applied) << w << " x " << h;
    EXPECT_EQ(result.change.message, "The GIF " + gif.string() + " is " + std::to_string(w) + " x " + std::to_string(h) +
                                         " pixels; a picture can have at most 8192 pixels a side and 16777216 in all.");
  }
  EXPECT_EQ(editor.project().frameCount, 1);
  EXPECT_FALSE(editor.modified());
  EXPECT_TRUE(picturesIn(out.path).empty());
  // The largest allowed screen is imported, and its picture reads back.
  const GifImportResult largest = importGif(editor, withScreen(8192, 2048, 1), out / "");
  ASSERT_TRUE(largest.change.applied) << largest.change.message;
  EXPECT_EQ(io::readBmpFile(largest.pictures[0]).width(), 8192);
}

// The slow part runs apart from the editor: a set cancel flag stops it between frames and
// removes what it wrote; the editor changes only when the prepared import is applied.
TEST(GifImport, APreparedImportCanBeCancelledAndChecksTheProjectWhenApplied) {
  TempDir dir;
  const fs::path gif = redBlueGif(dir.path);
  Editor editor("/app/", 96);
  std::atomic<bool> cancel{false};
  std::vector<int> progress;
  GifImportControl control;
  control.cancel = &cancel;
  control.progress = [&](int done, int total) {
    progress.push_back(done);
    EXPECT_EQ(total, 4);
    if (done == 2) cancel = true;
  };
  PreparedGifImport cancelled = prepareGifImport(planGifImport(editor.project()), gif, dir / "", control);
  EXPECT_EQ(cancelled.refusal, kCancelledImport);
  EXPECT_EQ(progress, (std::vector<int>{1, 2}));
  EXPECT_TRUE(picturesIn(dir.path).empty());
  const GifImportResult refused = applyGifImport(editor, std::move(cancelled));
  EXPECT_FALSE(refused.change.applied);
  EXPECT_EQ(editor.project().frameCount, 1);

  // Prepared for a new project that gained content meanwhile: refused, pictures removed.
  PreparedGifImport stale = prepareGifImport(planGifImport(editor.project()), gif, dir / "");
  ASSERT_TRUE(stale.refusal.empty()) << stale.refusal;
  EXPECT_EQ(picturesIn(dir.path).size(), 4u);
  editor.insertFrame();
  const GifImportResult late = applyGifImport(editor, std::move(stale));
  EXPECT_FALSE(late.change.applied);
  EXPECT_EQ(editor.project().frameCount, 2);
  EXPECT_TRUE(picturesIn(dir.path).empty());
}

}  // namespace
}  // namespace zefra::editor
