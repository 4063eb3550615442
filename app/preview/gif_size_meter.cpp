#include "preview/gif_size_meter.h"

#include <QDateTime>
#include <QLabel>

#include "export/ad_check.h"

namespace zefra::app {

GifSizeMeter::GifSizeMeter(QLabel* sizePane, Source projectSource, QObject* parent)
    : QObject(parent), pane(sizePane), source(std::move(projectSource)) {
  pause.setSingleShot(true);
  pause.setInterval(kPauseMs);
  connect(&pause, &QTimer::timeout, this, &GifSizeMeter::startExport);
  connect(&exporter, &BackgroundExport::finished, this, &GifSizeMeter::exportFinished);
  if (pane) {
    pane->setToolTip(tr("Size of the GIF file the project gives now"));
    pane->setText(QStringLiteral("GIF: ..."));
  }
}

QString GifSizeMeter::paneText(std::uint64_t bytes) {
  return QStringLiteral("GIF: %1 bytes").arg(groupedNumber(bytes));
}

QString GifSizeMeter::paneText(std::uint64_t bytes, std::optional<std::uint64_t> limit) {
  if (!limit) return paneText(bytes);
  QString text = paneText(bytes) + QStringLiteral(" (%1 of %2")
                                        .arg(QString::fromStdString(exporter::kilobytesText(bytes)),
                                             QString::fromStdString(exporter::kilobytesText(*limit)));
  if (bytes > *limit)
    text += tr(", over by %1").arg(QString::fromStdString(exporter::kilobytesText(bytes - *limit)));
  return text + QLatin1Char(')');
}

void GifSizeMeter::setLimit(std::optional<std::uint64_t> bytes) {
  limit = bytes;
  if (lastSize && pane && pane->isEnabled()) showSize();
}

void GifSizeMeter::showSize() {
  pane->setText(paneText(*lastSize, limit));
  // Red says "over" to those who see it; the words say it to everyone.
  pane->setStyleSheet(limit && *lastSize > *limit ? QStringLiteral("color: #c00000;") : QString());
}

void GifSizeMeter::projectChanged() {
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  const bool quiet = !edited || now - editTime >= kPauseMs;
  editTime = now;
  edited = true;
  exporter.cancel();
  if (pane) pane->setEnabled(false);
  if (quiet) {
    pause.stop();
    startExport();
  } else {
    pause.start();
  }
}

void GifSizeMeter::measureNow() {
  editTime = QDateTime::currentMSecsSinceEpoch();
  edited = false;
  pause.stop();
  if (pane) pane->setEnabled(false);
  startExport();
}

void GifSizeMeter::startExport() {
  const auto [project, settings] = source();
  if (!project) return;
  exporter.start(*project, settings);
}

void GifSizeMeter::exportFinished(const ExportResult& result) {
  latencyMs = QDateTime::currentMSecsSinceEpoch() - editTime;
  if (!result.error.isEmpty() || !result.image) {
    if (pane) {
      pane->setText(QStringLiteral("GIF: ?"));
      pane->setToolTip(result.error);
      pane->setEnabled(true);
    }
    Q_EMIT failed(result.error);
    return;
  }
  lastSize = result.fileSize;
  if (pane) {
    showSize();
    pane->setToolTip(tr("Size of the GIF file the project gives now"));
    pane->setEnabled(true);
  }
  Q_EMIT sizeChanged(result.fileSize);
}

}  // namespace zefra::app
