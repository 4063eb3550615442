// "Set Color as Transparent" on a cell of the global palette: the colour of a cell is
// usually one the palette builder made up (no drawn pixel has it), and the GIF exported
// with it as the transparent colour must leave out exactly the pixels the opaque GIF
// showed in it, every other pixel as it was. Both GIFs are read back with Zefra's reader.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "gif/frame_composer.h"
#include "gif/gif_image.h"
#include "render/text_layer_renderer.h"

namespace zefra::exporter {
namespace {

// The screens a viewer shows, in order, a screen equal to the one before counted once.
std::vector<gif::RgbaImage> shownScreens(const gif::GifImage& written) {
  gif::GifImage image;
  const std::vector<std::uint8_t> bytes = written.saveToBytes();
  image.loadFromBytes(bytes);
  const gif::FrameComposer composer(image, gif::PlaybackOptions{}, image.frames().count());
  std::vector<gif::RgbaImage> screens;
  gif::RgbaImage canvas = composer.blank();
  for (int f = 0; f < composer.frameCount(); ++f) {
    const gif::RgbaImage before = canvas;
    composer.draw(f, canvas);
    if (screens.empty() || !(screens.back() == canvas)) screens.push_back(canvas);
    composer.dispose(f, before, canvas);
  }
  return screens;
}

Color colourAt(const gif::RgbaImage& screen, int x, int y) {
  const std::uint8_t* p = screen.pixel(x, y);
  return rgb(p[0], p[1], p[2]);
}

struct Banner {
  editor::Editor editor{std::string(ZEFRA_SOURCE_DIR "/demo/"), 96};
  explicit Banner(const char* name) {
    if (!editor.load(std::string(ZEFRA_SOURCE_DIR "/demo/") + name).ok) throw std::runtime_error(name);
  }
  const model::LabelProject& project() const { return editor.project(); }
  // Every colour the frames are drawn with.
  std::set<Color> drawnColours() const {
    render::TextLayerRenderer texts(project().screenDpi > 0 ? project().screenDpi : 96);
    ProjectRenderer renderer(project(), &texts);
    std::set<Color> colours;
    for (int k = 1; k <= project().frameCount; ++k) {
      const raster::FastBitmap frame = renderer.render(k);
      for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) colours.insert(frame.pixel(x, y) & 0xFFFFFF);
    }
    return colours;
  }
};

// The most shown palette colour that no drawn pixel has.
std::optional<Color> quantisedCellColour(const std::vector<gif::RgbaImage>& screens, const std::set<Color>& drawn) {
  std::map<Color, std::uint64_t> shown;
  for (const gif::RgbaImage& s : screens)
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) ++shown[colourAt(s, x, y)];
  std::optional<Color> best;
  std::uint64_t most = 0;
  for (const auto& [colour, count] : shown) {
    if (drawn.count(colour) == 0 && count > most) {
      best = colour;
      most = count;
    }
  }
  return best;
}

// Every pixel the opaque screens show in `cell` is transparent in the other screens, and
// every other pixel shows the opaque colour.
void expectOnlyCellCleared(const std::vector<gif::RgbaImage>& opaque, const std::vector<gif::RgbaImage>& clear,
                           Color cell) {
  ASSERT_EQ(opaque.size(), clear.size());
  std::uint64_t cleared = 0, wrong = 0, recoloured = 0;
  for (std::size_t i = 0; i < opaque.size(); ++i) {
    ASSERT_EQ(opaque[i].width, clear[i].width);
    for (int y = 0; y < opaque[i].height; ++y) {
      for (int x = 0; x < opaque[i].width; ++x) {
        const bool wasCell = colourAt(opaque[i], x, y) == cell;
        const bool isClear = clear[i].pixel(x, y)[3] == 0;
        if (wasCell != isClear) ++wrong;
        else if (isClear) ++cleared;
        else if (colourAt(clear[i], x, y) != colourAt(opaque[i], x, y)) ++recoloured;
      }
    }
  }
  EXPECT_GT(cleared, 0u);
  EXPECT_EQ(wrong, 0u) << "pixels transparent that were not shown in the cell's colour, or the reverse";
  EXPECT_EQ(recoloured, 0u) << "opaque pixels whose colour changed";
}

TEST(TransparentCell, QuantisedCellColourClearsExactlyThePixelsShownInIt) {
  for (const char* name : {"zefra-banner.lbl", "picture-banner.lbl"})
  for (const ExportMethod method : {ExportMethod::Standard, ExportMethod::Classic}) {
    SCOPED_TRACE(std::string(name) + (method == ExportMethod::Classic ? ", classic" : ", standard"));
    const Banner banner(name);
    ExportSettings settings = exportSettingsOf(banner.project());
    settings.method = method;
    settings.transparent = false;
    gif::GifImage opaqueImage;
    exportProject(banner.project(), settings, opaqueImage);
    const std::vector<gif::RgbaImage> opaque = shownScreens(opaqueImage);
    const std::optional<Color> cell = quantisedCellColour(opaque, banner.drawnColours());
    ASSERT_TRUE(cell.has_value()) << "every colour shown is drawn exactly";
    EXPECT_GE(opaqueImage.globalTable().find(*cell), 0);

    settings.transparent = true;
    settings.transparentColor = *cell;
    gif::GifImage clearImage;
    const ProjectExport exported = exportProject(banner.project(), settings, clearImage);
    expectOnlyCellCleared(opaque, shownScreens(clearImage), *cell);
    EXPECT_TRUE(transparencyWarnings(settings, exported).empty());
  }
}

TEST(TransparentCell, DrawnColourStaysExactAndAnAbsentOneIsReported) {
  const Banner banner("shapes-and-texts.lbl");
  ExportSettings settings = exportSettingsOf(banner.project());
  settings.transparent = false;
  gif::GifImage opaqueImage;
  exportProject(banner.project(), settings, opaqueImage);
  const std::vector<gif::RgbaImage> opaque = shownScreens(opaqueImage);
  // A colour drawn exactly and kept exactly by the palette: its pixels, and only they.
  const std::set<Color> drawn = banner.drawnColours();
  std::optional<Color> exact;
  for (int i = 0; i < opaqueImage.globalTable().count() && !exact; ++i) {
    const Color c = opaqueImage.globalTable().entryColor(i) & 0xFFFFFF;
    if (drawn.count(c)) exact = c;
  }
  ASSERT_TRUE(exact.has_value());
  settings.transparent = true;
  settings.transparentColor = *exact;
  gif::GifImage clearImage;
  ProjectExport exported = exportProject(banner.project(), settings, clearImage);
  expectOnlyCellCleared(opaque, shownScreens(clearImage), *exact);
  EXPECT_TRUE(transparencyWarnings(settings, exported).empty());

  // A colour neither drawn nor in the palette: nothing is transparent, and the user is told.
  settings.transparentColor = rgb(1, 2, 3);
  exported = exportProject(banner.project(), settings, clearImage);
  EXPECT_EQ(exported.details.transparentPixels, 0u);
  const std::vector<std::string> warnings = transparencyWarnings(settings, exported);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "#010203 does not occur in the banner; nothing is transparent");
}

}  // namespace
}  // namespace zefra::exporter
