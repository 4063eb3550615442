// zefra-cli render FILE.lbl OUT.png [--frame N]: one frame exactly as the canvas shows it.
#include <iostream>
#include <memory>
#include <string>

#include "command.h"
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
  std::string input;
  std::string output;
  int frame = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--frame") {
      if (i + 1 >= args.size()) throw UsageError{"--frame needs a frame number"};
      frame = parseFrame(args[++i]);
    } else if (input.empty()) {
      input = args[i];
    } else if (output.empty()) {
      output = args[i];
    } else {
      throw UsageError{"unexpected argument \"" + args[i] + "\""};
    }
  }
  if (input.empty() || output.empty()) throw UsageError{"expects a project file and an output PNG file"};

  std::string warning;
  auto project = loadProjectForDrawing(input, warning);
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
    std::cerr << "zefra-cli render: skipped " << (f.kind == render::CanvasObjectKind::Picture ? "picture " : "texture of text ")
              << f.slot << ": " << f.message << "\n";
  }
  if (canvas.bitmap().empty()) throw std::runtime_error("the frame has no pixels");
  io::writePngFile(canvas.bitmap(), output);
  return 0;
}

const CommandRegistration registration{Command{
    "render",
    "render FILE.lbl OUT.png [--frame N]",
    "Draw one frame (default 1) exactly as the canvas shows it, width x height pixels, and write it as a PNG file.",
    runRender,
}};

}  // namespace
}  // namespace zefra::cli
