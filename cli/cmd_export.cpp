// zefra-cli export FILE.lbl [OUT.gif] [options]: the project as an optimised animated GIF.
// The options override the project's GIF settings for this run only; the project file is
// never written.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "command.h"
#include "common/color_text.h"
#include "model/field_options.h"
#include "project_input.h"
#include "export/animation_export.h"
#include "export/export_settings.h"
#include "export/gif_file_name.h"
#include "export/gif_saver.h"
#include "export/gif_statistics.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "export/size_budget.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace zefra::cli {
namespace {

struct ExportArgs {
  std::string project;
  std::string output;
  bool noLoop = false;
  bool classic = false;
  std::optional<std::uint64_t> maxBytes;
  std::optional<model::PaletteKind> palette;
  std::optional<std::uint8_t> colorCountIndex;
  std::optional<bool> transparent;
  std::optional<Color> transparentColor;
};

ExportArgs parseArgs(const CommandArgs& args) {
  ExportArgs parsed;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      const auto eq = arg.find('=');
      if (eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg.erase(eq);
      }
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++i];
    };
    if (arg == "--classic") {
      if (inlineValue) throw UsageError{"--classic takes no value"};
      parsed.classic = true;
    } else if (arg == "--max-bytes") {
      const std::string v = value();
      parsed.maxBytes = exporter::parseByteSize(v);
      if (!parsed.maxBytes) throw UsageError{"--max-bytes takes a size such as 150000, 150K or 1M, not '" + v + "'"};
    } else if (arg == "--no-loop") {
      if (inlineValue) throw UsageError{"--no-loop takes no value"};
      parsed.noLoop = true;
    } else if (arg == "--palette") {
      const std::string v = value();
      if (v == "windows") parsed.palette = model::PaletteKind::Windows;
      else if (v == "netscape") parsed.palette = model::PaletteKind::Netscape;
      else if (v == "grayscale") parsed.palette = model::PaletteKind::Grayscale;
      else throw UsageError{"--palette must be windows, netscape or grayscale, not '" + v + "'"};
    } else if (arg == "--colors") {
      const std::string v = value();
      const bool digits = !v.empty() && v.size() <= 3 &&
                          std::all_of(v.begin(), v.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
      const int index = digits ? model::colorCountIndexOf(std::stoi(v)) : -1;
      if (index < 0) throw UsageError{"--colors must be 8, 16, 32, 64, 128 or 256, not '" + v + "'"};
      parsed.colorCountIndex = static_cast<std::uint8_t>(index);
    } else if (arg == "--transparent") {
      const std::string v = value();
      if (v == "on") parsed.transparent = true;
      else if (v == "off") parsed.transparent = false;
      else throw UsageError{"--transparent must be on or off, not '" + v + "'"};
    } else if (arg == "--transparent-color") {
      const std::string v = value();
      // The command line wants all six digits, where a dialog field forgives a short text.
      if (v.size() == 7 && v[0] == '#') parsed.transparentColor = parseHtmlColorText(v);
      if (!parsed.transparentColor) throw UsageError{"--transparent-color must be #RRGGBB, not '" + v + "'"};
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option " + arg};
    } else {
      positional.push_back(arg);
    }
  }
  if (parsed.classic && parsed.maxBytes) throw UsageError{"--max-bytes chooses among standard exports; drop --classic"};
  if (positional.empty()) throw UsageError{"expects a project file"};
  if (positional.size() > 2) throw UsageError{"expects a project file and at most one output file"};
  parsed.project = positional[0];
  if (positional.size() == 2) parsed.output = positional[1];
  return parsed;
}


class ProgressLine {
 public:
  ProgressLine() : shown(isatty(STDERR_FILENO) == 1) {}
  ~ProgressLine() { finish(); }
  void show(exporter::ExportStage stage, int frame, int count) {
    if (!shown) return;
    const char* what = stage == exporter::ExportStage::Rendering ? "Rendering" : "Encoding";
    std::fprintf(stderr, "\r%s frame %d of %d...   ", what, frame, count);
    std::fflush(stderr);
    dirty = true;
  }
  void finish() {
    if (shown && dirty) std::fprintf(stderr, "\r%40s\r", "");
    dirty = false;
  }

 private:
  bool shown;
  bool dirty = false;
};

int saveAndReport(const ExportArgs& options, const gif::GifImage& image, int frameCount) {
  const std::string output =
      options.output.empty() ? exporter::proposedGifBaseName(options.project) : options.output;
  const exporter::SaveOutcome saved = exporter::saveGif(image, output);
  if (!saved.ok) {
    std::cerr << "zefra-cli export: " << saved.message;
    if (!saved.detail.empty()) std::cerr << " (" << saved.detail << ")";
    std::cerr << "\n";
    return 1;
  }
  for (const std::string& line : exporter::statisticsLines(exporter::statisticsOf(image, saved.fileSize, frameCount)))
    std::cout << line << "\n";
  return 0;
}

// The best standard export that fits --max-bytes; nothing is written when none fits.
int exportWithinBudget(const ExportArgs& options, model::LabelProject& project, const exporter::ExportSettings& settings) {
  render::TextLayerRenderer texts(project.screenDpi > 0 ? project.screenDpi : 96);
  exporter::ProjectRenderer renderer(project, &texts);
  gif::GifImage image;
  const exporter::BudgetChoice choice = exporter::exportWithinBudget(
      project, settings, [&](int frame) { return renderer.render(frame); }, *options.maxBytes, image);
  if (!choice.fits) {
    std::cerr << "zefra-cli export: no export fits in " << *options.maxBytes << " bytes; the smallest reachable is "
              << choice.bytes << " bytes (" << exporter::describeChoice(choice, settings) << ")\n";
    return 1;
  }
  std::cout << "Fits in " << *options.maxBytes << " bytes with " << exporter::describeChoice(choice, settings) << "\n";
  return saveAndReport(options, image, project.frameCount);
}

int runExport(const CommandArgs& args) {
  const ExportArgs options = parseArgs(args);

  std::string warning;
  auto project = loadProjectForDrawing(options.project, warning);
  if (!warning.empty()) std::cerr << "zefra-cli export: " << warning << "\n";

  exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
  settings.loop = !options.noLoop;
  if (options.palette) settings.paletteKind = *options.palette;
  if (options.colorCountIndex) settings.colorCountIndex = *options.colorCountIndex;
  if (options.transparent) settings.transparent = *options.transparent;
  if (options.transparentColor) settings.transparentColor = *options.transparentColor;


  if (options.maxBytes) return exportWithinBudget(options, *project, settings);

  gif::GifImage image;
  ProgressLine progress;
  const exporter::ProjectExport exported = exporter::exportProject(
      *project, settings, image,
      [&](exporter::ExportStage stage, int frame, int count) { progress.show(stage, frame, count); },
      options.classic ? exporter::ExportMethod::Classic : exporter::ExportMethod::Standard);
  const exporter::ExportReport& report = exported.report;
  progress.finish();

  for (const auto& failure : exported.failures)
    std::cerr << "zefra-cli export: warning: " << failure.file << ": " << failure.message << "\n";
  if (!options.classic && settings.transparent && exported.details.transparentPixels == 0) {
    std::cerr << "zefra-cli export: " << htmlColorText(settings.transparentColor)
              << " does not occur in the banner; nothing is transparent\n";
  }
  if (report.transparentColor && *report.transparentColor != settings.transparentColor) {
    std::cerr << "zefra-cli export: " << htmlColorText(settings.transparentColor)
              << " is not among the GIF's colours; " << htmlColorText(*report.transparentColor)
              << " was made transparent\n";
  }

  return saveAndReport(options, image, project->frameCount);
}

const CommandRegistration kRegistration{Command{
    "export",
    "export FILE.lbl [OUT.gif] [--classic] [--max-bytes N|NK|NM] [--no-loop] [--palette windows|netscape|grayscale] "
    "[--colors 8|16|32|64|128|256] [--transparent on|off] [--transparent-color '#RRGGBB']",
    "Exports the project as an optimised animated GIF (OUT defaults to the project's name "
    "with \".gif\") and prints its file size, frames, colours and image size. The options "
    "override the project's GIF settings for this run only. --classic builds the GIF the "
    "original way: a palette per frame merged into one table, brightness-matched colours, "
    "dithering on gradients. --max-bytes writes the best export whose file fits (K = 1024 bytes, "
    "M = 1024 K): fewer colours first, then fewer of the briefly shown frames, and says what it "
    "changed; when nothing fits it writes nothing, names the smallest reachable size and exits 1.",
    runExport}};

}  // namespace
}  // namespace zefra::cli
