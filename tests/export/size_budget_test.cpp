// Exporting into a file size: fewer colours first, then fewer briefly shown frames, the
// animation's length kept, and the smallest reachable size when nothing fits.
#include "export/size_budget.h"

#include <gtest/gtest.h>

#include <memory>

#include "export/project_renderer.h"
#include "gif/graphic_control_extension.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

TEST(SizeBudgetTest, SizesAreReadInBytesKilobytesAndMegabytes) {
  EXPECT_EQ(parseByteSize("150000"), 150000u);
  EXPECT_EQ(parseByteSize("150K"), 150u * 1024);
  EXPECT_EQ(parseByteSize("2k"), 2048u);
  EXPECT_EQ(parseByteSize("1M"), 1024u * 1024);
  for (const char* bad : {"", "0", "0K", "K", "1G", "-5", "1.5M", "12 K", "99999999999999999"})
    EXPECT_FALSE(parseByteSize(bad).has_value()) << bad;
}

// A gradient with a shape running across it: 9 quick frames and one long pause.
std::unique_ptr<model::LabelProject> runner() {
  auto p = std::make_unique<model::LabelProject>();
  p->clear();
  p->applyNewDefaults();
  p->screenDpi = 96;
  model::FrameRecord& f = p->frame(1);
  f.width = 160;
  f.height = 40;
  f.gradientOn = 1;
  f.gradientColor1 = rgb(250, 30, 30);
  f.gradientColor2 = rgb(20, 40, 250);
  f.shapeStyle[0] = 1;
  f.shapeWidth[0] = 20;
  f.shapeHeight[0] = 20;
  f.shapeY[0] = 10;
  f.shapeFillColor[0] = rgb(250, 250, 0);
  p->frameCount = 10;
  for (int i = 1; i <= 10; ++i) {
    if (i > 1) p->frame(i) = f;
    p->frame(i).shapeX[0] = static_cast<std::int16_t>(14 * i);
    p->frame(i).delayMs = i == 6 ? 1000 : 60;
  }
  return p;
}

int totalDelayCs(const gif::GifImage& image) {
  int total = 0;
  for (const auto& frame : image.frames())
    if (frame->graphicControl) total += frame->graphicControl->delayCs();
  return total;
}

TEST(SizeBudgetTest, ChoosesTheBestExportThatFitsAndSaysWhatChanged) {
  auto project = runner();
  ProjectRenderer renderer(*project, nullptr);
  const FrameSource frames = [&](int i) { return renderer.render(i); };
  const ExportSettings settings = exportSettingsOf(*project);

  gif::GifImage full;
  const BudgetChoice roomy = exportWithinBudget(*project, settings, frames, 10'000'000, full);
  ASSERT_TRUE(roomy.fits);
  EXPECT_EQ(roomy.colors, 256);
  EXPECT_TRUE(roomy.droppedFrames.empty());
  EXPECT_EQ(roomy.bytes, full.saveToBytes().size());
  EXPECT_EQ(describeChoice(roomy, settings), "the project's colours, every frame");

  // Just below the full export: fewer colours, still every frame.
  gif::GifImage fewer;
  const BudgetChoice tighter = exportWithinBudget(*project, settings, frames, roomy.bytes - 1, fewer);
  ASSERT_TRUE(tighter.fits);
  EXPECT_LT(tighter.colors, 256);
  EXPECT_TRUE(tighter.droppedFrames.empty());
  EXPECT_LE(fewer.saveToBytes().size(), roomy.bytes - 1);

  // Nothing fits in 10 bytes: the smallest export is kept and described.
  gif::GifImage smallest;
  const BudgetChoice none = exportWithinBudget(*project, settings, frames, 10, smallest);
  EXPECT_FALSE(none.fits);
  EXPECT_EQ(none.bytes, smallest.saveToBytes().size());
  EXPECT_EQ(none.colors, 8);
  ASSERT_FALSE(none.droppedFrames.empty());
  // Never the first frame, never the long pause; the animation keeps its length.
  for (int frame : none.droppedFrames) {
    EXPECT_NE(frame, 1);
    EXPECT_NE(frame, 6);
  }
  EXPECT_EQ(totalDelayCs(smallest), totalDelayCs(full));
  EXPECT_LT(none.bytes, tighter.bytes);
  EXPECT_NE(describeChoice(none, settings).find("8 colours; frames 2, "), std::string::npos)
      << describeChoice(none, settings);
}

}  // namespace
}  // namespace zefra::exporter
