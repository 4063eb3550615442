// What the frame strip costs an edit: the time an edit takes on the GUI thread with and
// without a strip following it (typing waits for exactly this), and from the edit to the
// edited frame's new thumbnail, which the strip's worker draws meanwhile. For the demo
// banner and the 127-frame benchmark banner, a delay typed into frame 1 as the General page
// does it, a new value each time so no thumbnail is found kept.
//
//   QT_QPA_PLATFORM=offscreen strip_latency [RUNS]   (default: 20)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_banners.h"
#include "io/lbl_writer.h"
#include "session/editor_session.h"
#include "support/user_prompts.h"
#include "widgets/frame_strip.h"

namespace {

using zefra::app::EditorSession;
using zefra::app::FrameStrip;

void report(const char* what, std::vector<double> values, const char* unit) {
  std::sort(values.begin(), values.end());
  std::printf("  %-46s median %8.3f %s (%.3f-%.3f), %zu runs\n", what, values[values.size() / 2], unit, values.front(),
              values.back(), values.size());
}

// The GUI thread's time for one edit, in milliseconds.
double timedEdit(EditorSession& session, long delay) {
  QElapsedTimer clock;
  clock.start();
  session.setField(zefra::editor::Field::Delay, delay);
  session.closeMerge();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Runs the event loop until every thumbnail asked for has arrived; each one arrives as an
// event, which wakes the loop at once.
bool settle(FrameStrip& strip) {
  QElapsedTimer limit;
  limit.start();
  while (strip.thumbnailsWaiting() > 0) {
    if (limit.elapsed() > 60000) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  QTemporaryDir work;
  const std::string banner = work.filePath(QStringLiteral("banner127.lbl")).toStdString();
  zefra::io::writeLblFile(banner, *zefra::bench::fullBanner(zefra::model::kMaxFrames));
  const std::pair<const char*, std::string> cases[] = {{"demo/zefra-banner.lbl", ZEFRA_SOURCE_DIR "/demo/zefra-banner.lbl"},
                                                       {"127-frame benchmark banner", banner}};
  zefra::app::UserPrompts prompts;
  for (const auto& [name, path] : cases) {
    EditorSession session(ZEFRA_SOURCE_DIR "/", 96);
    if (!session.load(path).ok) return 1;
    long delay = 100;
    std::vector<double> bare, followed, thumbnail;
    for (int r = 0; r < runs; ++r) bare.push_back(timedEdit(session, ++delay));

    FrameStrip strip(session, prompts);
    strip.resize(620, strip.stripHeight());
    QElapsedTimer all;
    all.start();
    if (!settle(strip)) return 1;
    const double firstFill = static_cast<double>(all.nsecsElapsed()) / 1e6;
    for (int r = 0; r < runs; ++r) {
      QElapsedTimer clock;
      clock.start();
      followed.push_back(timedEdit(session, ++delay));
      if (!settle(strip)) return 1;
      thumbnail.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("%s, %d frames; every thumbnail drawn %.1f ms after the strip appeared\n", name,
                session.project().frameCount, firstFill);
    report("edit on the GUI thread, no strip", bare, "ms");
    report("edit on the GUI thread, strip following", followed, "ms");
    report("edit -> its new thumbnail", thumbnail, "ms");
  }
  return 0;
}
