// How long the editor's live size takes to show the figure of an edit: from the edit
// (GifSizeMeter::projectChanged, as every edit of the window calls it) to the new figure in
// the pane, the pause before measuring included. Prints the median with min-max of RUNS
// edits for the demo banner and the 127-frame benchmark banner, each edit alone and at
// the end of a run of keystrokes 80 ms apart (the pause has to outlast the gaps).
//
//   QT_QPA_PLATFORM=offscreen size_meter_latency [RUNS] [PROJECT.lbl...]   (default: 5)
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench_banners.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "gif/gif_image.h"
#include "text3d/glyph_cache.h"
#include "io/lbl_reader.h"
#include "model/label_project.h"
#include "preview/gif_size_meter.h"

namespace {

using zefra::app::GifSizeMeter;

struct Case {
  std::string name;
  std::unique_ptr<zefra::model::LabelProject> project;
};

// One edit the figure has to follow: the frame colour of every frame, a new one each time.
void edit(zefra::model::LabelProject& project, int step) {
  const auto c = static_cast<std::uint8_t>(40 + 13 * (step % 16));
  for (int i = 1; i <= project.frameCount; ++i) project.frame(i).frameColor = zefra::rgb(c, 255 - c, 90);
}

// The latency of the figure after `edits` edits `gapMs` apart, from the last of them.
qint64 measure(GifSizeMeter& meter, zefra::model::LabelProject& project, int& step, int edits, int gapMs) {
  QSignalSpy measured(&meter, &GifSizeMeter::sizeChanged);
  for (int i = 0; i < edits; ++i) {
    if (i > 0) QTest::qWait(gapMs);
    edit(project, ++step);
    meter.projectChanged();
  }
  if (!measured.wait(60000)) {
    std::fprintf(stderr, "size_meter_latency: no figure within 60 s\n");
    std::exit(1);
  }
  return meter.lastLatencyMs();
}

std::unique_ptr<zefra::model::LabelProject> load(const std::string& path) {
  auto project = std::make_unique<zefra::model::LabelProject>();
  try {
    zefra::io::readLblFile(path, *project);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "size_meter_latency: %s\n", e.what());
    std::exit(1);
  }
  return project;
}

void report(const std::string& what, std::vector<qint64> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %4lld ms (%lld-%lld), %zu runs\n", what.c_str(), static_cast<long long>(ms[ms.size() / 2]),
              static_cast<long long>(ms.front()), static_cast<long long>(ms.back()), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int runs = 5;
  std::vector<Case> cases;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i == 1 && !arg.empty() && std::all_of(arg.begin(), arg.end(), ::isdigit)) {
      runs = std::max(1, std::stoi(arg));
      continue;
    }
    cases.push_back({arg, load(arg)});
  }
  if (cases.empty()) {
    cases.push_back({"demo/zefra-banner.lbl", load(ZEFRA_SOURCE_DIR "/demo/zefra-banner.lbl")});
    cases.push_back({"127-frame benchmark banner", zefra::bench::fullBanner(zefra::model::kMaxFrames)});
  }

  std::printf("pause before measuring: %d ms\n", GifSizeMeter::kPauseMs);
  for (Case& c : cases) {
    QLabel pane;
    zefra::model::LabelProject& project = *c.project;
    GifSizeMeter meter(&pane, [&] { return std::make_pair(&project, zefra::exporter::exportSettingsOf(project)); });
    // The first figure (a project just opened) also warms the glyph cache.
    QSignalSpy first(&meter, &GifSizeMeter::sizeChanged);
    meter.measureNow();
    if (!first.wait(60000)) return 1;
    int step = 0;
    std::vector<qint64> single, typing;
    for (int r = 0; r < runs; ++r) {
      single.push_back(measure(meter, project, step, 1, 0));
      typing.push_back(measure(meter, project, step, 5, 80));
    }
    // What the figure costs without the pause and the event loop, in its two steps.
    // Process CPU time (every thread) too: on a busy machine the wall time is mostly waiting.
    std::vector<qint64> exporting, exportingCpu, sizing;
    zefra::text3d::GlyphCache glyphs;
    glyphs.setUseDiskCache(false);
    for (int r = 0; r < runs; ++r) {
      QElapsedTimer clock;
      clock.start();
      const std::clock_t cpuStart = std::clock();
      zefra::gif::GifImage image;
      zefra::exporter::exportProject(project, zefra::exporter::exportSettingsOf(project), image, {}, &glyphs);
      exportingCpu.push_back(static_cast<qint64>((std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC));
      exporting.push_back(clock.restart());
      (void)image.saveToBytes().size();
      sizing.push_back(clock.elapsed());
    }
    std::printf("%s, %d frames, %s\n", c.name.c_str(), project.frameCount, qPrintable(pane.text()));
    report("  one edit -> figure", single);
    report("  last of 5 keystrokes 80 ms apart -> figure", typing);
    report("  of which the export", exporting);
    report("  its CPU time (all threads)", exportingCpu);
    report("  and the size of its file", sizing);
  }
  return 0;
}
