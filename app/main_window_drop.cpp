// Opening what is not a project, and files dropped on the window: a GIF named to Open or
// on the command line becomes a new project through Import GIF; a dropped project opens, a
// dropped GIF is imported (after asking), a dropped picture goes into the selected
// picture slot the way the picture file field puts it there.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

#include "editor/field_table.h"
#include "editor/gif_import.h"
#include "main_window.h"
#include "support/app_folders.h"
#include "support/qt_conversions.h"
#include "support/screen.h"

namespace zefra::app {

namespace {

enum class DroppedKind { None, Project, Gif, Picture };

DroppedKind kindOfFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("lbl")) return DroppedKind::Project;
  if (suffix == QLatin1String("gif")) return DroppedKind::Gif;
  if (suffix == QLatin1String("bmp") || suffix == QLatin1String("png")) return DroppedKind::Picture;
  return DroppedKind::None;
}

// The first local file of a drop that the window takes; empty when there is none.
QString droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && kindOfFile(url.toLocalFile()) != DroppedKind::None) return url.toLocalFile();
  }
  return {};
}

// A GIF is known by its signature, whatever its name says; a name ending in .gif that
// holds something else still goes the GIF way, so the reader says what is wrong with it.
bool isGifFile(const QString& path) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("GIF8")) return true;
  return kindOfFile(path) == DroppedKind::Gif;
}

}  // namespace

bool MainWindow::openFile(const QString& path) {
  if (!path.isEmpty() && isGifFile(path)) return openGif(path);
  return openProject(path);
}

bool MainWindow::openGif(const QString& givenPath) {
  const QString gif = QFileInfo(givenPath).absoluteFilePath();
  // The GIF is read and its pictures written for a project of its own before the one in
  // the window is given up, so a GIF that cannot be imported leaves that project in place.
  const editor::Editor blank(dataRoot().toStdString(), displayDpi());
  beginLongJob(true);
  editor::PreparedGifImport prepared =
      prepareGifInBackground(editor::planGifImport(blank.project()), gif, QFileInfo(gif).absolutePath());
  bool opened = false;
  if (prepared.refusal == editor::kCancelledImport) {
    editor::discardGifImport(prepared);
  } else if (!prepared.refusal.empty()) {
    editor::discardGifImport(prepared);
    showError(QString::fromStdString(prepared.refusal));
  } else {
    newProject();
    // Save as then proposes the GIF's name in its folder, beside the frame pictures.
    const QFileInfo info(gif);
    const std::string proposal = (info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + ".lbl").toStdString();
    opened = editing->apply([&](editor::Editor& e) {
                      const editor::Change change = editor::applyGifImport(e, std::move(prepared)).change;
                      e.setProjectDir(info.absolutePath().toStdString());
                      e.proposeFileName(proposal);
                      return change;
                    }).applied;
  }
  endLongJob();
  return opened;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy() && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = droppedFile(event->mimeData());
  if (busy() || path.isEmpty()) return;
  event->acceptProposedAction();
  // The questions come once the drop is over: a dialog inside the drop would keep the
  // program the file came from waiting for its end.
  QMetaObject::invokeMethod(this, [this, path] { openDroppedFile(path); }, Qt::QueuedConnection);
}

void MainWindow::openDroppedFile(const QString& path) {
  if (busy()) return;
  const model::LabelProject& p = editor().project();
  switch (kindOfFile(path)) {
    case DroppedKind::Project:
      if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) return;
      writeSettings();
      openProject(path);
      return;
    case DroppedKind::Gif: {
      const QString question =
          tr("Import the frames of %1 into this project?\n\nYes adds every frame of the animation; "
             "No loads it as Picture %2 of this frame.")
              .arg(QFileInfo(path).fileName())
              .arg(p.currentPicture);
      const QMessageBox::StandardButton answer = prompts->question(this, question);
      if (answer == QMessageBox::Yes) importGifFile(path);
      if (answer != QMessageBox::No) return;
      break;
    }
    case DroppedKind::Picture:
      break;
    case DroppedKind::None:
      return;
  }
  // As "Load Picture..." does: the selected slot of the current frame, under Lock Frames.
  pages->setCurrentIndex(1);
  editing->setField(editor::Field::PictureFile, QFileInfo(path).absoluteFilePath());
}

}  // namespace zefra::app
