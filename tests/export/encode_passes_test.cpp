// The standard export has two ways through the same steps: frames kept in memory, drawn
// once on several threads (the usual case), or every frame drawn twice on one thread (an
// animation too large to keep, and the only way before frames were kept). Both must write
// the same bytes for every sample project and every benchmark banner, in every palette
// kind and with transparency.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../../bench/bench_banners.h"
#include "editor/project_file.h"
#include "export/animation_encoder.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "gif/gif_image.h"
#include "model/field_options.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

std::vector<std::uint8_t> exportWith(const model::LabelProject& project, const ExportSettings& settings,
                                     const EncodeOptions& options, EncodeReport& details) {
  gif::GifImage image;
  const ProjectExport result = exportProject(project, settings, image, {}, nullptr, options);
  details = result.details;
  return image.saveToBytes();
}

TEST(EncodePasses, KeptFramesOnTwoThreadsWriteTheBytesOfTwoPassesOnOne) {
  std::vector<bench::NamedBanner> all = bench::demosAndBanners();
  ASSERT_GE(all.size(), 10u);
  EncodeOptions twoPasses;
  twoPasses.frameMemoryBudget = 0;
  twoPasses.threads = 1;
  EncodeOptions keptOnTwo;
  keptOnTwo.threads = 2;
  for (const bench::NamedBanner& c : all) {
    std::vector<std::pair<std::string, ExportSettings>> variants;
    const ExportSettings own = exportSettingsOf(*c.project);
    variants.push_back({"own", own});
    // Every palette kind and transparency on the samples and on one banner of each length.
    if (c.name.rfind("demo-", 0) == 0 || c.name == "banner-127" || c.name == "pictures-12") {
      ExportSettings transparent = own;
      transparent.transparent = true;
      // A colour the first frame shows (without its texts) in the middle of the label.
      ProjectRenderer plain(*c.project, nullptr);
      const raster::FastBitmap first = plain.render(1);
      transparent.transparentColor = first.pixel(first.width() / 2, first.height() / 2);
      variants.push_back({"transparent", transparent});
      ExportSettings cube = own;
      cube.paletteKind = model::PaletteKind::Netscape;
      variants.push_back({"netscape", cube});
      ExportSettings greys = own;
      greys.paletteKind = model::PaletteKind::Grayscale;
      variants.push_back({"grayscale", greys});
      ExportSettings few = own;
      few.paletteKind = model::PaletteKind::Windows;
      few.colorCountIndex = static_cast<std::uint8_t>(model::colorCountIndexOf(16));
      variants.push_back({"16 colours", few});
    }
    for (const auto& [label, settings] : variants) {
      EncodeReport slow, fast;
      const std::vector<std::uint8_t> expected = exportWith(*c.project, settings, twoPasses, slow);
      const std::vector<std::uint8_t> got = exportWith(*c.project, settings, keptOnTwo, fast);
      ASSERT_FALSE(expected.empty());
      EXPECT_TRUE(got == expected) << c.name << " (" << label << "): " << got.size() << " bytes instead of "
                                   << expected.size();
      EXPECT_EQ(fast.framesWritten, slow.framesWritten) << c.name << " (" << label << ")";
      EXPECT_EQ(fast.localTables, slow.localTables) << c.name << " (" << label << ")";
      EXPECT_EQ(fast.transparentPixels, slow.transparentPixels) << c.name << " (" << label << ")";
    }
  }
}

}  // namespace
}  // namespace zefra::exporter
