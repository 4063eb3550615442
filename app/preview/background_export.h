#pragma once
// The project export on a worker thread, so the window stays responsive while a long
// banner is drawn and encoded. One worker serves one caller: a new request cancels the
// one in progress (it stops at its next frame) and only the newest result is delivered,
// on the thread that owns this object. A project over the export size limit is refused
// at once, with the command line's message, and never reaches the worker.

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "export/animation_export.h"
#include "export/export_settings.h"
#include "export/size_budget.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "text3d/glyph_cache.h"

namespace zefra::app {

struct ExportResult {
  int ticket = 0;
  std::shared_ptr<gif::GifImage> image;  // null after a failure
  std::uint64_t fileSize = 0;            // bytes the GIF has when written
  exporter::ExportReport report;
  QStringList warnings;                  // what became of the transparent colour
  QString limitNote;                     // what the size limit changed; empty when nothing
  QString error;                         // empty on success
  qint64 elapsedMs = 0;                  // from the request to the result
};

class BackgroundExport : public QObject {
  Q_OBJECT

 public:
  explicit BackgroundExport(QObject* parent = nullptr);
  ~BackgroundExport() override;  // cancels and waits for the worker

  // Exports a copy of `project`; answers the ticket its result will carry. A request
  // still running or waiting is cancelled and never reported. A project the size limit
  // refuses gets its failure delivered from the event loop, without any export. With
  // `maxBytes`, the GIF is the best one whose file fits, found as Export GIF finds it; when
  // none fits the result is a failure that names the smallest size reachable.
  int start(const model::LabelProject& project, const exporter::ExportSettings& settings, std::uint64_t maxBytes = 0);
  // Cancels whatever is running or waiting; nothing more is reported for it.
  void cancel();
  bool busy() const { return activeTicket != 0; }
  // Exports the worker has begun since construction.
  int jobsRun() const { return jobsBegun.load(); }

 Q_SIGNALS:
  void progress(int done, int total);
  void finished(const zefra::app::ExportResult& result);

 private:
  struct Request {
    int ticket = 0;
    std::unique_ptr<model::LabelProject> project;
    exporter::ExportSettings settings;
    std::uint64_t maxBytes = 0;
    std::int64_t requestedAt = 0;
  };
  void run();
  void deliver(ExportResult result);

  std::thread worker;
  std::mutex lock;
  std::condition_variable wake;
  std::optional<Request> pending;
  int latestTicket = 0;  // guarded by lock; the worker stops a job whose ticket is older
  bool quitting = false;
  int activeTicket = 0;  // GUI thread: the ticket whose result is awaited, 0 when idle
  std::atomic<int> jobsBegun{0};
  // Text glyphs for this worker only: the program's shared cache serves the GUI thread.
  text3d::GlyphCache glyphs;
};

// "48512" -> "48,512".
QString groupedNumber(std::uint64_t value);

// What the size limit search chose, when it is not the export as asked ("64 colours, every
// frame"); empty otherwise.
QString limitNoteOf(const exporter::BudgetChoice& choice, const exporter::ExportSettings& requested);
// Nothing fits in `maxBytes`: the message that names the smallest size reachable.
QString limitFailureOf(const exporter::BudgetChoice& choice, const exporter::ExportSettings& requested,
                       std::uint64_t maxBytes);

}  // namespace zefra::app
