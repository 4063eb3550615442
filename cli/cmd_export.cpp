// zefra-cli export FILE.lbl [OUT.gif] [options]: the project as an optimised animated GIF.
// The options override the project's GIF settings for this run only; the project file is
// never written.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "command.h"
#include "json_text.h"
#include "options.h"
#include "output_file.h"
#include "common/color_text.h"
#include "model/field_options.h"
#include "project_input.h"
#include "editor/banner_resize.h"
#include "export/ad_check.h"
#include "export/animation_export.h"
#include "export/export_limits.h"
#include "export/export_settings.h"
#include "export/gif_file_name.h"
#include "export/gif_saver.h"
#include "export/gif_statistics.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "export/size_budget.h"
#include "gif/gif_image.h"
#include "gif/gif_types.h"
#include "io/lbl_reader.h"
#include "text3d/glyph_cache.h"
#include "model/label_project.h"
#include "render/text_layer_renderer.h"

namespace zefra::cli {
namespace {

struct ExportArgs {
  std::vector<std::string> projects;
  std::string output;  // empty: the project's name with ".gif"; "-": standard output
  std::string outDir;  // several projects: their GIFs go here
  int jobs = 1;
  bool quiet = false;
  bool json = false;
  bool strict = false;
  bool noLoop = false;
  bool classic = false;
  std::optional<std::uint64_t> maxBytes;
  std::optional<model::PaletteKind> palette;
  std::optional<std::uint8_t> colorCountIndex;
  std::optional<bool> transparent;
  std::optional<Color> transparentColor;
  bool transparentColorAlone = false;  // given without --transparent: may do nothing
  std::vector<editor::BannerSize> sizes;  // --sizes: one GIF per size, content scaled
  std::optional<int> plays;
  std::optional<exporter::AdProfile> check;
};

std::vector<editor::BannerSize> parseSizeList(const std::string& text) {
  std::vector<editor::BannerSize> sizes;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const std::optional<editor::BannerSize> size = editor::parseBannerSize(item);
    if (!size) throw UsageError{"--sizes takes sizes such as 728x90,300x250 (each within 8192 x 8192), not '" + item + "'"};
    for (const editor::BannerSize& earlier : sizes)
      if (earlier.width == size->width && earlier.height == size->height) throw UsageError{"--sizes names " + item + " twice"};
    sizes.push_back(*size);
    start = comma + 1;
  }
  return sizes;
}

ExportArgs parseExportArgs(const CommandArgs& args) {
  const ParsedArgs parsed =
      parseArgs(args, {{"classic"}, {"max-bytes", true}, {"no-loop"}, {"palette", true}, {"colors", true},
                       {"transparent", true}, {"transparent-color", true}, {"json"}, {"out-dir", true}, {"jobs", true, 'j'}, {"strict"},
                       {"sizes", true}, {"plays", true}, {"check", true}});
  ExportArgs options;
  options.quiet = parsed.has("quiet");
  options.json = parsed.has("json");
  options.strict = parsed.has("strict");
  options.classic = parsed.has("classic");
  options.noLoop = parsed.has("no-loop");
  if (const auto v = parsed.value("max-bytes")) {
    options.maxBytes = exporter::parseByteSize(*v);
    if (!options.maxBytes) throw UsageError{"--max-bytes takes a size such as 150000, 150K or 1M, not '" + *v + "'"};
  }
  if (const auto v = parsed.value("palette")) {
    if (*v == "windows") options.palette = model::PaletteKind::Windows;
    else if (*v == "netscape") options.palette = model::PaletteKind::Netscape;
    else if (*v == "grayscale") options.palette = model::PaletteKind::Grayscale;
    else throw UsageError{"--palette must be windows, netscape or grayscale, not '" + *v + "'"};
  }
  if (const auto v = parsed.value("colors")) {
    const bool digits = !v->empty() && v->size() <= 3 &&
                        std::all_of(v->begin(), v->end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    const int index = digits ? model::colorCountIndexOf(std::stoi(*v)) : -1;
    if (index < 0) throw UsageError{"--colors must be 8, 16, 32, 64, 128 or 256, not '" + *v + "'"};
    options.colorCountIndex = static_cast<std::uint8_t>(index);
  }
  if (const auto v = parsed.value("transparent")) {
    if (*v == "on") options.transparent = true;
    else if (*v == "off") options.transparent = false;
    else throw UsageError{"--transparent must be on or off, not '" + *v + "'"};
  }
  if (const auto v = parsed.value("transparent-color")) {
    // The command line wants all six digits, where a dialog field forgives a short text.
    if (v->size() == 7 && (*v)[0] == '#') options.transparentColor = parseHtmlColorText(*v);
    if (!options.transparentColor) throw UsageError{"--transparent-color must be #RRGGBB, not '" + *v + "'"};
  }
  if (const auto v = parsed.value("jobs")) options.jobs = intValue("--jobs", *v, 1, 64);
  if (const auto v = parsed.value("sizes")) {
    if (!parsed.has("out-dir")) throw UsageError{"--sizes goes with --out-dir"};
    options.sizes = parseSizeList(*v);
  }
  if (const auto v = parsed.value("plays")) {
    options.plays = intValue("--plays", *v, 0, exporter::kMaxPlays);
    if (options.noLoop && *options.plays != 1) throw UsageError{"--no-loop plays once; drop it or --plays"};
  }
  if (const auto v = parsed.value("check")) {
    options.check = exporter::adProfileNamed(*v);
    if (!options.check) throw UsageError{"--check must be iab or google, not '" + *v + "'"};
  }
  options.transparentColorAlone = options.transparentColor && !options.transparent;
  if (options.classic && options.maxBytes) throw UsageError{"--max-bytes chooses among standard exports; drop --classic"};
  if (const auto v = parsed.value("out-dir")) {
    options.outDir = *v;
    if (parsed.positional.empty()) throw UsageError{"expects one or more project files"};
    options.projects = parsed.positional;
  } else {
    if (parsed.has("jobs")) throw UsageError{"--jobs goes with --out-dir"};
    expectPositional(parsed, 1, 2, "a project file and at most one output file (several projects need --out-dir)");
    options.projects = {parsed.positional[0]};
    if (parsed.positional.size() == 2) options.output = parsed.positional[1];
  }
  return options;
}

// A progress bar on standard error, only when that is a terminal (scripts and logs get
// none), redrawn in place and erased when the export ends.
class ProgressBar {
 public:
  explicit ProgressBar(bool wanted) : shown(wanted && isatty(STDERR_FILENO) == 1) {}
  ~ProgressBar() { finish(); }
  void show(exporter::ExportStage stage, int frame, int count) {
    if (!shown || count <= 0) return;
    // Rendering is the first half of the bar, encoding the second.
    const int done = (stage == exporter::ExportStage::Rendering ? 0 : count) + frame;
    const int filled = std::clamp(done * kWidth / (2 * count), 0, kWidth);
    const char* what = stage == exporter::ExportStage::Rendering ? "Rendering" : "Encoding ";
    std::fprintf(stderr, "\r[%.*s%*s] %s frame %d of %d ", filled, "##############################", kWidth - filled,
                 "", what, frame, count);
    std::fflush(stderr);
    dirty = true;
  }
  void finish() {
    if (shown && dirty) std::fprintf(stderr, "\r%70s\r", "");
    dirty = false;
  }

 private:
  static constexpr int kWidth = 30;
  bool shown;
  bool dirty = false;
};

// What became of one project.
struct ExportResult {
  std::string project;
  std::string output;
  bool ok = false;
  std::string error;
  std::vector<std::string> warnings;
  std::string note;  // what --max-bytes changed
  exporter::GifStatistics statistics;
  std::optional<exporter::AdCheck> check;  // with --check, of the file written
  bool passed() const { return ok && (!check || check->passes()); }
};

// A private folder for the pictures of a banner resized for one export, removed with
// everything in it when the export is done.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zefra-sizes-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder: " + pattern);
    folder = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return folder; }

 private:
  std::filesystem::path folder;
};

// The name written for `project`: the chosen output, inside it when it is a folder, or the
// project's own name with ".gif" in `folder` (the working folder when empty).
std::string outputNameFor(const std::string& project, const std::string& chosen, const std::string& folder) {
  const std::string base = exporter::proposedGifBaseName(project) + ".gif";
  if (chosen.empty()) return folder.empty() ? base : (std::filesystem::path(folder) / base).string();
  if (isStandardOutput(chosen)) return chosen;
  std::error_code ec;
  if (chosen.back() == '/' || std::filesystem::is_directory(chosen, ec)) return (std::filesystem::path(chosen) / base).string();
  // Written exactly as named, or with ".gif" added to a name without an extension; a name
  // promising another format is a mistake (x.png would have become x.png.gif).
  std::string extension = std::filesystem::path(chosen).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (!extension.empty() && extension != ".gif") throw UsageError{"the output " + chosen + " must be a .gif file"};
  return exporter::gifFileNameFor(chosen);
}

ExportResult exportOne(const ExportArgs& options, const std::string& projectFile, const std::string& output,
                       bool showProgress, text3d::GlyphCache* glyphs,
                       const std::optional<editor::BannerSize>& size = std::nullopt) {
  ExportResult result;
  result.project = projectFile;
  result.output = output;
  try {
    checkOutputFile(output, {projectFile});
    std::string warning;
    auto project = loadProjectForDrawing(projectFile, warning);
    if (!warning.empty()) result.warnings.push_back(warning);
    std::optional<ScratchFolder> scaledPictures;
    if (size) {
      // The project at this size for this export only; its resampled pictures live as long.
      scaledPictures.emplace();
      render::TextLayerRenderer texts(project->screenDpi);
      editor::ResizedFrames resized =
          editor::resizeFrames(*project, {size->width, size->height, std::nullopt, scaledPictures->path(), {}, &texts});
      std::copy(resized.records.begin(), resized.records.end(), project->records.begin());
      for (std::string& note : resized.notes) result.warnings.push_back(std::move(note));
    }
    // The pictures and textures are inputs too: none of them may be replaced.
    std::vector<std::string> inputs = filesReadBy(*project);
    inputs.push_back(projectFile);
    checkOutputFile(output, inputs);
    exporter::checkExportSize(*project);

    exporter::ExportSettings settings = exporter::exportSettingsOf(*project);
    settings.loop = !options.noLoop;
    if (options.palette) settings.paletteKind = *options.palette;
    if (options.colorCountIndex) settings.colorCountIndex = *options.colorCountIndex;
    if (options.transparent) settings.transparent = *options.transparent;
    if (options.transparentColor) settings.transparentColor = *options.transparentColor;
    if (options.classic) settings.method = exporter::ExportMethod::Classic;
    if (options.plays) settings.plays = *options.plays;
    if (options.transparentColorAlone && !settings.transparent) {
      result.warnings.push_back("--transparent-color has no effect without --transparent on (the project's GIF is not "
                                "transparent)");
    }

    gif::GifImage image;
    if (options.maxBytes) {
      // The best standard export that fits --max-bytes; nothing is written when none fits.
      render::TextLayerRenderer texts(project->screenDpi > 0 ? project->screenDpi : 96);
      exporter::ProjectRenderer renderer(*project, &texts);
      const exporter::BudgetChoice choice = exporter::exportWithinBudget(
          *project, settings, [&](int frame) { return renderer.render(frame); }, *options.maxBytes, image);
      if (!choice.fits) {
        throw std::runtime_error("no export fits in " + std::to_string(*options.maxBytes) +
                                 " bytes; the smallest reachable is " + std::to_string(choice.bytes) + " bytes (" +
                                 exporter::describeChoice(choice, settings) + ")");
      }
      result.note = "Fits in " + std::to_string(*options.maxBytes) + " bytes with " +
                    exporter::describeChoice(choice, settings);
    } else {
      ProgressBar progress(showProgress);
      const exporter::ProjectExport exported = exporter::exportProject(
          *project, settings, image,
          [&](exporter::ExportStage stage, int frame, int count) { progress.show(stage, frame, count); }, glyphs);
      progress.finish();
      for (const auto& failure : exported.failures) {
        result.warnings.push_back((failure.frame > 0 ? "frame " + std::to_string(failure.frame) + ", " : std::string()) +
                                  (failure.kind == render::CanvasObjectKind::Picture ? "picture " : "texture of text ") +
                                  std::to_string(failure.slot) + ": " + failure.file + ": " + failure.message);
      }
      if (options.strict && !exported.failures.empty())
        throw std::runtime_error("files missing or unreadable (--strict); nothing written");
      for (std::string& warning : exporter::transparencyWarnings(settings, exported)) result.warnings.push_back(std::move(warning));
    }

    std::uintmax_t fileSize = 0;
    if (isStandardOutput(output)) {
      const std::vector<std::uint8_t> bytes = image.saveToBytes();
      writeStandardOutput(bytes);
      fileSize = bytes.size();
    } else {
      const exporter::SaveOutcome saved = exporter::saveGif(image, output);
      if (!saved.ok) throw std::runtime_error(saved.detail.empty() ? saved.message : saved.message + " (" + saved.detail + ")");
      result.output = saved.path.empty() ? output : saved.path;
      fileSize = saved.fileSize;
    }
    result.statistics = exporter::statisticsOf(image, fileSize, project->frameCount);
    if (options.check) result.check = exporter::checkAd(*options.check, fileSize, exporter::timingOf(image));
    result.ok = true;
  } catch (const io::LblReadError& e) {
    result.error = e.detail();
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory";
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  return result;
}

// One result as a JSON object; the shape is documented in the README.
std::string jsonOf(const ExportResult& r) {
  std::string out = "{\"project\": " + jsonText(r.project) + ", \"output\": " + jsonText(r.output) +
                    ", \"ok\": " + (r.ok ? "true" : "false");
  if (r.ok) {
    const auto& s = r.statistics;
    out += ", \"fileSize\": " + std::to_string(s.fileSize) + ", \"frames\": " + std::to_string(s.frames) +
           ", \"colors\": " + std::to_string(s.colors) + ", \"width\": " + std::to_string(s.width) +
           ", \"height\": " + std::to_string(s.height);
  } else {
    out += ", \"error\": " + jsonText(r.error);
  }
  if (r.check) out += ", \"checkFailures\": " + jsonTextArray(r.check->broken);
  return out + ", \"warnings\": " + jsonTextArray(r.warnings) + "}";
}

void reportOne(const ExportArgs& options, const ExportResult& r, bool batch) {
  for (const std::string& w : r.warnings) std::cerr << "zefra-cli export: warning: " << w << "\n";
  if (!r.ok) {
    std::cerr << "zefra-cli export: " << (batch ? r.project + ": " : std::string()) << r.error << "\n";
    return;
  }
  if (r.check) {
    for (const std::string& rule : r.check->broken)
      std::cerr << "zefra-cli export: " << (batch ? r.output + ": " : std::string()) << "fails " << options.check->name
                << ": " << rule << "\n";
  }
  if (options.quiet || options.json || isStandardOutput(r.output)) return;
  if (batch) {
    std::cout << r.project << " -> " << r.output << ": " << r.statistics.fileSize << " bytes, " << r.statistics.frames
              << " frames, " << r.statistics.colors << " colours"
              << (r.check && r.check->passes() ? "; passes " + options.check->name : std::string()) << "\n";
    return;
  }
  if (!r.note.empty()) std::cout << r.note << "\n";
  for (const std::string& line : exporter::statisticsLines(r.statistics)) std::cout << line << "\n";
  if (r.check && r.check->passes()) std::cout << "Passes " << options.check->name << "\n";
}

int runExport(const CommandArgs& args) {
  const ExportArgs options = parseExportArgs(args);
  const bool batch = !options.outDir.empty();
  if (!batch) {
    const std::string output = outputNameFor(options.projects[0], options.output, "");
    if (options.json && isStandardOutput(output)) throw UsageError{"--json and - both want standard output"};
    const ExportResult result = exportOne(options, options.projects[0], output, !options.quiet && !options.json, nullptr);
    reportOne(options, result, false);
    if (options.json) std::cout << "[" << jsonOf(result) << "]\n";
    return result.passed() ? 0 : 1;
  }

  std::error_code ec;
  std::filesystem::create_directories(options.outDir, ec);
  if (!std::filesystem::is_directory(options.outDir, ec)) throw std::runtime_error(options.outDir + " is not a folder");
  // One task per project, or per project and size: DIR/NAME-728x90.gif, ...
  struct Task {
    std::string project;
    std::optional<editor::BannerSize> size;
  };
  std::vector<Task> tasks;
  std::vector<std::string> outputs;
  for (const std::string& project : options.projects) {
    if (options.sizes.empty()) {
      tasks.push_back({project, std::nullopt});
      outputs.push_back(outputNameFor(project, "", options.outDir));
    }
    for (const editor::BannerSize& size : options.sizes) {
      tasks.push_back({project, size});
      outputs.push_back((std::filesystem::path(options.outDir) /
                         (exporter::proposedGifBaseName(project) + "-" + std::to_string(size.width) + "x" +
                          std::to_string(size.height) + ".gif"))
                            .string());
    }
    for (std::size_t i = 0; i + 1 < outputs.size(); ++i)
      if (outputs[i] == outputs.back())
        throw UsageError{project + " and " + tasks[i].project + " would both write " + outputs[i]};
  }

  // Workers take the next project in turn; each has a glyph cache of its own, since a cache
  // serves one thread. Results are reported as they finish.
  std::vector<ExportResult> results(tasks.size());
  std::atomic<std::size_t> next{0};
  std::mutex reportLock;
  const auto work = [&] {
    text3d::GlyphCache glyphs;
    for (std::size_t i = next++; i < tasks.size(); i = next++) {
      results[i] = exportOne(options, tasks[i].project, outputs[i], false, &glyphs, tasks[i].size);
      const std::lock_guard guard(reportLock);
      reportOne(options, results[i], true);
    }
  };
  const int workers = std::min<int>(options.jobs, static_cast<int>(tasks.size()));
  std::vector<std::thread> threads;
  for (int t = 1; t < workers; ++t) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();

  int failed = 0;
  int checkFailed = 0;
  for (const ExportResult& r : results) {
    failed += r.ok ? 0 : 1;
    checkFailed += r.ok && !r.passed() ? 1 : 0;
  }
  if (options.json) {
    std::cout << "[";
    for (std::size_t i = 0; i < results.size(); ++i) std::cout << (i ? ",\n " : "") << jsonOf(results[i]);
    std::cout << "]\n";
  } else if (!options.quiet) {
    std::cout << results.size() - static_cast<std::size_t>(failed) << " of " << results.size() << " exported"
              << (failed ? ", " + std::to_string(failed) + " failed" : std::string())
              << (checkFailed ? ", " + std::to_string(checkFailed) + " failed the " + options.check->name + " check"
                              : std::string())
              << "\n";
  }
  return failed || checkFailed ? 1 : 0;
}

const CommandRegistration kRegistration{Command{
    "export",
    "export FILE.lbl [OUT.gif|DIR/|-] | export FILE.lbl... --out-dir DIR [-j N] [--sizes WxH,...]; options: [--quiet] [--json] [--strict] [--classic] [--max-bytes N|NK|NM] [--no-loop] [--plays N] [--check iab|google] [--palette windows|netscape|grayscale] "
    "[--colors 8|16|32|64|128|256] [--transparent on|off] [--transparent-color '#RRGGBB']",
    "Exports the project as an optimised animated GIF (OUT defaults to the project's name "
    "with \".gif\") and prints its file size, frames, colours and image size. The options "
    "override the project's GIF settings for this run only. --classic builds the GIF the "
    "original way: a palette per frame merged into one table, brightness-matched colours, "
    "dithering on gradients. --max-bytes writes the best export whose file fits (K = 1024 bytes, "
    "M = 1024 K): fewer colours first, then fewer of the briefly shown frames, and says what it "
    "changed; when nothing fits it writes nothing, names the smallest reachable size and exits 1. "
    "- writes the GIF to standard output. With --out-dir, each project becomes DIR/NAME.gif, N at a "
    "time (-j), one line per result; the exit code is 1 if any failed. --sizes 728x90,300x250 "
    "writes DIR/NAME-728x90.gif, ... instead, each with the content scaled to that size as "
    "resize does (the project is not changed). --plays N makes a viewer play the animation N "
    "times (0 = for ever, the default; 1 writes no loop block). --check iab|google tests the "
    "written GIF against that ad network's rules (IAB: 150 KB, 15 s of animation, 3 plays; "
    "Google Ads: 150 KB, 30 s, 5 frames per second on average) and names each broken rule; "
    "the file is written either way and the exit code is 1 when a rule is broken. --json prints the results as a "
    "JSON array; --quiet prints nothing but warnings and errors; --strict makes a picture or texture "
    "that cannot be read an error.",
    runExport}};

}  // namespace
}  // namespace zefra::cli
