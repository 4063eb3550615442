// zefra-cli tween FILE.lbl --from N --count K [--to M] [--ease E] [--keep-delays]
// [-o OUT.lbl]: inserts K frames between frame N and the next one (or replaces those
// between N and M), as the editor's "Tween Frames..." does, and saves the project.
#include <charconv>
#include <iostream>
#include <stdexcept>
#include <string>

#include "command.h"
#include "options.h"
#include "output_file.h"
#include "project_input.h"
#include "editor/app_dir.h"
#include "editor/editor.h"
#include "editor/frame_tools.h"

namespace zefra::cli {
namespace {

// Without a display there is no screen density; it does not matter for tweening.
constexpr std::int16_t kCliScreenDpi = 96;

struct TweenArgs {
  std::string project;
  std::string output;
  int from = 0;
  int count = 0;
  int to = 0;  // 0: insert after --from; else the frames between are replaced
  editor::Easing easing = editor::Easing::Linear;
  bool keepDelays = false;
  bool quiet = false;
};

int parseCount(const std::string& option, const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) {
    throw UsageError{option + " must be a whole number of at least 1, not '" + text + "'"};
  }
  return value;
}

TweenArgs readTweenArgs(const CommandArgs& args) {
  const ParsedArgs parsed = parseArgs(args, {{"from", true},
                                             {"count", true},
                                             {"to", true},
                                             {"ease", true},
                                             {"keep-delays", false},
                                             {"output", true, 'o'}});
  expectPositional(parsed, 1, 1, "exactly one project file");
  if (!parsed.has("from")) throw UsageError{"needs --from N, the frame to tween from"};
  if (!parsed.has("count")) throw UsageError{"needs --count K, the number of frames to insert"};
  TweenArgs tween;
  tween.project = parsed.positional[0];
  tween.from = parseCount("--from", *parsed.value("from"));
  tween.count = parseCount("--count", *parsed.value("count"));
  if (parsed.has("to")) tween.to = parseCount("--to", *parsed.value("to"));
  if (const auto ease = parsed.value("ease")) {
    const auto easing = editor::easingFromName(*ease);
    if (!easing) throw UsageError{"--ease must be linear, in, out or in-out, not '" + *ease + "'"};
    tween.easing = *easing;
  }
  tween.keepDelays = parsed.has("keep-delays");
  tween.output = parsed.value("output").value_or(tween.project);
  if (tween.output.empty()) throw UsageError{"-o needs a file name"};
  tween.quiet = parsed.has("quiet");
  return tween;
}

int runTween(const CommandArgs& args) {
  const TweenArgs options = readTweenArgs(args);
  editor::Editor editor(editor::executableFolder(), kCliScreenDpi);
  checkOutputFile(options.output, {});  // in place is the default; a device never
  const editor::LoadResult loaded = editor.load(options.project);
  if (!loaded.ok) throw std::runtime_error(loadFailure(loaded));
  if (!loaded.warning.empty()) std::cerr << "zefra-cli tween: " << loaded.warning << "\n";

  const int frames = editor.project().frameCount;
  if (options.from > frames) {
    throw std::runtime_error("--from " + std::to_string(options.from) + " is past the last frame: the project has " +
                             std::to_string(frames) + (frames == 1 ? " frame" : " frames"));
  }
  if (options.to != 0 && (options.to <= options.from || options.to > frames)) {
    throw std::runtime_error("--to " + std::to_string(options.to) + " must name a frame after frame " +
                             std::to_string(options.from) + " and at most " + std::to_string(frames));
  }
  editor.goToFrame(options.from);
  const editor::Change change =
      editor::tweenFrames(editor, {options.count, options.easing, options.keepDelays, options.to});
  if (!change.applied) throw std::runtime_error(change.message);

  const editor::SaveResult saved = editor.saveAs(options.output);
  if (!saved.ok) throw std::runtime_error(saved.error);  // names the file already
  if (options.quiet) return 0;
  const int next = options.to != 0 ? options.to : options.from == frames ? 1 : options.from + 1;
  if (const int replaced = options.to != 0 ? options.to - options.from - 1 : 0; replaced > 0) {
    std::cout << "Replaced " << replaced << (replaced == 1 ? " frame" : " frames") << " with ";
  } else {
    std::cout << "Inserted ";
  }
  std::cout << options.count << (options.count == 1 ? " frame" : " frames") << " between frame "
            << options.from << " and frame " << next << "; wrote " << options.output << " with "
            << static_cast<int>(editor.project().frameCount) << " frames\n";
  return 0;
}

const CommandRegistration kRegistration{Command{
    "tween",
    "tween FILE.lbl --from N --count K [--to M] [--ease linear|in|out|in-out] [--keep-delays] [-o OUT.lbl]",
    "Inserts K frames between frame N and the next one (after the last frame: frame 1), "
    "interpolating positions, sizes, colours, view angles, shadows and delays, and saves the "
    "project (in place unless -o names another file). --to M re-tweens from frame N to a later "
    "frame M: the frames between them are replaced by the K new ones. --ease spreads the steps "
    "along a curve (in: t^2, out: 1-(1-t)^2, in-out: 3t^2-2t^3; default linear); --keep-delays "
    "gives every new frame frame N's delay instead of interpolated ones.",
    runTween}};

}  // namespace
}  // namespace zefra::cli
