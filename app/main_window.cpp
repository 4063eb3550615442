#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "about_box.h"
#include "app_folders.h"
#include "editor/settings.h"
#include "editor/window_layout.h"
#include "frame_view.h"
#include "help_window.h"
#include "qt_settings_store.h"

namespace zefra::app {

namespace {

constexpr int kWorkAreaTop = 4;
constexpr int kGap = 6;
constexpr int kWorkAreaBaseline = 100;
constexpr int kPageControlWidth = 620;
constexpr int kPageControlHeight = 300;

std::int16_t displayDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  return static_cast<std::int16_t>(dpi > 0 && dpi < 1000 ? qRound(dpi) : 96);
}

QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

// Few icon themes have a padlock under a common name, and no style offers one.
QIcon padlockIcon() {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(90, 90, 90), 2.2));
  painter.drawArc(QRectF(6, 2, 10, 12), 0, 180 * 16);
  painter.drawLine(QPointF(6, 8), QPointF(6, 10));
  painter.drawLine(QPointF(16, 8), QPointF(16, 10));
  painter.setPen(QPen(QColor(120, 80, 0), 1));
  painter.setBrush(QColor(230, 170, 30));
  painter.drawRoundedRect(QRectF(3.5, 10.5, 15, 10), 2, 2);
  painter.setBrush(QColor(90, 60, 0));
  painter.drawEllipse(QPointF(11, 15), 1.6, 1.6);
  return QIcon(pixmap);
}

}  // namespace

MainWindow::MainWindow(const QStringList& arguments, std::unique_ptr<UserPrompts> prompts,
                       std::unique_ptr<editor::SettingsStore> settingsStore, QWidget* parent)
    : QMainWindow(parent),
      core(std::make_unique<editor::Editor>(dataRoot().toStdString(), displayDpi())),
      textRenderer(core->project().screenDpi),
      prompts(prompts ? std::move(prompts) : std::make_unique<UserPrompts>()),
      settingsStore(settingsStore ? std::move(settingsStore) : std::make_unique<QtSettingsStore>()),
      arguments(arguments) {
  setObjectName(QStringLiteral("TfrmMainZefra"));
  frameCanvas.setTextLayerPainter(&textRenderer);
  setWindowTitle(QStringLiteral("Zefra"));

  model::LabelProject& state = core->viewState();
  state.fontSmoothingOff = false;  // Zefra draws its own text and never touches the system's
  state.restoreFontSmoothing = true;
  state.openFileOnActivate = !arguments.isEmpty();

  buildActions();
  buildMenus();
  buildToolBar();
  buildCentralArea();
  buildStatusBar();

  aboutBox = new AboutBox(this);
  helpWindow = new HelpWindow(programFolder(QStringLiteral("Help")), this);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    state.workArea = {available.left(), available.top(), available.right() + 1, available.bottom() + 1};
    move(available.topLeft());
  }

  // The heights at creation are the baselines every later resize is measured from.
  workAreaBaselineHeight = kWorkAreaBaseline;
  windowBaselineHeight = menuBar()->sizeHint().height() + toolBar->sizeHint().height() +
                         statusBar()->sizeHint().height() + kWorkAreaTop + kWorkAreaBaseline + kGap +
                         kPageControlHeight + kGap;
  state.modified = false;
  state.updatingControls = false;
  state.cancelRequested = false;
  resize(100, windowBaselineHeight);  // the layout widens it to its minimum
  applyLayout();
  updateFramePane();
  drawCanvas();
}

MainWindow::~MainWindow() = default;

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
  lockAction->setChecked(core->project().lockFrames);
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

void MainWindow::buildCentralArea() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Central"));
  setCentralWidget(central);

  workArea = new QWidget(central);
  workArea->setObjectName(QStringLiteral("Panel1"));
  workArea->setAutoFillBackground(true);
  canvasView = new FrameView(workArea);
  connect(canvasView, &FrameView::mouseMovedTo, this, &MainWindow::updateObjectPane);
  connect(canvasView, &FrameView::mouseLeft, this, [this] { objectPane->clear(); });

  pages = new QTabWidget(central);
  pages->setObjectName(QStringLiteral("PControl1"));
  const char* const pageNames[] = {"TabGeneral", "TabPicturesShapes", "TabText3D", "TabGifProperties"};
  const QString captions[] = {tr("&General"), tr("&Pictures/Shapes"), tr("3D&Text"), tr("GIF P&roperties")};
  for (int i = 0; i < 4; ++i) {
    auto* pageWidget = new QWidget(pages);
    pageWidget->setObjectName(QLatin1String(pageNames[i]));
    pages->addTab(pageWidget, captions[i]);
  }
  pages->setFixedSize(kPageControlWidth, kPageControlHeight);
  connect(pages, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
}

void MainWindow::buildStatusBar() {
  statusPane = new QLabel(QStringLiteral("OK"), this);
  statusPane->setObjectName(QStringLiteral("RzPane1"));
  statusPane->setMinimumWidth(110);
  framePane = new QLabel(this);
  framePane->setObjectName(QStringLiteral("RzPane2"));
  framePane->setMinimumWidth(130);
  objectPane = new QLabel(this);
  objectPane->setObjectName(QStringLiteral("RzPane4"));
  statusBar()->addWidget(statusPane);
  statusBar()->addWidget(framePane);
  statusBar()->addWidget(objectPane, 1);
}

QWidget* MainWindow::page(int index) const { return pages->widget(index); }

bool MainWindow::busy() const { return statusPane->text() == QLatin1String("Please wait..."); }

void MainWindow::onPageChanged(int index) { currentHelpContext = index + 1; }

// --- start-up ---------------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce) return;
  shownOnce = true;
  model::LabelProject& state = core->viewState();
  state.currentText = state.currentPicture = state.currentShape = 1;
  readSettings();
  rebuildRecentMenu();
  if (arguments.isEmpty()) newProject();
  // A window manager may never activate a window it did not give focus to; the file named
  // on the command line must open all the same, so the first turn of the event loop counts
  // as the first activation too.
  QTimer::singleShot(0, this, &MainWindow::firstActivation);
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && shownOnce) firstActivation();
  return QMainWindow::event(event);
}

void MainWindow::firstActivation() {
  model::LabelProject& state = core->viewState();
  if (!state.openFileOnActivate) return;
  state.openFileOnActivate = false;  // before loading: the load lets events run
  labelOpen(arguments.at(0));
  if (arguments.size() > 1 && arguments.at(1) == QLatin1String("1")) state.fontSmoothingOff = true;
}

void MainWindow::readSettings() {
  const editor::StoredSettings stored = editor::readSettings(*settingsStore);
  core->viewState().projectDir.assign(stored.lastDir);
  if (stored.left) move(*stored.left, y());
  if (stored.top) move(x(), *stored.top);
  if (stored.width) resize(*stored.width, height());
  if (stored.height) resize(width(), *stored.height);
}

void MainWindow::writeSettings() {
  editor::writeSettings(*settingsStore, core->project().projectDir.view(),
                        editor::WindowPlacement{x(), y(), width(), height()});
}

// --- layout -----------------------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  applyLayout();
}

void MainWindow::applyLayout() {
  if (inLayout || !workArea) return;
  inLayout = true;
  const model::FrameRecord& first = core->project().frame(1);
  editor::WindowLayoutInput in;
  in.windowWidth = width();
  in.windowHeight = height();
  in.labelWidth = first.width;
  in.labelHeight = first.height;
  in.pageControlWidth = pages->width();
  in.workAreaBaselineHeight = workAreaBaselineHeight;
  in.windowBaselineHeight = windowBaselineHeight;
  const editor::WindowLayout out = editor::layoutWindow(in);

  setMinimumWidth(editor::minimumWindowWidth(in.labelWidth, in.pageControlWidth));
  setMinimumHeight(windowBaselineHeight + editor::minimumWorkAreaHeight(in.labelHeight) - workAreaBaselineHeight);
  if (out.windowWidth != width() || out.windowHeight != height()) resize(out.windowWidth, out.windowHeight);

  workArea->setGeometry(out.workAreaLeft, kWorkAreaTop, out.workAreaWidth, out.workAreaHeight);
  canvasView->move(out.canvasLeft, out.canvasTop);
  pages->move(out.pageControlLeft, kWorkAreaTop + out.workAreaHeight + kGap);
  inLayout = false;
}

// --- showing the project ----------------------------------------------------------------

void MainWindow::drawCanvas() {
  model::LabelProject& state = core->viewState();
  render::CanvasSettings settings;
  settings.appDir = state.appDir;
  settings.screenDpi = state.screenDpi;
  settings.designDpi = state.settings.designDpi;
  frameCanvas.setSettings(settings);
  const render::LayoutReport report = frameCanvas.pnt(state.current());
  for (const render::LoadFailure& failure : report.failures) {
    // A missing or unreadable picture must not stop the editor; say which one is absent.
    objectPane->setText(QStringLiteral("%1 %2: %3")
                            .arg(failure.kind == render::CanvasObjectKind::Picture ? tr("Picture") : tr("Texture"))
                            .arg(failure.slot)
                            .arg(QString::fromStdString(failure.message)));
  }

  QPalette palette = workArea->palette();
  palette.setColor(QPalette::Window, toQColor(frameCanvas.workAreaColor()));
  workArea->setPalette(palette);
  const QSize before = canvasView->size();
  canvasView->setPicture(frameCanvas.bitmap());
  if (canvasView->size() != before) applyLayout();
}

void MainWindow::refillPanels() {
  model::LabelProject& state = core->viewState();
  const bool was = state.updatingControls;
  state.updatingControls = true;
  Q_EMIT fillPanels();
  state.updatingControls = was;
}

void MainWindow::refreshAll() {
  refillPanels();
  drawCanvas();
  updateFramePane();
}

void MainWindow::updateCaption() { setWindowTitle(QString::fromStdString(core->caption())); }

void MainWindow::updateFramePane() {
  const model::LabelProject& project = core->project();
  framePane->setText(QStringLiteral("Frame %1 of %2").arg(project.currentFrame).arg(project.frameCount));
}

void MainWindow::updateSaveEnabled() { saveAction->setEnabled(core->saveEnabled()); }

void MainWindow::updateObjectPane(int x, int y) {
  const std::optional<render::CanvasObject> object = frameCanvas.objectAt(x, y);
  if (!object) {
    objectPane->setText(frameCanvas.bitmap().contains(x, y) ? tr("Frame") : QString());
    return;
  }
  switch (object->kind) {
    case render::CanvasObjectKind::Shape: objectPane->setText(tr("Shape %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Picture: objectPane->setText(tr("Picture %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Text: objectPane->setText(tr("Text String %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Border: objectPane->setText(tr("Borders")); break;
  }
}

void MainWindow::showChange(const editor::Change& change) {
  if (change.projectReplaced) {
    frameCanvas.clear();  // the canvas half of clearing: nothing of the old project stays loaded
    refreshAll();
    return;
  }
  if (change.currentFrameChanged || change.frameCountChanged || change.frames.any() || change.settingsChanged ||
      change.slotSelectionChanged) {
    refillPanels();
  }
  if (change.currentFrameNeedsRedraw(core->project().currentFrame) || change.frameCountChanged) drawCanvas();
  updateFramePane();
}

void MainWindow::showEditResult(const editor::Change& change) {
  if (!change.applied) {
    if (!change.message.empty()) showError(QString::fromStdString(change.message));
    return;
  }
  if (change.currentFrameNeedsRedraw(core->project().currentFrame) || change.frameCountChanged) drawCanvas();
  updateFramePane();
}

void MainWindow::showError(const QString& text) {
  prompts->error(this, QString::fromUtf8(editor::kErrorCaption.data(), static_cast<qsizetype>(editor::kErrorCaption.size())),
                 text);
}

void MainWindow::beginLongJob(bool disablePreview) {
  statusPane->setText(QStringLiteral("Please wait..."));
  if (disablePreview) previewAction->setEnabled(false);
  QCoreApplication::processEvents();
}

void MainWindow::endLongJob() {
  statusPane->setText(QStringLiteral("OK"));
  previewAction->setEnabled(true);
  QCoreApplication::processEvents();
  // A close asked for while the job ran is carried out now that it is over.
  if (core->project().cancelRequested) {
    core->viewState().cancelRequested = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::rebuildRecentMenu() {
  recentMenu.rebuild(editor::readRecentFiles(*settingsStore));
  for (int n = 1; n <= editor::kRecentFileCount; ++n) {
    const editor::RecentFilesMenu::Item& item = recentMenu.item(n);
    QAction* action = recentItems[static_cast<std::size_t>(n - 1)];
    if (!item.visible) continue;
    // The caption's own "&n" is the mnemonic; an ampersand inside the path is shown as is.
    const QString caption = QString::fromStdString(item.caption);
    action->setText(caption.left(3) + QString(caption.mid(3)).replace('&', QLatin1String("&&")));
    action->setVisible(true);
  }
  recentFiles->setEnabled(recentMenu.enabled());
}

void MainWindow::rememberRecentFile(const QString& path) {
  editor::recordRecentFile(*settingsStore, path.toStdString());
  rebuildRecentMenu();
}

}  // namespace zefra::app
