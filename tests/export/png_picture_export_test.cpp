// A PNG picture with alpha in a transparent export: what shows through the picture's clear
// parts is the label, so where the label has the transparent colour the GIF is
// transparent there too, while the picture's opaque and half-covered pixels stay opaque in
// their drawn colours. Both export methods; the GIF is read back with Zefra's reader.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "export/export_settings.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "gif/frame_composer.h"
#include "gif/gif_image.h"
#include "io/lbl_test_files.h"
#include "io/png_test_bytes.h"
#include "model/label_project.h"

namespace zefra::exporter {
namespace {

gif::RgbaImage firstScreen(const gif::GifImage& written) {
  gif::GifImage image;
  image.loadFromBytes(written.saveToBytes());
  const gif::FrameComposer composer(image, gif::PlaybackOptions{}, 1);
  gif::RgbaImage screen = composer.blank();
  composer.draw(0, screen);
  return screen;
}

TEST(PngPictureExport, ClearPartsShowTheTransparentLabelAndTheRestKeepsItsColours) {
  zefra::testing::TempDir temp;
  // 8 x 4: two clear columns, red, half-covering blue, green, two at a time.
  const int alphas[4] = {0, 255, 128, 255};
  const std::uint16_t colours[4][3] = {{200, 0, 200}, {255, 0, 0}, {0, 0, 255}, {0, 160, 0}};
  std::vector<std::uint16_t> samples;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      const int band = x / 2;
      samples.insert(samples.end(), {colours[band][0], colours[band][1], colours[band][2], static_cast<std::uint16_t>(alphas[band])});
    }
  const std::filesystem::path file = temp.path / "logo.png";
  const std::vector<std::uint8_t> png = zefra::testing::pngBytes({8, 4, 8, 6, samples, {}, {}, {}});
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));

  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  model::FrameRecord& frame = project->frame(1);
  frame.pictureFile[0].assign(file.string());
  frame.pictureX[0] = 100;
  frame.pictureY[0] = 20;
  const Color labelColour = frame.frameColor;
  project->settings.transparent = 1;
  project->settings.transparentColor = labelColour;

  const raster::FastBitmap drawn = ProjectRenderer(*project, nullptr).render(1);
  const Color blended = rgb((136 * 127 + 127) / 255, (136 * 127 + 127) / 255, (255 * 128 + 136 * 127 + 127) / 255);
  ASSERT_EQ(labelColour, rgb(136, 136, 136));
  ASSERT_EQ(drawn.pixel(104, 21), blended);

  for (const ExportMethod method : {ExportMethod::Standard, ExportMethod::Classic}) {
    SCOPED_TRACE(method == ExportMethod::Classic ? "classic" : "standard");
    ExportSettings settings = exportSettingsOf(*project);
    ASSERT_TRUE(settings.transparent);
    settings.method = method;
    gif::GifImage image;
    const ProjectExport exported = exportProject(*project, settings, image);
    EXPECT_TRUE(exported.failures.empty());
    const gif::RgbaImage screen = firstScreen(image);
    int wrong = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) {
        const std::uint8_t* p = screen.pixel(x, y);
        const bool clear = p[3] == 0;
        if (clear != (drawn.pixel(x, y) == labelColour) || (!clear && rgb(p[0], p[1], p[2]) != drawn.pixel(x, y))) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << "pixels whose transparency or colour differs from the drawn frame";
    EXPECT_EQ(screen.pixel(100, 20)[3], 0) << "the picture's clear part";
    EXPECT_EQ(screen.pixel(102, 20)[3], 255);
    EXPECT_EQ(screen.pixel(104, 23)[3], 255) << "a half-covered pixel is no longer the transparent colour";
  }
}

}  // namespace
}  // namespace zefra::exporter
