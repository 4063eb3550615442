// Conversion of 1.02 project files, each case built from bytes written here.
#include <gtest/gtest.h>

#include <memory>

#include "io/lbl_reader.h"
#include "io/lbl_test_files.h"
#include "io/lbl_v102_reader.h"
#include "model/label_project.h"

namespace zefra::io {
namespace {

using model::LabelProject;
using testing::TempDir;
using testing::V102Frame;
using testing::v102File;
using testing::writeBytes;

std::unique_ptr<LabelProject> readOld(const std::vector<std::uint8_t>& bytes, std::int16_t designDpiBefore = 111) {
  auto project = std::make_unique<LabelProject>();
  project->settings.designDpi = designDpiBefore;
  project->frame(1).designDpi = designDpiBefore;
  project->clear();
  LblReadResult result = readLbl(bytes, *project, "/some/folder/old.lbl");
  EXPECT_EQ(result.format, LblFormat::V102);
  EXPECT_EQ(result.warning,
            "The file old.lbl has been created with Zefra 1.02. Probably, it will be displayed with some distortions.");
  return project;
}

TEST(LblV102, EveryNamedFieldLandsInItsPlace) {
  V102Frame f;
  f.delay(250).size(300, 45).backgroundMode(1).borders(1, 2).bevels(3, 7);
  f.webSiteColor(0x00010203).frameColor(0x00112233).gradientColors(0x00445566, 0x00778899);
  f.bevelColors(0x00AABBCC, 0x00DDEEFF).palette(1, 3);
  for (int s = 1; s <= 5; ++s) {
    f.text(s, "text" + std::to_string(s)).fontName(s, "Font" + std::to_string(s)).picture(s, "pic" + std::to_string(s) + ".bmp");
    f.fontSize(s, static_cast<std::uint8_t>(10 + s)).fontStyle(s, 1, 1, 1, 1);
    f.textAt(s, static_cast<std::int16_t>(-s), static_cast<std::int16_t>(2 * s));
    f.pictureAt(s, static_cast<std::int16_t>(100 + s), static_cast<std::int16_t>(-200 - s));
    f.fontColor(s, 0x00010000u * s).text3DColor(s, 0x00000100u * s);
  }
  auto project = readOld(v102File({f}));
  ASSERT_EQ(project->frameCount, 1);
  const auto& r = project->frame(1);
  EXPECT_EQ(r.delayMs, 250);
  EXPECT_EQ(r.width, 300);
  EXPECT_EQ(r.height, 45);
  EXPECT_EQ(r.gradientOn, 1);
  EXPECT_EQ(project->settings.transparent, 0);
  EXPECT_EQ(r.borderInnerStyle, 1);
  EXPECT_EQ(r.borderOuterStyle, 2);
  EXPECT_EQ(r.bordersOn, 1);
  EXPECT_EQ(r.borderWidth, 0);
  EXPECT_EQ(r.bevelWidth, 7);  // the larger of the two
  EXPECT_EQ(r.webSiteColor, 0x00010203u);
  EXPECT_EQ(r.frameColor, 0x00112233u);
  EXPECT_EQ(project->settings.transparentColor, 0x00112233u);
  EXPECT_EQ(r.gradientColor1, 0x00445566u);
  EXPECT_EQ(r.gradientColor2, 0x00778899u);
  EXPECT_EQ(r.highlightColor, 0x00AABBCCu);
  EXPECT_EQ(r.shadowColor, 0x00DDEEFFu);
  EXPECT_EQ(project->settings.paletteKind, 1);
  EXPECT_EQ(project->settings.colorCountIndex, 3);
  for (int s = 1; s <= 5; ++s) {
    const int i = s - 1;
    EXPECT_EQ(r.text[i].view(), "text" + std::to_string(s));
    EXPECT_EQ(r.fontName[i].view(), "Font" + std::to_string(s));
    EXPECT_EQ(r.pictureFile[i].view(), "pic" + std::to_string(s) + ".bmp");
    EXPECT_EQ(r.fontSize[i], 10 + s);
    EXPECT_EQ(r.fontUnderline[i] + r.fontStrikeOut[i] + r.fontBold[i] + r.fontItalic[i], 4);
    EXPECT_EQ(r.textX[i], -s);
    EXPECT_EQ(r.textY[i], 2 * s);
    EXPECT_EQ(r.pictureX[i], 100 + s);
    EXPECT_EQ(r.pictureY[i], -200 - s);
    EXPECT_EQ(r.fontColor[i], 0x00010000u * s);
    EXPECT_EQ(r.text3DColor[i], 0x00000100u * s);
    // What the old program did not have.
    EXPECT_EQ(r.textGradientOn[i], 0);
    EXPECT_EQ(r.textGradientKind[i], 0);
    EXPECT_EQ(r.textGradientColor1[i], 0u);
    EXPECT_EQ(r.textGradientColor2[i], 0u);
    EXPECT_EQ(r.textBorderWidth[i], 2);
    EXPECT_EQ(r.viewAngle[i], 60);
    EXPECT_EQ(r.shadowDarkness[i], 0);
  }
  // Slots 6..10, shapes, textures and the rest stay cleared.
  for (int i = 5; i < model::kSlots; ++i) {
    EXPECT_TRUE(r.text[i].empty());
    EXPECT_TRUE(r.pictureFile[i].empty());
    EXPECT_EQ(r.fontSize[i], 0);
  }
  for (int i = 0; i < model::kSlots; ++i) {
    EXPECT_EQ(r.shapeStyle[i], 0);
    EXPECT_TRUE(r.textureFile[i].empty());
  }
  EXPECT_EQ(r.gradientStyle, 0);
  EXPECT_EQ(r.borderColor, 0u);
  // The file has no design DPI: the value in place stays.
  EXPECT_EQ(project->settings.designDpi, 111);
}

TEST(LblV102, BorderStylesAboveRaisedBecomeInset) {
  auto project = readOld(v102File({V102Frame().borders(3, 0), V102Frame().borders(0, 0), V102Frame().borders(0, 200),
                                   V102Frame().borders(2, 2)}));
  ASSERT_EQ(project->frameCount, 4);
  EXPECT_EQ(project->frame(1).borderInnerStyle, 1);
  EXPECT_EQ(project->frame(1).borderOuterStyle, 0);
  EXPECT_EQ(project->frame(1).bordersOn, 1);
  EXPECT_EQ(project->frame(2).bordersOn, 0);
  EXPECT_EQ(project->frame(3).borderOuterStyle, 1);
  EXPECT_EQ(project->frame(3).bordersOn, 1);
  EXPECT_EQ(project->frame(4).borderInnerStyle, 2);
  EXPECT_EQ(project->frame(4).borderOuterStyle, 2);
}

TEST(LblV102, FirstRecordDecidesTransparencyAndPalette) {
  auto transparentFirst =
      readOld(v102File({V102Frame().backgroundMode(2).frameColor(0x00ABCDEF).palette(2, 5),
                        V102Frame().backgroundMode(0).frameColor(0x00000001).palette(0, 0)}));
  EXPECT_EQ(transparentFirst->settings.transparent, 1);
  EXPECT_EQ(transparentFirst->settings.transparentColor, 0x00ABCDEFu);
  EXPECT_EQ(transparentFirst->settings.paletteKind, 2);
  EXPECT_EQ(transparentFirst->settings.colorCountIndex, 5);
  EXPECT_EQ(transparentFirst->frame(1).gradientOn, 0);

  auto transparentSecond = readOld(v102File({V102Frame().backgroundMode(1), V102Frame().backgroundMode(2)}));
  EXPECT_EQ(transparentSecond->settings.transparent, 0);
  EXPECT_EQ(transparentSecond->frame(1).gradientOn, 1);
}

TEST(LblV102, OnlyAStyleByteOfExactlyOneSwitchesAStyleOn) {
  auto project = readOld(v102File({V102Frame().fontStyle(1, 2, 255, 1, 0).fontStyle(5, 0, 1, 7, 1)}));
  const auto& r = project->frame(1);
  EXPECT_EQ(r.fontUnderline[0], 0);
  EXPECT_EQ(r.fontStrikeOut[0], 0);
  EXPECT_EQ(r.fontBold[0], 1);
  EXPECT_EQ(r.fontItalic[0], 0);
  EXPECT_EQ(r.fontStrikeOut[4], 1);
  EXPECT_EQ(r.fontBold[4], 0);
  EXPECT_EQ(r.fontItalic[4], 1);
}

TEST(LblV102, BadCountsAndShortFilesFail) {
  auto project = std::make_unique<LabelProject>();
  EXPECT_FALSE(readOldLbl(v102File({V102Frame()}, 0), *project));
  EXPECT_FALSE(readOldLbl(v102File({V102Frame()}, 128), *project));
  EXPECT_FALSE(readOldLbl(v102File({V102Frame()}, 2), *project));
  auto cut = v102File({V102Frame(), V102Frame()});
  cut.pop_back();
  EXPECT_FALSE(readOldLbl(cut, *project));
  EXPECT_TRUE(readOldLbl(v102File({V102Frame(), V102Frame()}), *project));

  TempDir dir;
  writeBytes(dir / "cut.lbl", cut);
  project->clear();
  EXPECT_THROW(readLblFile(dir / "cut.lbl", *project), LblReadError);
}

TEST(LblV102, ExtraBytesAfterTheLastRecordAreIgnored) {
  auto bytes = v102File({V102Frame().delay(40), V102Frame().delay(50)});
  bytes.resize(bytes.size() + 1000, 0xFF);
  auto project = readOld(bytes);
  EXPECT_EQ(project->frameCount, 2);
  EXPECT_EQ(project->frame(2).delayMs, 50);
}

}  // namespace
}  // namespace zefra::io
