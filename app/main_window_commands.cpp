// The commands of the File, Edit, View and Help menus.
#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>

#include "about_box.h"
#include "app_folders.h"
#include "help_window.h"
#include "main_window.h"
#include "export/project_folder.h"

namespace zefra::app {

namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QMessageBox::StandardButton MainWindow::modifyMsg() {
  const QMessageBox::StandardButton answer =
      prompts->question(this, QString::fromStdString(editor::saveQuestion(windowTitle().toStdString())));
  if (answer == QMessageBox::Yes) {
    const bool saved = core->saveEnabled() ? onSave() : onSaveAs();
    // Saying Yes and then not getting a saved file must not cost the user the changes.
    if (!saved) return QMessageBox::Cancel;
    core->discardChanges();
    return answer;
  }
  if (answer == QMessageBox::No) {
    core->discardChanges();
    return answer;
  }
  return QMessageBox::Cancel;
}

void MainWindow::newProject() {
  showChange(core->newProject());
  updateCaption();
  lockAction->setChecked(core->project().lockFrames);
  Q_EMIT lockFramesChanged(core->project().lockFrames);
  updateSaveEnabled();
  pages->setCurrentIndex(0);
  currentHelpContext = 1;
}

void MainWindow::onNew() {
  if (core->modified() && modifyMsg() == QMessageBox::Cancel) return;
  newProject();
}

void MainWindow::onOpen() {
  if (core->modified() && modifyMsg() == QMessageBox::Cancel) return;
  model::LabelProject& state = core->viewState();
  if (state.projectDir.empty()) state.projectDir.assign(programFolder(QStringLiteral("Demo")).toStdString());
  const QString path = prompts->openProjectPath(this, fromView(state.projectDir.view()));
  if (path.isEmpty()) return;
  // The project is loaded here, in this window; the settings are written as they were
  // when opening handed over to a fresh program.
  writeSettings();
  labelOpen(path);
}

bool MainWindow::labelOpen(const QString& givenPath) {
  // A path given relative to the folder the program was started in would name another
  // file once the list of recent files is used from elsewhere.
  const QString path = givenPath.isEmpty() ? givenPath : QFileInfo(givenPath).absoluteFilePath();
  beginLongJob(true);
  const editor::LoadResult result = core->load(path.toStdString());
  if (result.ok) {
    // Projects may carry their pictures and textures beside them (the samples do), so
    // names the program's folder cannot resolve are looked up next to the project too.
    model::LabelProject& loaded = core->viewState();
    exporter::completeNamesFromProjectFolder(loaded, QFileInfo(path).absolutePath().toStdString(),
                                             loaded.appDir);
    pages->setCurrentIndex(0);
    currentHelpContext = 1;
    showChange(result.change);
    updateCaption();
    updateSaveEnabled();
    rememberRecentFile(path);
    endLongJob();
    if (!result.warning.empty()) {
      prompts->warning(this, fromView(editor::kWarningCaption), QString::fromStdString(result.warning));
    }
    return true;
  }
  showError(QString::fromStdString(result.error));
  newProject();
  endLongJob();
  return false;
}

bool MainWindow::onSave() {
  if (!core->saveEnabled()) return false;
  const editor::SaveResult result = core->save();
  if (!result.ok) {
    showError(QString::fromStdString(result.error));
    return false;
  }
  rememberRecentFile(QString::fromStdString(core->project().fileName.str()));
  return true;
}

bool MainWindow::onSaveAs() {
  const model::LabelProject& project = core->project();
  const QString proposed = QFileInfo(QString::fromStdString(project.fileName.str())).completeBaseName();
  const QString path = prompts->saveProjectPath(this, fromView(project.projectDir.view()), proposed);
  if (path.isEmpty()) return false;
  const editor::SaveResult result = core->saveAs(path.toStdString());
  if (!result.ok) {
    showError(QString::fromStdString(result.error));
    return false;
  }
  rememberRecentFile(path);
  updateCaption();
  updateSaveEnabled();
  return true;
}

void MainWindow::onRecentFile(int n) {
  const std::string path = editor::RecentFilesMenu::pathOfCaption(recentMenu.item(n).caption);
  if (path.empty()) return;
  if (core->modified() && modifyMsg() == QMessageBox::Cancel) return;
  labelOpen(QString::fromStdString(path));
}

void MainWindow::onExit() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy()) {
    core->viewState().cancelRequested = true;
    event->ignore();
    return;
  }
  if (core->modified() && modifyMsg() == QMessageBox::Cancel) {
    event->ignore();
    return;
  }
  writeSettings();
  helpWindow->close();
  event->accept();
}

void MainWindow::onInsertFrame() { showEditResult(core->insertFrame()); refillPanels(); }

void MainWindow::onDeleteFrame() { showEditResult(core->deleteFrame()); refillPanels(); }

void MainWindow::onReverseFrames() {
  beginLongJob(false);
  const editor::Change change = core->reverseFrames();
  refillPanels();
  showEditResult(change);
  endLongJob();
}

void MainWindow::onLockFrames() {
  const bool locked = core->toggleLockFrames();
  lockAction->setChecked(locked);
  Q_EMIT lockFramesChanged(locked);
}

void MainWindow::onNextFrame() { showChange(core->nextFrame()); }
void MainWindow::onPreviousFrame() { showChange(core->previousFrame()); }
void MainWindow::onFirstFrame() { showChange(core->firstFrame()); }
void MainWindow::onLastFrame() { showChange(core->lastFrame()); }

void MainWindow::onContents() { helpWindow->showContext(0); }
void MainWindow::onContextHelp() { helpWindow->showContext(currentHelpContext); }
void MainWindow::onAbout() { aboutBox->exec(); }

}  // namespace zefra::app
