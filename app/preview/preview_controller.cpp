#include "preview/preview_controller.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <utility>

#include "export/gif_file_name.h"
#include "export/gif_saver.h"
#include "gif/palette_edits.h"
#include "preview/preview_window.h"
#include "widgets/palette_panel.h"

namespace zefra::app {

namespace {

const QString kCaption = QStringLiteral("Zefra");

std::vector<Color> colorsOf(const gif::GifImage& image) {
  std::vector<Color> colors;
  for (int i = 0; i < image.globalTable().count(); ++i) colors.push_back(gif::toColor(image.globalTable()[i]));
  return colors;
}

}  // namespace

PreviewController::PreviewController(PreviewHost previewHost, std::unique_ptr<PreviewPrompts> previewPrompts,
                                     QObject* parent)
    : QObject(parent), host(std::move(previewHost)), prompts(std::move(previewPrompts)) {
  if (!prompts) prompts = std::make_unique<PreviewPrompts>();
  pause.setSingleShot(true);
  pause.setInterval(kPauseMs);
  connect(&pause, &QTimer::timeout, this, &PreviewController::startExport);
  preview = new PreviewWindow(host.window);
  connect(preview, &PreviewWindow::saveRequested, this, &PreviewController::saveGif);
  connect(preview, &PreviewWindow::closed, this, &PreviewController::previewWindowClosed);
  connect(&exporter, &BackgroundExport::finished, this, &PreviewController::exportFinished);
  if (host.statusBar) {
    progressBar = new QProgressBar(host.statusBar);
    progressBar->setObjectName(QStringLiteral("ExportProgress"));
    progressBar->setAccessibleName(tr("Export progress"));
    progressBar->setMaximumWidth(160);
    progressBar->setTextVisible(false);
    host.statusBar->addPermanentWidget(progressBar);
    progressBar->hide();
    connect(&exporter, &BackgroundExport::progress, progressBar, [this](int done, int total) {
      progressBar->setMaximum(total);
      progressBar->setValue(done);
    });
  }
}

PreviewController::~PreviewController() {
  if (cursorOverridden) QApplication::restoreOverrideCursor();
}

void PreviewController::setPalettePanel(PalettePanel* panel) {
  if (palette) disconnect(palette, nullptr, this, nullptr);
  palette = panel;
  if (!panel) return;
  connect(panel, &PalettePanel::editColorRequested, this, &PreviewController::editColor);
  connect(panel, &PalettePanel::deleteColorRequested, this, &PreviewController::deleteColor);
  connect(panel, &PalettePanel::setTransparentRequested, this, &PreviewController::setTransparent);
  if (previewOpen() && built) panel->showPalette(colorsOf(*built));
}

void PreviewController::setPrompts(std::unique_ptr<PreviewPrompts> replacement) {
  if (replacement) prompts = std::move(replacement);
}

bool PreviewController::previewOpen() const { return preview && preview->isVisible(); }

void PreviewController::startPreview() {
  if (!cursorOverridden) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorOverridden = true;
  }
  if (host.statusPane) host.statusPane->setText(QStringLiteral("Please wait..."));
  if (host.previewAction) host.previewAction->setEnabled(false);
  if (progressBar) {
    progressBar->setValue(0);
    progressBar->show();
  }
  commandBuild = true;
  pause.stop();
  startExport();
  Q_EMIT busyChanged(true);
}

void PreviewController::startExport() {
  requestedFrameCount = host.project().frameCount;
  exporter::ExportSettings settings = host.settings();
  const std::uint64_t limit = host.sizeLimit ? host.sizeLimit() : 0;
  if (limit > 0) settings.method = exporter::ExportMethod::Standard;  // the search picks among standard exports
  exporter.start(host.project(), settings, limit);
}

void PreviewController::scheduleRebuild() {
  if (!previewOpen() && !commandBuild) return;
  // The export under way describes an older project: it is dropped, and the next one
  // starts when the edits pause, as the live size does.
  exporter.cancel();
  pause.start();
  if (previewOpen()) preview->setUpdating(true);
}

void PreviewController::rebuildIfOpen() { scheduleRebuild(); }

void PreviewController::projectChanged(const editor::Change& change) {
  if (!change.applied) return;
  if (change.projectReplaced && previewOpen()) {
    preview->close();
    return;
  }
  if (change.frames.any() || change.frameCountChanged || change.settingsChanged || change.projectReplaced) {
    if (previewOpen() || commandBuild) scheduleRebuild();
    else if (palette) palette->clearPalette();
  }
}

void PreviewController::endJob() {
  if (commandBuild) {
    if (cursorOverridden) {
      QApplication::restoreOverrideCursor();
      cursorOverridden = false;
    }
    if (progressBar) progressBar->hide();
    if (host.statusPane) host.statusPane->setText(QStringLiteral("OK"));
    commandBuild = false;
  }
  // The command stays off while the preview is open.
  if (host.previewAction) host.previewAction->setEnabled(!previewOpen());
  Q_EMIT busyChanged(false);
}

void PreviewController::cancel() {
  if (!busy() && !commandBuild) return;
  pause.stop();
  exporter.cancel();
  saveWhenBuilt = false;
  transparencyAsked = false;
  endJob();
}

void PreviewController::exportFinished(const ExportResult& result) {
  const bool opening = commandBuild;
  endJob();
  const bool saving = std::exchange(saveWhenBuilt, false);
  const bool asked = std::exchange(transparencyAsked, false);
  if (!result.image) {
    // Nothing older may be shown or saved as if it were the project's GIF.
    built.reset();
    builtSize = 0;
    if (previewOpen()) {
      preview->showFailure(result.error);
      if (palette) palette->clearPalette();
    }
    if (!previewOpen() || saving) prompts->warning(previewOpen() ? preview.data() : host.window, kCaption, result.error);
    if (saving) Q_EMIT gifSaved(false);
    return;
  }
  built = result.image;
  builtSize = result.fileSize;
  builtFrameCount = requestedFrameCount;
  limitNote = result.limitNote;
  QStringList remarks = result.warnings;
  if (!limitNote.isEmpty()) remarks << tr("Size limit: %1").arg(limitNote);
  const QString remark = remarks.join(QLatin1Char('\n'));
  preview->setNotice(remark);
  if (result.report.transparentColor && host.showTransparentColor) host.showTransparentColor(*result.report.transparentColor);
  showGif();
  if (opening && host.showPalettePage) host.showPalettePage();
  // The user chose the colour a moment ago: say at once that it did not work as asked.
  if (asked && !result.warnings.isEmpty()) prompts->warning(preview, kCaption, result.warnings.join(QLatin1Char('\n')));
  if (saving) saveGif();
}

void PreviewController::showGif() {
  if (!built) return;
  // After a palette edit the size is measured again, on the bytes in memory.
  builtSize = built->saveToBytes().size();
  const exporter::GifStatistics statistics = exporter::statisticsOf(*built, builtSize, builtFrameCount);
  const QColor background = host.workAreaColor ? host.workAreaColor() : QColor(Qt::gray);
  preview->showGif(*built, statistics, QSize(built->width(), built->height()), background);
  const std::optional<exporter::AdProfile> profile = host.adProfile ? host.adProfile() : std::nullopt;
  preview->setCheck(profile ? tr("Check: %1").arg(QString::fromStdString(exporter::adCheckSummary(
                                  *profile, exporter::checkAd(*profile, builtSize, exporter::timingOf(*built)))))
                            : QString());
  if (palette) palette->showPalette(colorsOf(*built));
  if (host.previewAction) host.previewAction->setEnabled(false);
  Q_EMIT previewShown();
}

void PreviewController::previewWindowClosed() {
  // A rebuild under way is dropped with the window; it must not open it again.
  cancel();
  built.reset();
  if (palette) palette->clearPalette();
  if (host.previewAction && !busy()) host.previewAction->setEnabled(true);
  Q_EMIT previewClosed();
}

void PreviewController::saveGif() {
  if (busy()) {
    // The GIF shown is older than the project: save the one the rebuild gives.
    if (!previewOpen()) return;
    saveWhenBuilt = true;
    if (pause.isActive()) {
      pause.stop();
      startExport();
    }
    return;
  }
  if (!built) return;
  const std::string projectPath = host.project().fileName.str();
  const QString proposed = QString::fromStdString(exporter::proposedGifBaseName(projectPath));
  const QString directory = projectPath.empty() ? QDir::homePath() : QFileInfo(QString::fromStdString(projectPath)).absolutePath();
  const QString chosen = prompts->saveGifPath(preview, directory, proposed);
  if (chosen.isEmpty()) return;
  writeGif(chosen);
}

void PreviewController::writeGif(const QString& path) {
  if (host.statusPane) host.statusPane->setText(QStringLiteral("Writing GIF..."));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const exporter::SaveOutcome outcome = exporter::saveGif(*built, path.toStdString());
  if (host.statusPane) host.statusPane->setText(QStringLiteral("OK"));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // The palette of the GIF just written is on the "GIF Properties" page.
  if (host.showPalettePage) host.showPalettePage();
  QString message = QString::fromStdString(outcome.message);
  if (outcome.ok && !limitNote.isEmpty()) message += QLatin1Char('\n') + tr("Size limit: %1").arg(limitNote);
  if (outcome.ok) prompts->information(preview, kCaption, message);
  else prompts->warning(preview, kCaption, QString::fromStdString(outcome.message));
  Q_EMIT gifSaved(outcome.ok);
}

void PreviewController::editColor(int index) {
  if (!built || index < 0 || index >= built->globalTable().count()) return;
  const auto chosen = prompts->chooseColor(host.window, built->globalTable().entryColor(index));
  if (!chosen) return;
  gif::setGlobalColor(*built, index, *chosen);
  showGif();
}

void PreviewController::deleteColor(int index) {
  if (!built || !gif::canDeleteGlobalColor(*built)) return;
  gif::deleteGlobalColor(*built, index);
  showGif();
}

void PreviewController::setTransparent(int index) {
  if (!built || index < 0 || index >= built->globalTable().count()) return;
  const Color color = built->globalTable().entryColor(index);
  transparencyAsked = true;
  if (host.makeTransparent) host.makeTransparent(color);
  // The edit reaches projectChanged through the session; an open preview is rebuilt there.
}

}  // namespace zefra::app
