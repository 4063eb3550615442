// zefra-cli new OUT.lbl: writes a new project with the defaults of the New command.
#include <iostream>
#include <stdexcept>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "editor/app_dir.h"
#include "editor/editor.h"

namespace zefra::cli {
namespace {

// Without a display there is no screen density; 96 is the common desktop value.
constexpr std::int16_t kCliScreenDpi = 96;

int runNew(const CommandArgs& rawArgs) {
  const ParsedArgs parsed = parseArgs(rawArgs, {});
  expectPositional(parsed, 1, 1, "exactly one output file");
  const CommandArgs& args = parsed.positional;
  checkOutputFile(args[0], {});
  editor::Editor editor(editor::dataFolder(), kCliScreenDpi);
  const editor::SaveResult saved = editor.saveAs(args[0]);
  if (!saved.ok) throw std::runtime_error(saved.error);
  if (parsed.has("quiet")) return 0;
  std::cout << "Wrote " << args[0] << ": a new project of 1 frame, " << editor.project().frame(1).width << " x "
            << editor.project().frame(1).height << "\n";
  return 0;
}

const CommandRegistration registration{
    {"new", "new OUT.lbl", "Write a new one-frame project with the default settings.", runNew}};

}  // namespace
}  // namespace zefra::cli
