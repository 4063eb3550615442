// The menus, their commands and the toolbar of the main window.
#include <QAction>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "main_window.h"
#include "session/undo_actions.h"
#include "support/screen.h"
#include "widgets/padlock_icon.h"

namespace zefra::app {

QAction* MainWindow::makeAction(const char* objectName, const QString& text, const QString& hint,
                                const QString& iconName, int fallbackIcon) {
  auto* action = new QAction(text, this);
  action->setObjectName(QLatin1String(objectName));
  if (!hint.isEmpty()) action->setToolTip(hint);
  if (!iconName.isEmpty()) {
    const QIcon fallback = style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallbackIcon));
    action->setIcon(QIcon::fromTheme(iconName, fallback));
  }
  return action;
}

void MainWindow::buildActions() {
  newAction = makeAction("MNew", tr("&New..."), tr("New"), "document-new", QStyle::SP_FileIcon);
  newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  connect(newAction, &QAction::triggered, this, &MainWindow::onNew);

  openAction = makeAction("MOpen", tr("&Open Project..."), tr("Open Project..."), "document-open",
                          QStyle::SP_DialogOpenButton);
  openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(openAction, &QAction::triggered, this, &MainWindow::onOpen);

  // The menu item and the toolbar button are one action, enabled together; both save.
  saveAction = makeAction("MSave", tr("&Save Project"), tr("Save Project"), "document-save",
                          QStyle::SP_DialogSaveButton);
  saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveAction->setEnabled(false);
  connect(saveAction, &QAction::triggered, this, &MainWindow::onSave);

  saveAsAction = makeAction("MSaveas", tr("Save Project as..."), tr("Save Project as..."), "document-save-as",
                            QStyle::SP_DriveFDIcon);
  connect(saveAsAction, &QAction::triggered, this, &MainWindow::onSaveAs);

  exitAction = makeAction("MExit", tr("E&xit"), QString(), "application-exit", QStyle::SP_DialogCloseButton);
  exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exitAction, &QAction::triggered, this, &MainWindow::onExit);

  insertAction = makeAction("MInsert", tr("&Insert Frame"), tr("Insert Frame"), "list-add",
                            QStyle::SP_FileDialogNewFolder);
  connect(insertAction, &QAction::triggered, this, &MainWindow::onInsertFrame);
  deleteAction = makeAction("MDelete", tr("&Delete Frame"), tr("Delete Frame"), "list-remove", QStyle::SP_TrashIcon);
  connect(deleteAction, &QAction::triggered, this, &MainWindow::onDeleteFrame);
  reverseAction = makeAction("MReverse", tr("&Reverse Frame Order"), tr("Reverse Frame Order"),
                             "object-flip-horizontal", QStyle::SP_BrowserReload);
  connect(reverseAction, &QAction::triggered, this, &MainWindow::onReverseFrames);
  lockAction = makeAction("MLock", tr("&Lock Frames"), tr("Lock/Unlock Frames"), QString(), 0);
  lockAction->setIcon(QIcon::fromTheme(QStringLiteral("object-locked"), padlockIcon()));
  lockAction->setCheckable(true);
  lockAction->setChecked(editor().project().lockFrames);
  connect(lockAction, &QAction::triggered, this, &MainWindow::onLockFrames);

  nextAction = makeAction("MNext", tr("&Next Frame"), tr("Next Frame"), "go-next", QStyle::SP_ArrowRight);
  connect(nextAction, &QAction::triggered, this, &MainWindow::onNextFrame);
  previousAction = makeAction("MPrevious", tr("&Previous Frame"), tr("Previous Frame"), "go-previous",
                              QStyle::SP_ArrowLeft);
  connect(previousAction, &QAction::triggered, this, &MainWindow::onPreviousFrame);
  firstAction = makeAction("MFirst", tr("&First Frame"), tr("First Frame"), "go-first", QStyle::SP_MediaSkipBackward);
  connect(firstAction, &QAction::triggered, this, &MainWindow::onFirstFrame);
  lastAction = makeAction("MLast", tr("&Last Frame"), tr("Last Frame"), "go-last", QStyle::SP_MediaSkipForward);
  connect(lastAction, &QAction::triggered, this, &MainWindow::onLastFrame);

  // The preview window arrives with the export; the command is here so its enabled state
  // already follows the long jobs.
  previewAction = makeAction("MStart", tr("&GIF Preview"), tr("GIF Preview"), "media-playback-start",
                             QStyle::SP_MediaPlay);

  contentsAction = makeAction("MContents", tr("&Contents"), tr("Help"), "help-contents", QStyle::SP_DialogHelpButton);
  connect(contentsAction, &QAction::triggered, this, &MainWindow::onContents);
  aboutAction = makeAction("MAbout", tr("&About..."), QString(), QString(), 0);
  connect(aboutAction, &QAction::triggered, this, &MainWindow::onAbout);

  // The help key opens the topic of the page on show.
  auto* contextHelp = new QAction(this);
  contextHelp->setObjectName(QStringLiteral("ContextHelp"));
  contextHelp->setShortcut(QKeySequence::HelpContents);
  contextHelp->setShortcutContext(Qt::WindowShortcut);
  connect(contextHelp, &QAction::triggered, this, &MainWindow::onContextHelp);
  addAction(contextHelp);
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->setObjectName(QStringLiteral("File1"));
  file->addAction(newAction);
  file->addAction(openAction);
  file->addAction(saveAction);
  file->addAction(saveAsAction);
  file->addSeparator();
  recentFiles = file->addMenu(tr("Recent &Files"));
  recentFiles->setObjectName(QStringLiteral("MRecent"));
  recentFiles->setEnabled(false);
  static const char* const kItemNames[] = {"N11", "N21", "N31", "N41", "N51"};
  for (int n = 1; n <= editor::kRecentFileCount; ++n) {
    QAction* item = recentFiles->addAction(QStringLiteral("&%1").arg(n));
    item->setObjectName(QLatin1String(kItemNames[n - 1]));
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, n] { onRecentFile(n); });
    recentItems[static_cast<std::size_t>(n - 1)] = item;
  }
  file->addSeparator();
  file->addAction(exitAction);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->setObjectName(QStringLiteral("Edit1"));
  undoActions = new UndoActions(*editing, this);
  edit->addAction(undoActions->undoAction());
  edit->addAction(undoActions->redoAction());
  edit->addSeparator();
  edit->addAction(insertAction);
  edit->addAction(deleteAction);
  edit->addAction(reverseAction);
  edit->addSeparator();
  edit->addAction(lockAction);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->setObjectName(QStringLiteral("View1"));
  view->addAction(nextAction);
  view->addAction(previousAction);
  view->addAction(firstAction);
  view->addAction(lastAction);
  view->addSeparator();
  view->addAction(previewAction);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  help->addAction(contentsAction);
  help->addSeparator();
  help->addAction(aboutAction);
}

void MainWindow::buildToolBar() {
  toolBar = addToolBar(tr("Toolbar"));
  toolBar->setObjectName(QStringLiteral("RzToolbar1"));
  toolBar->setMovable(false);
  toolBar->setIconSize(QSize(20, 20));
  toolBar->setFixedHeight(displayDpi() >= 120 ? 31 : 30);
  const std::pair<QAction*, const char*> buttons[] = {
      {newAction, "RzNew"},         {openAction, "RzOpen"},         {saveAction, "RzSave"},
      {saveAsAction, "RzSaveas"},   {nullptr, nullptr},             {insertAction, "RzInsert"},
      {deleteAction, "RzDelete"},   {reverseAction, "RzReverse"},   {lockAction, "RzLock"},
      {nullptr, nullptr},           {firstAction, "RzFirst"},       {previousAction, "RzPrevious"},
      {nextAction, "RzNext"},       {lastAction, "RzLast"},         {nullptr, nullptr},
      {previewAction, "RzStart"},   {contentsAction, "RzHelp"},
  };
  for (const auto& [action, name] : buttons) {
    if (!action) {
      toolBar->addSeparator();
      continue;
    }
    toolBar->addAction(action);
    if (QWidget* button = toolBar->widgetForAction(action)) button->setObjectName(QLatin1String(name));
  }
}

}  // namespace zefra::app
