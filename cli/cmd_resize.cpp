// zefra-cli resize FILE.lbl --size WxH [--anchor NAME] [-o OUT.lbl]: the banner at another
// size, its content scaled (or kept and anchored), as the editor's "Resize Banner..." does.
#include <iostream>
#include <stdexcept>
#include <string>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "project_input.h"
#include "editor/app_dir.h"
#include "editor/banner_resize.h"
#include "editor/editor.h"
#include "render/text_layer_renderer.h"

namespace zefra::cli {
namespace {

// Without a display there is no screen density; it does not matter for resizing.
constexpr std::int16_t kCliScreenDpi = 96;

std::string anchorList() {
  std::string names;
  for (const editor::Anchor a : editor::allAnchors()) names += (names.empty() ? "" : ", ") + std::string(editor::anchorName(a));
  return names;
}

int runResize(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {{"size", true}, {"anchor", true}, {"output", true, 'o'}});
  expectPositional(parsed, 1, 1, "exactly one project file");
  if (!parsed.has("size")) throw UsageError{"needs --size WxH, the new size (for example 728x90)"};
  const std::optional<editor::BannerSize> size = editor::parseBannerSize(*parsed.value("size"));
  if (!size) throw UsageError{"--size must be WIDTHxHEIGHT within 8192 x 8192 (for example 728x90), not '" + *parsed.value("size") + "'"};
  editor::ResizeRequest request{size->width, size->height, std::nullopt, {}, {}};
  if (const auto name = parsed.value("anchor")) {
    request.anchor = editor::anchorNamed(*name);
    if (!request.anchor) throw UsageError{"--anchor must be one of " + anchorList() + ", not '" + *name + "'"};
  }
  const std::string project = parsed.positional[0];
  const std::string output = parsed.value("output").value_or(project);
  if (output.empty()) throw UsageError{"-o needs a file name"};

  checkOutputFile(output, {});  // in place is the default; a device never
  editor::Editor editor(editor::executableFolder(), kCliScreenDpi);
  const editor::LoadResult loaded = editor.load(project);
  if (!loaded.ok) throw std::runtime_error(loadFailure(loaded));
  if (!loaded.warning.empty()) std::cerr << "zefra-cli resize: " << loaded.warning << "\n";

  // Resampled pictures go beside the project file that is written.
  const std::filesystem::path folder = std::filesystem::absolute(output).parent_path();
  request.pictureFolder = folder;
  request.projectFolder = folder;
  render::TextLayerRenderer texts(kCliScreenDpi);
  request.textMeasure = &texts;
  const int oldWidth = editor.project().frame(1).width;
  const int oldHeight = editor.project().frame(1).height;
  const editor::ResizeOutcome resized = editor::resizeProject(editor, request);
  for (const std::string& note : resized.notes) std::cerr << "zefra-cli resize: warning: " << note << "\n";

  const editor::SaveResult saved = editor.saveAs(output);
  if (!saved.ok) throw std::runtime_error(saved.error);
  if (parsed.has("quiet")) return 0;
  std::cout << "Resized " << project << " from " << oldWidth << " x " << oldHeight << " to " << size->width << " x "
            << size->height;
  if (request.anchor) std::cout << ", content kept at its size, anchored " << editor::anchorName(*request.anchor);
  else std::cout << ", content scaled by " << editor::contentScale(oldWidth, oldHeight, size->width, size->height);
  std::cout << "; wrote " << output << "\n";
  for (const std::string& picture : resized.writtenPictures) std::cout << "Wrote picture " << picture << "\n";
  return 0;
}

const CommandRegistration kRegistration{Command{
    "resize", "resize FILE.lbl --size WxH [--anchor NAME] [-o OUT.lbl]",
    "Changes the banner's size in every frame and saves the project (in place unless -o names "
    "another file). By default the content is scaled by s = min(W'/W, H'/H) and centred: "
    "positions, font sizes, shapes, border widths and pictures (resampled into NAME-WxH.bmp "
    "beside the saved project). --anchor top-left|top|top-right|left|center|right|bottom-left|"
    "bottom|bottom-right keeps every size and moves the content with that anchor instead.",
    runResize}};

}  // namespace
}  // namespace zefra::cli
