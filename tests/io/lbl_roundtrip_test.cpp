// The LB1 writer and reader: sizes, byte-exact round trips over random records, the
// relative-path step of saving, and the rejections.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "io/lbl_reader.h"
#include "io/lbl_writer.h"
#include "io/lbl_test_files.h"
#include "model/label_project.h"

namespace zefra::io {
namespace {

using model::FrameRecord;
using model::LabelProject;
using model::kFrameRecordSize;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::unique_ptr<LabelProject> clearedProject() {
  auto project = std::make_unique<LabelProject>();
  project->clear();
  return project;
}

// Every byte of records 1..count random, including pads and the bytes past string
// lengths, so nothing the writer or reader could drop goes unnoticed.
void randomise(LabelProject& project, int count, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  for (int k = 1; k <= count; ++k) {
    auto* raw = reinterpret_cast<std::uint8_t*>(&project.frame(k));
    for (std::size_t i = 0; i < kFrameRecordSize; ++i) raw[i] = static_cast<std::uint8_t>(byte(random));
    // The one thing a reader checks beyond the frame count: a size it can draw.
    project.frame(k).width = static_cast<std::int16_t>(1 + byte(random) * 8);
    project.frame(k).height = static_cast<std::int16_t>(1 + byte(random) * 2);
  }
  project.frameCount = static_cast<std::uint8_t>(count);
  project.takeSettingsFromRecord1();
}

TEST(LblRoundTrip, FileSizeIsTheRecordsAndNothingElse) {
  TempDir dir;
  for (int count : {1, 2, 127}) {
    auto project = clearedProject();
    project->applyNewDefaults();
    project->frameCount = static_cast<std::uint8_t>(count);
    writeLblFile(dir / "p.lbl", *project);
    EXPECT_EQ(std::filesystem::file_size(dir / "p.lbl"), kFrameRecordSize * count) << count;
  }
  EXPECT_EQ(std::filesystem::file_size(dir / "p.lbl"), 1378204u);
}

TEST(LblRoundTrip, RandomRecordsComeBackByteForByte) {
  TempDir dir;
  std::mt19937 random(20261208);
  for (int count : {1, 2, 63, 127}) {
    auto original = clearedProject();
    randomise(*original, count, random);
    original->settings = {.transparent = 1, .transparentColor = 0x00123456, .paletteKind = 2, .colorCountIndex = 4, .designDpi = 120};
    writeLblFile(dir / "r.lbl", *original);

    auto back = clearedProject();
    const LblReadResult result = readLblFile(dir / "r.lbl", *back);
    EXPECT_EQ(result.format, LblFormat::Lb1);
    EXPECT_TRUE(result.warning.empty());
    ASSERT_EQ(back->frameCount, count);
    EXPECT_EQ(back->currentFrame, 1);
    EXPECT_EQ(back->settings, original->settings);
    for (int k = 1; k <= count; ++k) {
      ASSERT_EQ(std::memcmp(&back->frame(k), &original->frame(k), kFrameRecordSize), 0) << "frame " << k;
    }
    // The identification sits at the front of the file.
    const auto bytes = readBytes(dir / "r.lbl");
    EXPECT_EQ(bytes[0], 0x05);
    EXPECT_EQ(bytes[1], 'L');
    EXPECT_EQ(bytes[2], 'B');
    EXPECT_EQ(bytes[3], '1');
    EXPECT_EQ(bytes[4], count);
    EXPECT_EQ(bytes[24], 1);  // transparent
    EXPECT_EQ(bytes[64], 2);  // palette kind
    EXPECT_EQ(bytes[65], 4);  // colour count index
    EXPECT_EQ(bytes[6] | (bytes[7] << 8), 120);
  }
}

TEST(LblRoundTrip, ReaderLeavesRecordsPastTheCountAlone) {
  TempDir dir;
  auto project = clearedProject();
  project->applyNewDefaults();
  writeLblFile(dir / "one.lbl", *project);

  auto target = clearedProject();
  target->frame(2).delayMs = 4321;
  readLblFile(dir / "one.lbl", *target);
  EXPECT_EQ(target->frame(2).delayMs, 4321);
}

TEST(LblRelativePaths, OnlyPathsInsideTheProgramFolderAreShortened) {
  auto project = clearedProject();
  project->frameCount = 2;
  project->frame(1).pictureFile[0] = "/opt/zefra/Demo/logo.bmp";
  project->frame(1).textureFile[9] = "/opt/zefra/Textures/wood.bmp";
  project->frame(2).pictureFile[4] = "/home/me/pic.gif";
  project->frame(2).textureFile[0] = "/opt/zefra-old/x.bmp";  // shares the text but not the folder
  project->frame(2).pictureFile[1] = "/OPT/ZEFRA/case.bmp";   // another folder on this file system
  project->frame(2).pictureFile[2] = "/opt/zefra/";           // the folder itself would become empty
  project->frame(3).pictureFile[0] = "/opt/zefra/past-the-count.bmp";

  storeRelativePaths(*project, "/opt/zefra/");
  EXPECT_EQ(project->frame(1).pictureFile[0].view(), "Demo/logo.bmp");
  EXPECT_EQ(project->frame(1).textureFile[9].view(), "Textures/wood.bmp");
  EXPECT_EQ(project->frame(2).pictureFile[4].view(), "/home/me/pic.gif");
  EXPECT_EQ(project->frame(2).textureFile[0].view(), "/opt/zefra-old/x.bmp");
  EXPECT_EQ(project->frame(2).pictureFile[1].view(), "/OPT/ZEFRA/case.bmp");
  EXPECT_EQ(project->frame(2).pictureFile[2].view(), "/opt/zefra/");
  EXPECT_EQ(project->frame(3).pictureFile[0].view(), "/opt/zefra/past-the-count.bmp");
}

TEST(LblRelativePaths, SavedFileHoldsTheShortenedPathAndReadsBackEqual) {
  TempDir dir;
  auto project = clearedProject();
  project->applyNewDefaults();
  project->appDir = "/usr/share/zefra/";
  project->frame(1).pictureFile[3] = "/usr/share/zefra/Demo/a.gif";
  writeLblFile(dir / "p.lbl", *project);

  auto back = clearedProject();
  readLblFile(dir / "p.lbl", *back);
  EXPECT_EQ(back->frame(1).pictureFile[3].view(), "Demo/a.gif");
  EXPECT_EQ(std::memcmp(&back->frame(1), &project->frame(1), kFrameRecordSize), 0);
}

class LblRejection : public ::testing::Test {
 protected:
  // Reads `bytes` from a file and expects the rejection with the path in the message.
  void expectRejected(const std::vector<std::uint8_t>& bytes) {
    const auto path = dir / "bad.lbl";
    writeBytes(path, bytes);
    auto project = clearedProject();
    try {
      readLblFile(path, *project);
      ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
    } catch (const LblReadError& error) {
      EXPECT_EQ(std::string(error.what()), "Error reading the file " + path.string());
    }
  }

  std::vector<std::uint8_t> lb1(int records, std::uint8_t countByte) {
    std::vector<std::uint8_t> bytes(kFrameRecordSize * records, 0);
    const std::uint8_t head[] = {0x05, 0x4C, 0x42, 0x31, countByte};
    std::memcpy(bytes.data(), head, sizeof head);
    for (int k = 0; k < records; ++k) setSize(bytes, k, 468, 60);
    return bytes;
  }

  static void setSize(std::vector<std::uint8_t>& bytes, int record, std::int16_t w, std::int16_t h) {
    std::memcpy(bytes.data() + kFrameRecordSize * record + offsetof(FrameRecord, width), &w, 2);
    std::memcpy(bytes.data() + kFrameRecordSize * record + offsetof(FrameRecord, height), &h, 2);
  }

  TempDir dir;
};

TEST_F(LblRejection, NotAProjectFile) {
  expectRejected({});
  expectRejected({0x05, 0x4C, 0x42});
  expectRejected({0x05, 0x4C, 0x42, 0x58, 1});  // unknown format letter
  expectRejected({'G', 'I', 'F', '8', '9', 'a'});
  auto wrongFirst = lb1(1, 1);
  wrongFirst[0] = 0x06;
  expectRejected(wrongFirst);
}

TEST_F(LblRejection, BadFrameCountsAndShortFiles) {
  expectRejected(lb1(1, 2));    // says two frames, holds one
  expectRejected(lb1(1, 0));    // no frames
  expectRejected(lb1(1, 128));  // more than the array holds
  expectRejected(lb1(1, 255));
  auto shortOne = lb1(1, 1);
  shortOne.pop_back();
  expectRejected(shortOne);
  auto shortThree = lb1(3, 3);
  shortThree.resize(shortThree.size() - 1);
  expectRejected(shortThree);
}

// A size no frame can be drawn at (zero, negative, or gigabytes per frame) is refused
// before anything is allocated for it, in any record.
TEST_F(LblRejection, UndrawableLabelSizes) {
  for (auto [w, h] : {std::pair<int, int>{0, 60}, {468, 0}, {-5, 60}, {32767, 32767}, {8193, 1}, {4097, 4097}}) {
    auto bytes = lb1(2, 2);
    setSize(bytes, 1, static_cast<std::int16_t>(w), static_cast<std::int16_t>(h));
    expectRejected(bytes);
  }
  auto largest = lb1(1, 1);
  setSize(largest, 0, 8192, 2048);
  const auto path = dir / "largest.lbl";
  writeBytes(path, largest);
  auto project = clearedProject();
  EXPECT_NO_THROW(readLblFile(path, *project));
}

TEST_F(LblRejection, ExtraBytesAfterTheLastRecordAreIgnored) {
  auto bytes = lb1(2, 2);
  bytes.resize(bytes.size() + 777, 0xAB);
  const auto path = dir / "extra.lbl";
  writeBytes(path, bytes);
  auto project = clearedProject();
  EXPECT_EQ(readLblFile(path, *project).format, LblFormat::Lb1);
  EXPECT_EQ(project->frameCount, 2);
}

TEST_F(LblRejection, MissingFileAndFolderAreRejected) {
  auto project = clearedProject();
  EXPECT_THROW(readLblFile(dir / "missing.lbl", *project), LblReadError);
  EXPECT_THROW(readLblFile(dir.path, *project), LblReadError);
}

}  // namespace
}  // namespace zefra::io
