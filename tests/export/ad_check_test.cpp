// The ad check on hand-made timings, the play count as a browser reads it, and the loop
// block the export writes for each play count, read back by giflib and Pillow.
#include "export/ad_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "export/export_peer_decoders.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

namespace fs = std::filesystem;

bool mentions(const AdCheck& check, const std::string& words) {
  for (const std::string& rule : check.broken)
    if (rule.find(words) != std::string::npos) return true;
  return false;
}

TEST(AdCheckTest, ALoopForEverBreaksTheTimeAndPlayRules) {
  const GifTiming forEver{{50, 50, 50}, 0};
  const AdCheck iab = checkAd(iabProfile(), 20000, forEver);
  EXPECT_EQ(iab.broken.size(), 2u);
  EXPECT_TRUE(mentions(iab, "without end"));
  EXPECT_TRUE(mentions(iab, "Plays for ever, at most 3"));
  // Google Ads counts no plays, but the time has no end either; 2 fps is fine.
  const AdCheck google = checkAd(googleAdsProfile(), 20000, forEver);
  ASSERT_EQ(google.broken.size(), 1u);
  EXPECT_TRUE(mentions(google, "without end"));
}

TEST(AdCheckTest, ThreePlaysOfFourSecondsMakeTwelveSeconds) {
  const GifTiming timing{{100, 100, 100, 100}, 3};  // 4 s a play
  EXPECT_TRUE(checkAd(iabProfile(), 150 * 1024, timing).passes());
  EXPECT_EQ(adCheckSummary(iabProfile(), checkAd(iabProfile(), 1000, timing)), "Passes IAB");
  // A fourth play: 16 s and one play too many.
  const AdCheck four = checkAd(iabProfile(), 1000, {timing.delaysCs, 4});
  EXPECT_TRUE(mentions(four, "Animation time 16 s (4 s x 4 plays), at most 15 s"));
  EXPECT_TRUE(mentions(four, "Plays 4 times, at most 3"));
  // Eight plays take 32 s: past Google's 30 s.
  EXPECT_TRUE(mentions(checkAd(googleAdsProfile(), 1000, {timing.delaysCs, 8}), "Animation time 32 s"));
  EXPECT_TRUE(checkAd(googleAdsProfile(), 1000, {timing.delaysCs, 7}).passes());
}

TEST(AdCheckTest, SixFramesASecondIsTooFastForGoogle) {
  GifTiming six;
  six.delaysCs.assign(12, 0);
  for (int i = 0; i < 12; ++i) six.delaysCs[static_cast<std::size_t>(i)] = i % 2 ? 17 : 16;  // 12 frames in 1.98 s
  six.plays = 2;
  const AdCheck google = checkAd(googleAdsProfile(), 1000, six);
  ASSERT_EQ(google.broken.size(), 1u);
  EXPECT_TRUE(mentions(google, "Frame rate 6.1 fps on average, at most 5 fps"));
  // IAB has no frame rate rule.
  EXPECT_TRUE(checkAd(iabProfile(), 1000, six).passes());
  // Exactly 5 fps passes; all delays 0 has no rate at all.
  EXPECT_TRUE(checkAd(googleAdsProfile(), 1000, {{20, 20, 20, 20, 20}, 1}).passes());
  EXPECT_TRUE(mentions(checkAd(googleAdsProfile(), 1000, {{0, 0}, 1}), "without limit"));
}

TEST(AdCheckTest, FileSizeAndStillPictures) {
  const AdCheck big = checkAd(iabProfile(), 150 * 1024 + 1, {{100}, 0});
  ASSERT_EQ(big.broken.size(), 1u);  // one frame: no animation rules, only the size
  EXPECT_EQ(big.broken[0], "File size 150 KB (153601 bytes), at most 150 KB");
  EXPECT_TRUE(checkAd(iabProfile(), 150 * 1024, {{100}, 0}).passes());
  AdProfile custom{"Custom", 40 * 1024, 0, 0, 0};
  EXPECT_FALSE(checkAd(custom, 41 * 1024, {{10, 10}, 0}).passes());
  EXPECT_TRUE(checkAd(custom, 40 * 1024, {{10, 10}, 0}).passes());
  EXPECT_EQ(kilobytesText(34378), "33.6 KB");
  EXPECT_EQ(kilobytesText(40 * 1024), "40 KB");
  EXPECT_EQ(adProfileNamed("IAB")->name, "IAB");
  EXPECT_EQ(adProfileNamed("google")->maxAnimationMs, 30000);
  EXPECT_FALSE(adProfileNamed("yahoo"));
}

TEST(PlayCountTest, PlaysBecomeTheLoopCountBrowsersHonour) {
  ExportSettings s;
  EXPECT_EQ(loopBlockCount(s), std::optional<std::uint16_t>(0));  // for ever
  s.plays = 1;
  EXPECT_FALSE(loopBlockCount(s));
  s.plays = 3;
  EXPECT_EQ(loopBlockCount(s), std::optional<std::uint16_t>(2));
  s.plays = 100;
  EXPECT_EQ(loopBlockCount(s), std::optional<std::uint16_t>(99));
  s.loop = false;  // Loop off is one play whatever the count
  EXPECT_FALSE(loopBlockCount(s));
}

class WrittenPlayCount : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zefra_plays_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    scratch = pattern;
    project = std::make_unique<model::LabelProject>();
    project->clear();
    project->applyNewDefaults();
    model::FrameRecord& f = project->frame(1);
    f.width = 40;
    f.height = 20;
    project->frameCount = 3;
    for (int i = 1; i <= 3; ++i) {
      if (i > 1) project->frame(i) = f;
      project->frame(i).frameColor = rgb(static_cast<std::uint8_t>(60 * i), 20, 200);
      project->frame(i).delayMs = 400;
    }
  }
  void TearDown() override { fs::remove_all(scratch); }

  std::string write(int plays, bool classic) {
    ExportSettings settings = exportSettingsOf(*project);
    settings.plays = plays;
    if (classic) settings.method = ExportMethod::Classic;
    gif::GifImage image;
    exportProject(*project, settings, image);
    EXPECT_EQ(timingOf(image).plays, plays);
    const auto bytes = image.saveToBytes();
    const std::string path = (scratch / ("plays" + std::to_string(plays) + ".gif")).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  fs::path scratch;
  std::unique_ptr<model::LabelProject> project;
};

TEST_F(WrittenPlayCount, GiflibAndPillowReadTheLoopCount) {
  const std::string script = std::string(ZEFRA_SOURCE_DIR) + "/tests/export/pillow_frames.py";
  const bool pillow = !testing::pillowPython().empty();
  int peers = 0;
  for (const bool classic : {false, true}) {
    for (const auto& [plays, loopCount] : {std::pair{0, 0}, {1, -1}, {2, 1}, {3, 2}, {100, 99}}) {
      const std::string path = write(plays, classic);
#ifdef ZEFRA_HAVE_GIFLIB
      const testing::PeerDecode g = testing::decodeWithGiflib(path);
      EXPECT_EQ(g.error, "");
      EXPECT_EQ(g.frameCount, 3);
      EXPECT_EQ(g.loopCount, loopCount) << plays << " plays, classic " << classic;
      ++peers;
#endif
      if (pillow) {
        const testing::PeerDecode p = testing::decodeWithPillow(path, scratch.string(), script, 40, 20);
        EXPECT_EQ(p.frameCount, 3);
        EXPECT_EQ(p.loopCount, loopCount) << plays << " plays, classic " << classic;
        ++peers;
      }
    }
  }
  if (peers == 0) GTEST_SKIP() << "neither giflib nor Pillow is installed";
}

}  // namespace
}  // namespace zefra::exporter
