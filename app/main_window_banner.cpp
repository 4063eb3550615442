// Banners for ad slots: "New Banner...", "Resize Banner...", "Export GIF..." with the size
// limit and ad check of the GIF Properties page, and those export choices kept per
// project in the settings.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QStatusBar>
#include <QThread>

#include <memory>

#include "dialogs/banner_size_dialog.h"
#include "editor/banner_resize.h"
#include "editor/export_preferences.h"
#include "editor/panel_rules.h"
#include "export/ad_check.h"
#include "export/export_limits.h"
#include "export/gif_saver.h"
#include "export/project_export.h"
#include "export/project_renderer.h"
#include "export/size_budget.h"
#include "main_window.h"
#include "panels/export_limits_box.h"
#include "panels/gif_properties_page.h"
#include "preview/background_export.h"
#include "render/text_layer_renderer.h"
#include "support/app_folders.h"
#include "support/qt_conversions.h"
#include "text3d/glyph_cache.h"

namespace zefra::app {
namespace {

// What one export produced, for the status bar.
struct GifExportOutcome {
  bool written = false;
  QString error;
  std::uint64_t bytes = 0;
  QString note;  // what the size limit changed
  std::optional<exporter::AdCheck> check;
};

}  // namespace

void MainWindow::buildBannerActions() {
  newBannerAction = makeAction("MNewBanner", tr("New &Banner..."), tr("New Banner..."), QString(), 0);
  connect(newBannerAction, &QAction::triggered, this, &MainWindow::onNewBanner);
  resizeBannerAction = makeAction("MResizeBanner", tr("Resi&ze Banner..."), tr("Resize Banner..."), QString(), 0);
  connect(resizeBannerAction, &QAction::triggered, this, &MainWindow::onResizeBanner);
  exportGifAction = makeAction("MExportGif", tr("&Export GIF..."), tr("Export GIF..."), "document-export", 0);
  exportGifAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  connect(exportGifAction, &QAction::triggered, this, &MainWindow::onExportGif);
  // Ctrl+S on a project without a file asks where to save it, as Save Project as... does;
  // it is live only while "Save Project" is not, so the two never share the key.
  saveUntitledAction = new QAction(this);
  saveUntitledAction->setObjectName(QStringLiteral("MSaveUntitled"));
  saveUntitledAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveUntitledAction, &QAction::triggered, this, &MainWindow::onSaveAs);
  addAction(saveUntitledAction);
}

void MainWindow::buildBannerMenus(QMenu* file, QMenu* edit) {
  file->insertAction(openAction, newBannerAction);
  file->insertAction(recentFiles->menuAction(), exportGifAction);
  file->insertSeparator(recentFiles->menuAction());
  edit->addSeparator();
  edit->addAction(resizeBannerAction);
  // The export choices follow the project file.
  connect(editing, &EditorSession::fileStateChanged, this, &MainWindow::loadExportPreferences);
}

void MainWindow::loadExportPreferences() {
  if (!panels.gifProperties) return;
  const std::string file = editor().project().fileName.str();
  if (file == preferencesFile && preferencesLoaded) return;
  preferencesFile = file;
  preferencesLoaded = true;
  panels.gifProperties->exportLimits()->setPreferences(editor::readExportPreferences(*settingsStore, file));
}

void MainWindow::connectExportPreferences() {
  // After the frame pane, sharing the room that is left with the object pane.
  exportPane = new QLabel(this);
  exportPane->setObjectName(QStringLiteral("RzPaneExport"));
  statusBar()->insertWidget(2, exportPane, 1);
  ExportLimitsBox* box = panels.gifProperties->exportLimits();
  connect(box, &ExportLimitsBox::changed, this, [this, box] {
    editor::writeExportPreferences(*settingsStore, editor().project().fileName.str(), box->preferences());
  });
  loadExportPreferences();
}

void MainWindow::onNewBanner() {
  BannerSizeDialog dialog(BannerSizeDialog::Purpose::NewBanner, model::kNewWidth, model::kNewHeight, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!model::isDrawableLabelSize(dialog.chosenWidth(), dialog.chosenHeight())) {
    showError(tr("A banner of %1 x %2 pixels is too large to draw.").arg(dialog.chosenWidth()).arg(dialog.chosenHeight()));
    return;
  }
  if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) return;
  newProject();
  const int width = dialog.chosenWidth();
  const int height = dialog.chosenHeight();
  editing->apply([width, height](editor::Editor& e) {
    editor::Change change = e.editFrames(editor::EditScope::AllFrames, "Size", [&](model::FrameRecord& f) {
      f.width = static_cast<std::int16_t>(width);
      f.height = static_cast<std::int16_t>(height);
      editor::fitBorderBand(f);
    });
    // A new banner starts unmodified, as New does, and its size is no step to undo.
    e.discardChanges();
    return change;
  });
}

void MainWindow::onResizeBanner() {
  const model::FrameRecord& first = editor().project().frame(1);
  BannerSizeDialog dialog(BannerSizeDialog::Purpose::Resize, first.width, first.height, this);
  if (dialog.exec() != QDialog::Accepted) return;
  editor::ResizeRequest request{dialog.chosenWidth(), dialog.chosenHeight(), dialog.chosenAnchor(), {}, {},
                                &editing->textRenderer()};
  std::vector<std::string> notes;
  QString failure;
  editing->apply([&](editor::Editor& e) {
    try {
      editor::ResizeOutcome outcome = editor::resizeProject(e, request);
      notes = std::move(outcome.notes);
      return outcome.change;
    } catch (const std::exception& error) {
      failure = QString::fromStdString(error.what());
      return editor::Change::refused("");
    }
  });
  if (!failure.isEmpty()) showError(failure);
  else if (!notes.empty()) prompts->warning(this, toQString(editor::kWarningCaption), QString::fromStdString(notes.front()));
}

void MainWindow::onExportGif() {
  const model::LabelProject& project = editor().project();
  const std::string projectFile = project.fileName.str();
  editor::ExportPreferences preferences = panels.gifProperties->exportLimits()->preferences();
  QString proposed = QString::fromStdString(preferences.lastExportPath);
  if (proposed.isEmpty()) {
    const QFileInfo file(QString::fromStdString(projectFile));
    proposed = projectFile.empty() ? QDir(startFolder(toQString(project.projectDir.view()))).filePath(QStringLiteral("untitled.gif"))
                                   : file.dir().filePath(file.completeBaseName() + QStringLiteral(".gif"));
  }
  const QString path = prompts->saveGifPath(this, proposed);
  if (path.isEmpty()) return;

  // The export as zefra-cli makes it: the project's settings, drawn at its design DPI.
  auto copy = std::make_unique<model::LabelProject>(project);
  copy->screenDpi = static_cast<std::int16_t>(project.settings.designDpi > 0 ? project.settings.designDpi : 96);
  exporter::ExportSettings settings = exporter::exportSettingsOf(*copy);
  settings.loop = panels.gifProperties->loop();
  settings.plays = preferences.plays;
  if (panels.gifProperties->classicExport()) settings.method = exporter::ExportMethod::Classic;
  const std::optional<exporter::AdProfile> profile = adProfileOf(preferences);
  const std::uint64_t limit = sizeLimitOf(preferences);
  if (limit > 0) settings.method = exporter::ExportMethod::Standard;  // the search picks among standard exports

  QProgressDialog progress(tr("Exporting %1...").arg(QFileInfo(path).fileName()), QString(), 0, 0, this);
  progress.setObjectName(QStringLiteral("ExportGifProgress"));
  progress.setWindowTitle(tr("Export GIF"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setAutoReset(false);
  GifExportOutcome outcome;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    try {
      exporter::checkExportSize(*copy);
      gif::GifImage image;
      // The window keeps drawing the canvas meanwhile with the program's glyph cache, which
      // serves one thread: this export has its own, in memory only.
      text3d::GlyphCache glyphs;
      glyphs.setUseDiskCache(false);
      if (limit > 0) {
        render::TextLayerRenderer texts(copy->screenDpi, glyphs);
        exporter::ProjectRenderer renderer(*copy, &texts);
        const exporter::BudgetChoice choice = exporter::exportWithinBudget(
            *copy, settings, [&](int frame) { return renderer.render(frame); }, limit, image);
        if (!choice.fits) {
          outcome.error = limitFailureOf(choice, settings, limit);
          return;
        }
        outcome.note = limitNoteOf(choice, settings);
      } else {
        exporter::exportProject(*copy, settings, image, [&progress](exporter::ExportStage, int frame, int count) {
          QMetaObject::invokeMethod(&progress, [&progress, frame, count] {
            progress.setMaximum(count);
            progress.setValue(frame);
          }, Qt::QueuedConnection);
        }, &glyphs);
      }
      const exporter::SaveOutcome saved = exporter::saveGif(image, path.toStdString());
      if (!saved.ok) {
        outcome.error = QString::fromStdString(saved.detail.empty() ? saved.message : saved.message + " (" + saved.detail + ")");
        return;
      }
      outcome.written = true;
      outcome.bytes = saved.fileSize;
      if (profile) outcome.check = exporter::checkAd(*profile, saved.fileSize, exporter::timingOf(image));
    } catch (const std::bad_alloc&) {
      outcome.error = tr("Not enough memory to export.");
    } catch (const std::exception& error) {
      outcome.error = QString::fromStdString(error.what());
    }
  }));
  QEventLoop waiting;
  connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
  beginLongJob(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  worker->start();
  waiting.exec();
  worker->wait();
  QApplication::restoreOverrideCursor();
  progress.reset();
  endLongJob();

  if (!outcome.written) {
    exportPane->clear();
    showError(outcome.error);
    return;
  }
  // The pane says what was written and whether the check passed; what the limit changed
  // and each broken rule are in its tooltip, read with the text by a screen reader.
  QString text = tr("Exported %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(exporter::kilobytesText(outcome.bytes)));
  if (limit > 0) text += tr(" of %1").arg(QString::fromStdString(exporter::kilobytesText(limit)));
  QStringList details;
  if (!outcome.note.isEmpty()) details << tr("Size limit: %1").arg(outcome.note);
  if (outcome.check) {
    const QString name = QString::fromStdString(profile->name);
    text += QStringLiteral("; ") + (outcome.check->passes() ? tr("passes %1").arg(name) : tr("fails %1").arg(name));
    for (const std::string& rule : outcome.check->broken) details << QString::fromStdString(rule);
  }
  exportPane->setText(text);
  exportPane->setToolTip(details.join(QLatin1Char('\n')));
  exportPane->setAccessibleName(text);
  exportPane->setAccessibleDescription(details.join(QStringLiteral("; ")));
  // The panes leave the message little room in a narrow window: for a while it takes the
  // whole bar, then stays in its pane.
  statusBar()->showMessage(text, 15000);
  preferences.lastExportPath = path.toStdString();
  panels.gifProperties->exportLimits()->setPreferences(preferences);
  editor::writeExportPreferences(*settingsStore, projectFile, preferences);
}

}  // namespace zefra::app
