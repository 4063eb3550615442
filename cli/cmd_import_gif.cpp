// zefra-cli import-gif IN.gif OUT.lbl: appends the frames of an animated GIF to a project
// (a new one when OUT.lbl does not exist yet), as the editor's "Import GIF..." does. The
// frame pictures are written beside OUT.lbl.
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "project_input.h"
#include "editor/app_dir.h"
#include "editor/editor.h"
#include "editor/gif_import.h"

namespace zefra::cli {
namespace {

constexpr std::int16_t kCliScreenDpi = 96;

int runImportGif(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {});
  expectPositional(parsed, 2, 2, "a GIF file and a project file");
  const bool quiet = parsed.has("quiet");
  const std::filesystem::path gif = parsed.positional[0];
  const std::filesystem::path project = parsed.positional[1];

  checkOutputFile(project.string(), {gif.string()});
  editor::Editor editor(editor::executableFolder(), kCliScreenDpi);
  std::error_code ec;
  if (std::filesystem::exists(project, ec)) {
    const editor::LoadResult loaded = editor.load(project);
    if (!loaded.ok) throw std::runtime_error(loadFailure(loaded));
    if (!loaded.warning.empty()) std::cerr << "zefra-cli import-gif: " << loaded.warning << "\n";
  }
  const std::filesystem::path folder = std::filesystem::absolute(project).parent_path();
  const editor::GifImportResult imported = editor::importGif(editor, gif, folder);
  if (!imported.change.applied) throw std::runtime_error(imported.change.message);

  const editor::SaveResult saved = editor.saveAs(project);
  if (!saved.ok) throw std::runtime_error(saved.error);  // names the file already
  if (quiet) return 0;
  const model::FrameRecord& first = editor.project().frame(1);
  const std::size_t count = imported.pictures.size();
  std::cout << "Imported " << count << (count == 1 ? " frame" : " frames") << " from " << gif.string() << "; wrote "
            << project.string() << " with " << static_cast<int>(editor.project().frameCount) << " frames of "
            << first.width << " x " << first.height << "\n";
  for (const std::string& picture : imported.pictures) std::cout << "  " << picture << "\n";
  return 0;
}

const CommandRegistration kRegistration{Command{
    "import-gif", "import-gif IN.gif OUT.lbl",
    "Appends every frame of an animated GIF, as a viewer shows it, to the project OUT.lbl "
    "(created when missing; a new project takes the GIF's size). Each frame's picture is "
    "written beside the project as a BMP named after the GIF and the frame number.",
    runImportGif}};

}  // namespace
}  // namespace zefra::cli
