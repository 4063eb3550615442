// The project model: the cleared state, the New values, and where the project-wide
// settings live.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "model/label_project.h"

namespace zefra::model {
namespace {

std::unique_ptr<LabelProject> filledWith(std::uint8_t value) {
  auto project = std::make_unique<LabelProject>();
  for (auto& record : project->records) std::memset(reinterpret_cast<std::uint8_t*>(&record), value, sizeof record);
  return project;
}

const std::uint8_t* bytesOf(const FrameRecord& record) { return reinterpret_cast<const std::uint8_t*>(&record); }

TEST(LabelProjectClear, ZeroesFieldsButKeepsSignatureDesignDpiAndPads) {
  auto project = filledWith(0xA5);
  project->frameCount = 9;
  project->settings.designDpi = 144;
  project->settings.transparent = 1;
  project->settings.paletteKind = 2;
  project->loadedPictureFile[3] = "/tmp/x.bmp";
  project->clear();

  // Pad ranges of the record, by offset and size.
  const std::pair<std::size_t, std::size_t> pads[] = {{5, 1},    {10, 2},    {25, 3},    {34, 2},
                                                      {49, 3},   {5466, 2},  {10758, 2}, {10810, 2}};
  auto isKept = [&](std::size_t offset) {
    if (offset < 4) return true;                    // signature
    if (offset == 6 || offset == 7) return true;    // designDpi
    for (auto [start, size] : pads)
      if (offset >= start && offset < start + size) return true;
    return false;
  };
  for (int k = 1; k <= kMaxFrames; ++k) {
    const std::uint8_t* raw = bytesOf(project->frame(k));
    for (std::size_t i = 0; i < kFrameRecordSize; ++i) {
      const std::uint8_t expected = i == 4 ? 1 : (isKept(i) ? 0xA5 : 0);
      ASSERT_EQ(raw[i], expected) << "frame " << k << " offset " << i;
    }
  }
  EXPECT_EQ(project->frameCount, 1);
  EXPECT_EQ(project->settings.designDpi, 144);
  EXPECT_EQ(project->settings.transparent, 0);
  EXPECT_EQ(project->settings.paletteKind, 0);
  EXPECT_TRUE(project->loadedPictureFile[3].empty());
}

TEST(LabelProjectNew, FrameOneGetsTheNewValues) {
  auto project = filledWith(0x3C);
  project->screenDpi = 120;
  project->lockFrames = false;
  project->currentFrame = 5;
  project->currentText = 4;
  project->clear();
  project->applyNewDefaults();

  EXPECT_EQ(project->frameCount, 1);
  EXPECT_EQ(project->currentFrame, 1);
  EXPECT_EQ(project->currentText, 1);
  EXPECT_TRUE(project->lockFrames);
  EXPECT_EQ(project->settings, (ProjectSettings{0, rgb(136, 136, 136), 0, 0, 120}));

  const FrameRecord& f = project->frame(1);
  EXPECT_EQ(f.designDpi, 120);
  EXPECT_EQ(f.delayMs, 100);
  EXPECT_EQ(f.webSiteColor, 0x00AAAA00u);  // RGB(0,170,170): blue and green
  EXPECT_EQ(f.frameColor, 0x00888888u);
  EXPECT_EQ(f.width, 468);
  EXPECT_EQ(f.height, 60);
  EXPECT_EQ(f.gradientColor1, 0x008700FFu);  // RGB(255,0,135)
  EXPECT_EQ(f.gradientColor2, 0x00FF0000u);  // RGB(0,0,255)
  EXPECT_EQ(f.borderInnerStyle, 1);
  EXPECT_EQ(f.borderOuterStyle, 2);
  EXPECT_EQ(f.bevelWidth, 1);
  EXPECT_EQ(f.highlightColor, 0x00D8D8D8u);
  EXPECT_EQ(f.shadowColor, 0x005A5A5Au);
  for (int i = 0; i < kSlots; ++i) {
    EXPECT_TRUE(f.text[i].empty());
    EXPECT_EQ(f.fontName[i].view(), "Arial");
    EXPECT_EQ(f.fontSize[i], 26);
    EXPECT_EQ(f.textGradientOn[i], 1);
    EXPECT_EQ(f.textGradientColor1[i], 0x000000FFu);
    EXPECT_EQ(f.textGradientColor2[i], 0x0000FFFFu);
    EXPECT_EQ(f.viewAngle[i], 60);
    EXPECT_EQ(f.textBorderWidth[i], 2);
    EXPECT_EQ(f.shadowDarkness[i], 70);
    EXPECT_EQ(f.text3DColor[i], 0x0000FF00u);
    EXPECT_EQ(f.shapeStyle[i], 0);
    EXPECT_EQ(f.shapeWidth[i], 40);
    EXPECT_EQ(f.shapeHeight[i], 20);
    EXPECT_EQ(f.shapeFillColor[i], 0x00FFFFFFu);
    EXPECT_EQ(f.shapeBorderWidth[i], 1);
    EXPECT_EQ(f.shapeBorderColor[i], 0x00FF0000u);
  }
  // Fields the table leaves out are zero; frame 2 is only cleared.
  EXPECT_EQ(f.gradientOn, 0);
  EXPECT_EQ(f.borderColor, rgb(136, 136, 136));
  EXPECT_EQ(project->frame(2).delayMs, 0);
  EXPECT_EQ(project->frame(2).fontName[0].length, 0);
  // From an all-zero array (signature and pads zero) New gives exactly newFrameRecord.
  auto zero = std::make_unique<LabelProject>();
  zero->screenDpi = 120;
  zero->clear();
  zero->applyNewDefaults();
  const FrameRecord fresh = newFrameRecord(120);
  EXPECT_EQ(std::memcmp(&fresh, &zero->frame(1), kFrameRecordSize), 0);
}

TEST(LabelProjectSettings, TravelThroughTheFrameOneOnlyFieldsOfRecordOne) {
  auto project = std::make_unique<LabelProject>();
  project->frameCount = 3;
  project->settings = {1, 0x00102030, 1, 5, 72};
  project->storeSettingsInRecord1();
  const FrameRecord& first = project->frame(1);
  EXPECT_EQ(std::memcmp(first.signature, "\x05LB1", 4), 0);
  EXPECT_EQ(first.frameCount, 3);
  EXPECT_EQ(first.transparent, 1);
  EXPECT_EQ(first.transparentColor, 0x00102030u);
  EXPECT_EQ(first.paletteKind, 1);
  EXPECT_EQ(first.colorCountIndex, 5);
  EXPECT_EQ(first.designDpi, 72);
  EXPECT_EQ(project->frame(2).transparent, 0) << "only record 1 carries them";

  project->settings = {};
  project->takeSettingsFromRecord1();
  EXPECT_EQ(project->settings, (ProjectSettings{1, 0x00102030, 1, 5, 72}));
}

TEST(LabelProjectAccess, FramesAreNumberedFromOneToTheArraySize) {
  auto project = std::make_unique<LabelProject>();
  EXPECT_EQ(&project->frame(1), &project->records[0]);
  EXPECT_EQ(&project->frame(127), &project->records[126]);
  EXPECT_THROW(project->frame(0), std::out_of_range);
  EXPECT_THROW(project->frame(128), std::out_of_range);
  EXPECT_EQ(sizeof(project->records), 1378204u);
}

TEST(String255, CutsAt255AndComparesOnlyTheCountedBytes) {
  String255 a(std::string(300, 'x'));
  EXPECT_EQ(a.length, 255);
  EXPECT_EQ(a.view(), std::string(255, 'x'));

  String255 b("abc");
  String255 c("abcdef");
  c = "abc";  // leaves "def" behind the length, which does not count
  EXPECT_EQ(c.chars[3], 'd');
  EXPECT_EQ(b, c);
  EXPECT_FALSE(b == String255("abd"));
  EXPECT_TRUE(String255().empty());
}

}  // namespace
}  // namespace zefra::model
