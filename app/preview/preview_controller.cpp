#include "preview/preview_controller.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

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
  builtFrameCount = host.project().frameCount;
  exporter.start(host.project(), host.settings());
  Q_EMIT busyChanged(true);
}

void PreviewController::rebuildIfOpen() {
  if (previewOpen() || busy()) startPreview();
}

void PreviewController::projectChanged(const editor::Change& change) {
  if (!change.applied) return;
  if (change.settingsChanged || change.projectReplaced) {
    if (change.projectReplaced && previewOpen()) preview->close();
    else rebuildIfOpen();
    return;
  }
  if (palette && (change.frames.any() || change.frameCountChanged) && !busy()) palette->clearPalette();
}

void PreviewController::endJob() {
  if (cursorOverridden) {
    QApplication::restoreOverrideCursor();
    cursorOverridden = false;
  }
  if (progressBar) progressBar->hide();
  if (host.statusPane) host.statusPane->setText(QStringLiteral("OK"));
  // The command stays off while the preview is open.
  if (host.previewAction) host.previewAction->setEnabled(!previewOpen());
  Q_EMIT busyChanged(false);
}

void PreviewController::cancel() {
  if (!busy()) return;
  exporter.cancel();
  endJob();
}

void PreviewController::exportFinished(const ExportResult& result) {
  endJob();
  if (!result.image) {
    prompts->warning(host.window, kCaption, result.error);
    return;
  }
  built = result.image;
  builtSize = result.fileSize;
  showGif();
}

void PreviewController::showGif() {
  if (!built) return;
  // After a palette edit the size is measured again, on the bytes in memory.
  builtSize = built->saveToBytes().size();
  const exporter::GifStatistics statistics = exporter::statisticsOf(*built, builtSize, builtFrameCount);
  const QColor background = host.workAreaColor ? host.workAreaColor() : QColor(Qt::gray);
  preview->showGif(*built, statistics, QSize(built->width(), built->height()), background);
  if (palette) palette->showPalette(colorsOf(*built));
  if (host.previewAction) host.previewAction->setEnabled(false);
  Q_EMIT previewShown();
}

void PreviewController::previewWindowClosed() {
  if (palette) palette->clearPalette();
  if (host.previewAction && !busy()) host.previewAction->setEnabled(true);
  Q_EMIT previewClosed();
}

void PreviewController::saveGif() {
  if (!built) return;
  const std::string projectPath = host.project().fileName.str();
  const QString proposed = QString::fromStdString(exporter::proposedGifBaseName(projectPath));
  const QString directory = projectPath.empty() ? QDir::homePath() : QFileInfo(QString::fromStdString(projectPath)).absolutePath();
  const QString chosen = prompts->saveGifPath(preview, directory, proposed);
  if (chosen.isEmpty()) return;
  if (host.statusPane) host.statusPane->setText(QStringLiteral("Writing GIF..."));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const exporter::SaveOutcome outcome = exporter::saveGif(*built, chosen.toStdString());
  if (host.statusPane) host.statusPane->setText(QStringLiteral("OK"));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (outcome.ok) prompts->information(preview, kCaption, QString::fromStdString(outcome.message));
  else prompts->warning(preview, kCaption, QString::fromStdString(outcome.message));
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
  if (host.makeTransparent) host.makeTransparent(color);
  // The edit reaches projectChanged through the session; an open preview is rebuilt there.
}

}  // namespace zefra::app
