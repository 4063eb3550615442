// Every writer of the program replaces its file through the one atomic writer: a write
// that fails half way (a full disk, simulated by a file size limit in a child process)
// leaves the previous file as it was and no temporary file beside it; and targets whose
// names use up the file system's 255 bytes can still be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "gif/gif_frame.h"
#include "gif/gif_image.h"
#include "io/bmp_writer.h"
#include "io/file_size_limit.h"
#include "io/lbl_test_files.h"
#include "io/lbl_writer.h"
#include "io/png_writer.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"
#include "text3d/glyph_disk_cache.h"

namespace zefra {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using testing::writeUnderFileSizeLimit;

std::size_t entriesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

raster::FastBitmap noise(int w, int h) {
  raster::FastBitmap bitmap(w, h);
  std::uint32_t state = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      state = state * 1103515245u + 12345u;
      bitmap.setPixel(x, y, state >> 8 & 0xFFFFFF);
    }
  return bitmap;
}

// A one-frame GIF of 256 grey levels in noise, which compresses badly: tens of kilobytes.
void fillNoiseGif(gif::GifImage& image) {
  for (int i = 0; i < 256; ++i) {
    image.globalTable().append(rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)));
  }
  auto frame = std::make_unique<gif::GifFrame>(&image);
  frame->setPlacement(0, 0, 300, 200);
  std::vector<std::uint8_t> pixels(300 * 200);
  std::uint32_t state = 99;
  for (std::uint8_t& p : pixels) {
    state = state * 1103515245u + 12345u;
    p = static_cast<std::uint8_t>(state >> 16);
  }
  frame->setPixels(pixels);
  image.addFrame(std::move(frame));
}

text3d::GlyphSet bigGlyphSet() {
  text3d::GlyphSet set;
  set.font.name = "Zefra Test Face";
  for (int c = 'A'; c <= 'Z'; ++c) {
    text3d::Glyph& glyph = set.glyphs[static_cast<std::size_t>(c)];
    glyph.width = 60;
    glyph.height = 60;
    glyph.pixels.assign(60 * 60 * 3, static_cast<std::uint8_t>(c));
  }
  return set;
}

// Writes `target` once without a limit, then again under `limit` bytes with `write`,
// which must fail; the first content must survive alone in the folder.
void expectFailedRewriteKeepsTheFile(const TempDir& dir, const fs::path& target, rlim_t limit,
                                     const std::function<void()>& write) {
  const std::vector<std::uint8_t> previous(1000, 7);
  writeBytes(target, previous);
  const std::size_t before = entriesIn(dir.path);
  EXPECT_EQ(writeUnderFileSizeLimit(limit, write), 0) << "the write must fail and say so";
  EXPECT_EQ(readBytes(target), previous);
  EXPECT_EQ(entriesIn(dir.path), before) << "no temporary file stays behind";
}

TEST(AtomicWritePaths, EveryWriterKeepsTheOldFileWhenTheDiskFills) {
  TempDir dir;
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  for (int k = 2; k <= 20; ++k) project->frame(k) = project->frame(1);
  project->frameCount = 20;
  expectFailedRewriteKeepsTheFile(dir, dir / "p.lbl", 50000, [&] { io::writeLblFile(dir / "p.lbl", *project); });

  const raster::FastBitmap picture = noise(200, 200);
  expectFailedRewriteKeepsTheFile(dir, dir / "p.bmp", 50000, [&] { io::writeBmpFile(picture, (dir / "p.bmp").string()); });
  expectFailedRewriteKeepsTheFile(dir, dir / "p.png", 50000, [&] { io::writePngFile(picture, dir / "p.png"); });

  gif::GifImage image;
  fillNoiseGif(image);
  expectFailedRewriteKeepsTheFile(dir, dir / "p.gif", 20000, [&] { image.saveToFile(dir / "p.gif"); });
}

// The glyph cache never throws; it answers false, and the pair on disk stays usable.
TEST(AtomicWritePaths, GlyphCacheKeepsItsPairWhenTheDiskFills) {
  TempDir dir;
  const text3d::GlyphSet set = bigGlyphSet();
  ASSERT_TRUE(text3d::writeGlyphSet(dir.path, set));
  const std::size_t files = entriesIn(dir.path);
  std::vector<std::vector<std::uint8_t>> before;
  for (const auto& entry : fs::directory_iterator(dir.path)) before.push_back(readBytes(entry.path()));
  EXPECT_EQ(writeUnderFileSizeLimit(100000, [&] {
              if (!text3d::writeGlyphSet(dir.path, set)) throw std::runtime_error("not cached");
            }),
            0);
  EXPECT_EQ(entriesIn(dir.path), files);
  std::vector<std::vector<std::uint8_t>> after;
  for (const auto& entry : fs::directory_iterator(dir.path)) after.push_back(readBytes(entry.path()));
  EXPECT_EQ(after, before);
  text3d::GlyphSet loaded;
  loaded.font = set.font;
  loaded.settings = set.settings;
  EXPECT_TRUE(text3d::loadGlyphSet(dir.path, loaded));
}

// A temporary name derived from the target's would pass the 255-byte limit of a name.
TEST(AtomicWritePaths, TargetNamesUpTo255BytesAreWritten) {
  TempDir dir;
  for (std::size_t length : {246u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".gif";
    ASSERT_EQ(name.size(), length);
    gif::GifImage image;
    fillNoiseGif(image);
    image.saveToFile(dir / name);
    EXPECT_GT(fs::file_size(dir / name), 0u) << length;
    const std::vector<std::uint8_t> bytes = {1, 2, 3};
    common::writeFileAtomically(dir / name, bytes);
    EXPECT_EQ(readBytes(dir / name), bytes) << length;
  }
  EXPECT_EQ(entriesIn(dir.path), 3u);
}

}  // namespace
}  // namespace zefra
