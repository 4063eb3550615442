// zefra-cli new OUT.lbl [--size WxH]: writes a new project with the defaults of the New
// command, at another size when asked (an ad slot's, say).
#include <iostream>
#include <optional>
#include <stdexcept>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "editor/app_dir.h"
#include "editor/banner_resize.h"
#include "editor/editor.h"
#include "editor/panel_rules.h"

namespace zefra::cli {
namespace {

// Without a display there is no screen density; 96 is the common desktop value.
constexpr std::int16_t kCliScreenDpi = 96;

int runNew(const CommandArgs& rawArgs) {
  const ParsedArgs parsed = parseArgs(rawArgs, {{"size", true}});
  expectPositional(parsed, 1, 1, "exactly one output file");
  const CommandArgs& args = parsed.positional;
  std::optional<editor::BannerSize> size;
  if (const auto text = parsed.value("size")) {
    size = editor::parseBannerSize(*text);
    if (!size) throw UsageError{"--size must be WIDTHxHEIGHT within 8192 x 8192 (for example 728x90), not '" + *text + "'"};
  }
  checkOutputFile(args[0], {});
  editor::Editor editor(editor::dataFolder(), kCliScreenDpi);
  if (size) {
    editor.editFrames(editor::EditScope::AllFrames, "Size", [&](model::FrameRecord& f) {
      f.width = static_cast<std::int16_t>(size->width);
      f.height = static_cast<std::int16_t>(size->height);
      editor::fitBorderBand(f);
    });
  }
  const editor::SaveResult saved = editor.saveAs(args[0]);
  if (!saved.ok) throw std::runtime_error(saved.error);
  if (parsed.has("quiet")) return 0;
  std::cout << "Wrote " << args[0] << ": a new project of 1 frame, " << editor.project().frame(1).width << " x "
            << editor.project().frame(1).height << "\n";
  return 0;
}

const CommandRegistration registration{
    {"new", "new OUT.lbl [--size WxH]",
     "Write a new one-frame project with the default settings, 468 x 60 unless --size names "
     "another size (for example 728x90).",
     runNew}};

}  // namespace
}  // namespace zefra::cli
