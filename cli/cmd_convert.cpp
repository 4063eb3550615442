// zefra-cli convert IN.lbl OUT.lbl: reads either project format and writes the current
// one, the way to upgrade projects of version 1.02.
#include <iostream>
#include <stdexcept>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "project_input.h"
#include "editor/app_dir.h"
#include "editor/editor.h"

namespace zefra::cli {
namespace {

constexpr std::int16_t kCliScreenDpi = 96;

int runConvert(const CommandArgs& rawArgs) {
  const ParsedArgs parsed = parseArgs(rawArgs, {});
  expectPositional(parsed, 2, 2, "an input and an output file");
  const CommandArgs& args = parsed.positional;
  // Converting a project in place is allowed: it is read whole before it is replaced.
  checkOutputFile(args[1], {});
  // The editor starts with a new project, so a 1.02 file (which has no design DPI)
  // takes the DPI of a new project instead of zero.
  editor::Editor editor(editor::dataFolder(), kCliScreenDpi);
  const editor::LoadResult loaded = editor.load(args[0]);
  if (!loaded.ok) throw std::runtime_error(loadFailure(loaded));
  if (!loaded.warning.empty()) std::cerr << editor::kWarningCaption << ": " << loaded.warning << "\n";
  const editor::SaveResult saved = editor.saveAs(args[1]);
  if (!saved.ok) throw std::runtime_error(saved.error);
  if (parsed.has("quiet")) return 0;
  const int frames = editor.project().frameCount;
  std::cout << "Converted " << args[0] << " (" << (loaded.format == io::LblFormat::V102 ? "1.02" : "LB1") << ", "
            << frames << (frames == 1 ? " frame" : " frames") << ") to " << args[1] << " (LB1)\n";
  return 0;
}

const CommandRegistration registration{{"convert", "convert IN.lbl OUT.lbl",
                                        "Read a project (current or 1.02 format) and write it in the current format.",
                                        runConvert}};

}  // namespace
}  // namespace zefra::cli
