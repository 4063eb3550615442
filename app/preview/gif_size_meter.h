#pragma once
// The live size meter of the status bar: the exact number of bytes the GIF would have if
// it were exported now. An edit after a quiet spell is measured at once; an edit that
// follows another within the pause (a run of keystrokes, a drag) cancels the export under
// way and restarts the pause, so a run is measured once, after its last edit. The export
// runs in the background, and the pane shows "GIF: 48,512 bytes". Until the new figure is
// in, the pane keeps the last one, greyed.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "export/export_settings.h"
#include "model/label_project.h"
#include "preview/background_export.h"

class QLabel;

namespace zefra::app {

class GifSizeMeter : public QObject {
  Q_OBJECT

 public:
  // About the gap between a fast typist's keys, and short enough that the pause plus the
  // export of a 127-frame banner stays within a quarter of a second of the last key
  // (bench/size_meter_latency). A key that comes later only cancels the export under way.
  static constexpr int kPauseMs = 100;

  // `pane` shows the figure (not owned). `source` answers the project and the export
  // settings at the moment the export starts.
  using Source = std::function<std::pair<const model::LabelProject*, exporter::ExportSettings>()>;
  GifSizeMeter(QLabel* pane, Source source, QObject* parent = nullptr);

  // Something that may change the GIF happened: measure again after the pause.
  void projectChanged();
  // Measures at once, without the pause (a new or loaded project).
  void measureNow();

  std::optional<std::uint64_t> size() const { return lastSize; }
  bool upToDate() const { return !pause.isActive() && !exporter.busy() && lastSize.has_value(); }
  // An edit that followed another is waiting for the pause to end before it is measured.
  bool pausing() const { return pause.isActive(); }
  // Milliseconds from the last edit to the figure that reflects it.
  qint64 lastLatencyMs() const { return latencyMs; }
  // Exports begun since construction; one the size limit refuses never begins.
  int exportsRun() const { return exporter.jobsRun(); }

  static QString paneText(std::uint64_t bytes);
  // With a size limit: "GIF: 34,378 bytes (33.6 KB of 40 KB)", and ", over by 3.4 KB" when
  // the figure is past it.
  static QString paneText(std::uint64_t bytes, std::optional<std::uint64_t> limit);
  // The limit the pane measures against (none: the figure alone); shown at once.
  void setLimit(std::optional<std::uint64_t> bytes);

 Q_SIGNALS:
  void sizeChanged(quint64 bytes);
  void failed(const QString& error);

 private:
  void startExport();
  void exportFinished(const ExportResult& result);
  void showSize();

  QLabel* pane;
  Source source;
  QTimer pause;
  BackgroundExport exporter;
  std::optional<std::uint64_t> lastSize;
  std::optional<std::uint64_t> limit;
  qint64 editTime = 0;  // of the last edit, or of measureNow
  bool edited = false;  // editTime is an edit's
  qint64 latencyMs = 0;
};

}  // namespace zefra::app
