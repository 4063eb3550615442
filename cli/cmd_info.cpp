// zefra-cli info FILE.lbl: what a project holds, without drawing it.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "json_text.h"
#include "options.h"
#include "project_input.h"
#include "common/color_text.h"
#include "model/field_options.h"
#include "io/lbl_reader.h"
#include "model/label_project.h"

namespace zefra::cli {
namespace {

std::string paletteName(std::uint8_t kind) {
  const std::string_view name = model::optionName(model::kPaletteKindNames, kind);
  return name.empty() ? "unknown (" + std::to_string(kind) + ")" : std::string(name);
}

std::string colorCount(std::uint8_t index) {
  const std::optional<int> count = model::colorCountOf(index);
  return count ? std::to_string(*count) : "unknown (" + std::to_string(index) + ")";
}

// "1,3,10" for the slots whose test holds, "-" for none.
template <typename InUse>
std::string slotList(InUse inUse) {
  std::string list;
  for (int slot = 0; slot < model::kSlots; ++slot) {
    if (!inUse(slot)) continue;
    if (!list.empty()) list += ',';
    list += std::to_string(slot + 1);
  }
  return list.empty() ? "-" : list;
}

// Slot numbers (1-based) whose test holds.
template <typename InUse>
std::vector<int> slotNumbers(InUse inUse) {
  std::vector<int> slots;
  for (int slot = 0; slot < model::kSlots; ++slot)
    if (inUse(slot)) slots.push_back(slot + 1);
  return slots;
}

// The same facts as the text form, as one JSON object (shape documented in the README).
void printJson(const std::string& file, const model::LabelProject& project, bool old) {
  const model::FrameRecord& first = project.frame(1);
  const model::ProjectSettings& settings = project.settings;
  const std::optional<int> colors = model::colorCountOf(settings.colorCountIndex);
  std::cout << "{\"file\": " << jsonText(file) << ", \"format\": \"" << (old ? "1.02" : "LB1")
            << "\", \"frames\": " << int{project.frameCount} << ", \"width\": " << first.width
            << ", \"height\": " << first.height
            << ", \"designDpi\": " << (old ? std::string("null") : std::to_string(settings.designDpi))
            << ", \"transparent\": " << (settings.transparent ? "true" : "false")
            << ", \"transparentColor\": " << jsonText(htmlColorText(settings.transparentColor))
            << ", \"palette\": " << jsonText(paletteName(settings.paletteKind))
            << ", \"colors\": " << (colors ? std::to_string(*colors) : std::string("null")) << ",\n \"frameList\": [";
  for (int k = 1; k <= project.frameCount; ++k) {
    const model::FrameRecord& f = project.frame(k);
    std::cout << (k > 1 ? ",\n  " : "\n  ") << "{\"frame\": " << k << ", \"delayMs\": " << f.delayMs
              << ", \"texts\": " << jsonIntArray(slotNumbers([&](int s) { return !f.text[s].empty(); }))
              << ", \"pictures\": " << jsonIntArray(slotNumbers([&](int s) { return !f.pictureFile[s].empty(); }))
              << ", \"shapes\": " << jsonIntArray(slotNumbers([&](int s) { return f.shapeStyle[s] != 0; }))
              << ", \"textures\": " << jsonIntArray(slotNumbers([&](int s) { return !f.textureFile[s].empty(); }))
              << "}";
  }
  std::cout << "]}\n";
}

int runInfo(const CommandArgs& rawArgs) {
  const ParsedArgs parsed = parseArgs(rawArgs, {{"json"}});
  expectPositional(parsed, 1, 1, "exactly one project file");
  const CommandArgs& args = parsed.positional;
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  const io::LblReadResult read = readCommandProject(args[0], *project);
  const bool old = read.format == io::LblFormat::V102;
  const model::FrameRecord& first = project->frame(1);
  const model::ProjectSettings& settings = project->settings;
  if (parsed.has("json")) {
    printJson(args[0], *project, old);
    return 0;
  }

  std::cout << "File: " << args[0] << "\n"
            << "Format: " << (old ? "1.02" : "LB1") << "\n"
            << "Frames: " << int{project->frameCount} << "\n"
            << "Size: " << first.width << " x " << first.height << "\n"
            << "Design DPI: " << (old ? std::string("not stored") : std::to_string(settings.designDpi)) << "\n"
            << "Transparent: " << (settings.transparent ? "yes" : "no") << "\n"
            << "Transparent colour: " << htmlColorText(settings.transparentColor) << "\n"
            << "Palette: " << paletteName(settings.paletteKind) << "\n"
            << "Colours: " << colorCount(settings.colorCountIndex) << "\n";
  for (int k = 1; k <= project->frameCount; ++k) {
    const model::FrameRecord& f = project->frame(k);
    std::cout << "Frame " << k << ": delay " << f.delayMs << " ms"
              << "; texts " << slotList([&](int s) { return !f.text[s].empty(); })
              << "; pictures " << slotList([&](int s) { return !f.pictureFile[s].empty(); })
              << "; shapes " << slotList([&](int s) { return f.shapeStyle[s] != 0; })
              << "; textures " << slotList([&](int s) { return !f.textureFile[s].empty(); }) << "\n";
    // Where each object in use stands, bottom to top as they are drawn.
    for (int s = 0; s < model::kSlots; ++s) {
      const int n = s + 1;
      if (f.shapeStyle[s] != 0) {
        std::cout << "  Shape " << n << " at " << f.shapeX[s] << ", " << f.shapeY[s] << ", " << f.shapeWidth[s]
                  << " x " << f.shapeHeight[s] << "\n";
      }
      if (!f.pictureFile[s].empty()) {
        std::cout << "  Picture " << n << " at " << f.pictureX[s] << ", " << f.pictureY[s] << ": "
                  << f.pictureFile[s].view() << "\n";
      }
      if (!f.text[s].empty()) {
        std::cout << "  Text String " << n << " at " << f.textX[s] << ", " << f.textY[s] << ": \""
                  << f.text[s].view() << "\"\n";
      }
    }
  }
  return 0;
}

const CommandRegistration registration{
    {"info", "info [--json] FILE.lbl",
     "Show a project's format, frame count, size, project settings and, per frame, the delay, "
     "the slots in use and where each object stands.",
     runInfo}};

}  // namespace
}  // namespace zefra::cli
