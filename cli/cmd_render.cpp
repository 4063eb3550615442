// zefra-cli render FILE.lbl OUT.png [--frame N]: one frame exactly as the canvas shows it.
#include <iostream>
#include <memory>
#include <string>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "project_input.h"
#include "io/png_writer.h"
#include "model/label_project.h"
#include "render/frame_canvas.h"
#include "render/text_layer_renderer.h"

namespace zefra::cli {
namespace {

int parseFrame(const std::string& text) {
  std::size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    throw UsageError{"--frame expects a frame number, not \"" + text + "\""};
  }
  if (used != text.size()) throw UsageError{"--frame expects a frame number, not \"" + text + "\""};
  return value;
}

int runRender(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {{"frame", true}, {"strict"}});
  expectPositional(parsed, 2, 2, "a project file and an output PNG file (- for standard output)");
  const std::string& input = parsed.positional[0];
  const std::string& output = parsed.positional[1];
  const int frame = parsed.has("frame") ? parseFrame(*parsed.value("frame")) : 1;
  checkOutputFile(output, {input});

  std::string warning;
  auto project = loadProjectForDrawing(input, warning);
  // The pictures and textures are inputs too: none of them may be replaced.
  std::vector<std::string> inputs = filesReadBy(*project);
  inputs.push_back(input);
  checkOutputFile(output, inputs);
  if (!warning.empty()) std::cerr << "zefra-cli render: " << warning << "\n";
  if (frame < 1 || frame > project->frameCount) {
    throw UsageError{"frame " + std::to_string(frame) + " does not exist (the project has " +
                     std::to_string(project->frameCount) + ")"};
  }
  const render::CanvasSettings settings = render::canvasSettingsFor(*project);
  render::FrameCanvas canvas(settings);
  render::TextLayerRenderer texts(settings.screenDpi);
  canvas.setTextLayerPainter(&texts);
  const render::LayoutReport report = canvas.draw(project->frame(frame));
  for (const render::LoadFailure& f : report.failures) {
    std::cerr << "zefra-cli render: " << (parsed.has("strict") ? "error" : "warning") << ": frame " << frame << ", "
              << (f.kind == render::CanvasObjectKind::Picture ? "picture " : "texture of text ") << f.slot << ": "
              << f.file << ": " << f.message << "\n";
  }
  if (parsed.has("strict") && !report.failures.empty()) throw std::runtime_error("files missing or unreadable (--strict)");
  if (canvas.bitmap().empty()) throw std::runtime_error("the frame has no pixels");
  if (isStandardOutput(output)) {
    writeStandardOutput(io::encodePng(canvas.bitmap()));
    return 0;
  }
  io::writePngFile(canvas.bitmap(), output);
  return 0;
}

const CommandRegistration registration{Command{
    "render",
    "render FILE.lbl OUT.png|- [--frame N] [--strict]",
    "Draw one frame (default 1) exactly as the canvas shows it, width x height pixels, and write it as a PNG file "
    "(- for standard output). A picture or texture that cannot be read is named in a warning; --strict makes it an error.",
    runRender,
}};

}  // namespace
}  // namespace zefra::cli
