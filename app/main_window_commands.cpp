// The commands of the File, Edit, View and Help menus.
#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>

#include "dialogs/about_box.h"
#include "dialogs/help_window.h"
#include "main_window.h"
#include "support/app_folders.h"
#include "support/autosave.h"
#include "support/qt_conversions.h"

namespace zefra::app {

QMessageBox::StandardButton MainWindow::askToSaveChanges() {
  const QMessageBox::StandardButton answer =
      prompts->question(this, QString::fromStdString(editor::saveQuestion(editor().caption())));
  if (answer == QMessageBox::Yes) {
    const bool saved = editor().saveEnabled() ? onSave() : onSaveAs();
    // Saying Yes and then not getting a saved file must not cost the user the changes.
    if (!saved) return QMessageBox::Cancel;
    editing->discardChanges();
    return answer;
  }
  if (answer == QMessageBox::No) {
    editing->discardChanges();
    return answer;
  }
  return QMessageBox::Cancel;
}

void MainWindow::showFirstPage() {
  pages->setCurrentIndex(0);
  currentHelpContext = 1;
}

void MainWindow::newProject() {
  editing->newProject();
  showFirstPage();
}

void MainWindow::onNew() {
  if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) return;
  newProject();
}

void MainWindow::onOpen() {
  if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) return;
  const QString path = prompts->openProjectPath(this, startFolder(toQString(editor().project().projectDir.view())));
  if (path.isEmpty()) return;
  // The project is loaded here, in this window; the settings are written as they were
  // when opening handed over to a fresh program. A GIF becomes a new project.
  writeSettings();
  openFile(path);
}

bool MainWindow::openProject(const QString& givenPath) {
  // A path given relative to the folder the program was started in would name another
  // file once the list of recent files is used from elsewhere.
  const QString path = givenPath.isEmpty() ? givenPath : QFileInfo(givenPath).absoluteFilePath();
  beginLongJob(true);
  // The session shows the 1.02 notice while reading, before the loaded project appears.
  const editor::LoadResult result = editing->load(path.toStdString());
  if (!result.ok) {
    showFirstPage();
    endLongJob();
    return false;
  }
  showFirstPage();
  rememberRecentFile(path);
  endLongJob();
  return true;
}

bool MainWindow::onSave() {
  if (!editor().saveEnabled()) return false;
  const editor::SaveResult result = editing->save();
  if (!result.ok) {
    showError(QString::fromStdString(result.error));
    return false;
  }
  rememberRecentFile(QString::fromStdString(editor().project().fileName.str()));
  return true;
}

bool MainWindow::onSaveAs() {
  const model::LabelProject& project = editor().project();
  const QString proposed = QFileInfo(QString::fromStdString(project.fileName.str())).completeBaseName();
  const QString path = prompts->saveProjectPath(this, startFolder(toQString(project.projectDir.view())), proposed);
  if (path.isEmpty()) return false;
  const editor::SaveResult result = editing->saveAs(path.toStdString());
  if (!result.ok) {
    showError(QString::fromStdString(result.error));
    return false;
  }
  rememberRecentFile(path);
  return true;
}

void MainWindow::onRecentFile(int n) {
  const std::string path = editor::RecentFilesMenu::pathOfCaption(recentMenu.item(n).caption);
  if (path.empty()) return;
  if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) return;
  openProject(QString::fromStdString(path));
}

void MainWindow::onExit() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy()) {
    closeRequested = true;
    event->ignore();
    return;
  }
  if (editor().modified() && askToSaveChanges() == QMessageBox::Cancel) {
    event->ignore();
    return;
  }
  writeSettings();
  helpWindow->close();
  autosaver->projectClosed();
  event->accept();
}

void MainWindow::onInsertFrame() {
  editing->apply([](editor::Editor& e) { return e.insertFrame(); });
}

void MainWindow::onDeleteFrame() {
  editing->apply([](editor::Editor& e) { return e.deleteFrame(); });
}

void MainWindow::onReverseFrames() {
  beginLongJob(false);
  editing->apply([](editor::Editor& e) { return e.reverseFrames(); });
  endLongJob();
}

void MainWindow::onLockFrames() { editing->toggleLockFrames(); }

void MainWindow::onNextFrame() {
  editing->apply([](editor::Editor& e) { return e.nextFrame(); });
}
void MainWindow::onPreviousFrame() {
  editing->apply([](editor::Editor& e) { return e.previousFrame(); });
}
void MainWindow::onFirstFrame() {
  editing->apply([](editor::Editor& e) { return e.firstFrame(); });
}
void MainWindow::onLastFrame() {
  editing->apply([](editor::Editor& e) { return e.lastFrame(); });
}

void MainWindow::onContents() { helpWindow->showContext(0); }
void MainWindow::onContextHelp() { helpWindow->showContext(currentHelpContext); }
void MainWindow::onAbout() { aboutBox->exec(); }

}  // namespace zefra::app
