#include "preview/background_export.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <map>
#include <exception>

#include "export/ad_check.h"
#include "export/export_limits.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "render/text_layer_renderer.h"

namespace zefra::app {

namespace {

struct Cancelled {};

// Frames the size limit search keeps drawn between its trials, at most.
constexpr std::size_t kKeptFramesBytes = 256u << 20;

std::int64_t steadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

QString groupedNumber(std::uint64_t value) {
  QString digits = QString::number(value);
  for (int i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char(','));
  return digits;
}

QString limitNoteOf(const exporter::BudgetChoice& choice, const exporter::ExportSettings& requested) {
  const bool sameColours = choice.colors == 0 || choice.colors == 1 << exporter::reductionBitsFor(requested.colorCountIndex);
  if (sameColours && choice.droppedFrames.empty()) return {};
  return QString::fromStdString(exporter::describeChoice(choice, requested));
}

QString limitFailureOf(const exporter::BudgetChoice& choice, const exporter::ExportSettings& requested,
                       std::uint64_t maxBytes) {
  return QObject::tr("No export fits in %1; the smallest reachable is %2 (%3). Nothing was written.")
      .arg(QString::fromStdString(exporter::kilobytesText(maxBytes)),
           QString::fromStdString(exporter::kilobytesText(choice.bytes)),
           QString::fromStdString(exporter::describeChoice(choice, requested)));
}

BackgroundExport::BackgroundExport(QObject* parent) : QObject(parent) {
  // Glyphs built here stay in memory only; the shared cache owns the disk copy.
  glyphs.setUseDiskCache(false);
  worker = std::thread([this] { run(); });
}

BackgroundExport::~BackgroundExport() {
  {
    std::lock_guard<std::mutex> guard(lock);
    quitting = true;
    ++latestTicket;
    pending.reset();
  }
  wake.notify_all();
  worker.join();
}

int BackgroundExport::start(const model::LabelProject& project, const exporter::ExportSettings& settings,
                            std::uint64_t maxBytes) {
  if (const auto problem = exporter::exportSizeProblem(project)) {
    {
      std::lock_guard<std::mutex> guard(lock);
      activeTicket = ++latestTicket;  // whatever was running or waiting is superseded
      pending.reset();
    }
    ExportResult refused;
    refused.ticket = activeTicket;
    refused.error = QString::fromStdString(*problem);
    QMetaObject::invokeMethod(this, [this, refused] { deliver(refused); }, Qt::QueuedConnection);
    return refused.ticket;
  }
  Request r;
  r.project = std::make_unique<model::LabelProject>(project);
  r.settings = settings;
  r.maxBytes = maxBytes;
  r.requestedAt = steadyMs();
  {
    std::lock_guard<std::mutex> guard(lock);
    r.ticket = ++latestTicket;
    activeTicket = r.ticket;
    pending = std::move(r);
  }
  wake.notify_all();
  return activeTicket;
}

void BackgroundExport::cancel() {
  {
    std::lock_guard<std::mutex> guard(lock);
    ++latestTicket;
    pending.reset();
  }
  activeTicket = 0;
}

void BackgroundExport::run() {
  for (;;) {
    Request job;
    {
      std::unique_lock<std::mutex> guard(lock);
      wake.wait(guard, [this] { return quitting || pending.has_value(); });
      if (quitting) return;
      job = std::move(*pending);
      pending.reset();
    }
    ++jobsBegun;
    ExportResult result;
    result.ticket = job.ticket;
    const auto stale = [this, ticket = job.ticket] {
      std::lock_guard<std::mutex> guard(lock);
      return latestTicket != ticket;
    };
    try {
      auto image = std::make_shared<gif::GifImage>();
      if (job.maxBytes > 0) {
        const int dpi = job.project->screenDpi > 0 ? job.project->screenDpi : 96;
        render::TextLayerRenderer texts(dpi, glyphs);
        exporter::ProjectRenderer renderer(*job.project, &texts);
        // The search encodes the same frames several times: they are drawn once when
        // they fit in memory.
        const model::FrameRecord& first = job.project->frame(1);
        const bool keep = raster::FastBitmap::strideFor(first.width) * static_cast<std::size_t>(std::max<int>(first.height, 0)) *
                              static_cast<std::size_t>(std::max<int>(job.project->frameCount, 1)) <=
                          kKeptFramesBytes;
        std::map<int, raster::FastBitmap> drawn;
        const exporter::BudgetChoice choice = exporter::exportWithinBudget(
            *job.project, job.settings,
            [&](int frame) {
              if (stale()) throw Cancelled{};
              if (!keep) return renderer.render(frame);
              auto found = drawn.find(frame);
              if (found == drawn.end()) found = drawn.emplace(frame, renderer.render(frame)).first;
              return found->second;
            },
            job.maxBytes, *image);
        if (stale()) continue;
        if (choice.fits) {
          result.limitNote = limitNoteOf(choice, job.settings);
          result.fileSize = choice.bytes;
          result.image = std::move(image);
        } else {
          result.error = limitFailureOf(choice, job.settings, job.maxBytes);
        }
      } else {
        const exporter::ExportProgress onProgress = [&](exporter::ExportStage stage, int frame, int count) {
          if (stale()) throw Cancelled{};
          const int done = (stage == exporter::ExportStage::Rendering ? 0 : count) + frame;
          QMetaObject::invokeMethod(
              this, [this, ticket = job.ticket, done, count] {
                if (ticket == activeTicket) Q_EMIT progress(done, 2 * count);
              },
              Qt::QueuedConnection);
        };
        const exporter::ProjectExport exported =
            exporter::exportProject(*job.project, job.settings, *image, onProgress, &glyphs);
        if (stale()) continue;
        result.report = exported.report;
        for (const std::string& warning : exporter::transparencyWarnings(job.settings, exported))
          result.warnings << QString::fromStdString(warning);
        result.fileSize = image->saveToBytes().size();
        result.image = std::move(image);
      }
    } catch (const Cancelled&) {
      continue;
    } catch (const std::exception& e) {
      result.error = QString::fromStdString(e.what());
    }
    result.elapsedMs = steadyMs() - job.requestedAt;
    QMetaObject::invokeMethod(this, [this, result = std::move(result)]() mutable { deliver(std::move(result)); },
                              Qt::QueuedConnection);
  }
}

void BackgroundExport::deliver(ExportResult result) {
  if (result.ticket != activeTicket) return;  // cancelled or superseded meanwhile
  activeTicket = 0;
  Q_EMIT finished(result);
}

}  // namespace zefra::app
