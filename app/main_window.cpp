#include "main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <utility>

#include "dialogs/about_box.h"
#include "dialogs/help_window.h"
#include "editor/settings.h"
#include "editor/window_layout.h"
#include "preview/preview_wiring.h"
#include "session/layer_commands.h"
#include "support/app_folders.h"
#include "support/autosave.h"
#include "support/qt_conversions.h"
#include "support/qt_settings_store.h"
#include "support/screen.h"
#include "widgets/frame_view.h"

namespace zefra::app {

namespace {

constexpr int kWorkAreaTop = 4;
constexpr int kGap = 6;
constexpr int kWorkAreaBaseline = 100;
constexpr int kPageControlWidth = 620;
constexpr int kPageControlHeight = 300;

}  // namespace

MainWindow::MainWindow(const QStringList& arguments, std::unique_ptr<UserPrompts> prompts,
                       std::unique_ptr<editor::SettingsStore> settingsStore, QWidget* parent)
    : QMainWindow(parent),
      editing(new EditorSession(dataRoot().toStdString(), displayDpi(), this)),
      prompts(prompts ? std::move(prompts) : std::make_unique<UserPrompts>()),
      settingsStore(settingsStore ? std::move(settingsStore) : std::make_unique<QtSettingsStore>()),
      arguments(arguments),
      openFileOnActivate(!arguments.isEmpty()) {
  setObjectName(QStringLiteral("TfrmMainZefra"));
  setWindowTitle(QStringLiteral("Zefra"));
  setAcceptDrops(true);  // projects, GIFs and pictures (main_window_drop.cpp)

  buildActions();
  buildFrameToolActions();
  buildBannerActions();
  buildMenus();
  buildFrameToolMenus(findChild<QMenu*>(QStringLiteral("Edit1")), findChild<QMenu*>(QStringLiteral("View1")));
  buildBannerMenus(findChild<QMenu*>(QStringLiteral("File1")), findChild<QMenu*>(QStringLiteral("Edit1")));
  buildToolBar();
  buildFrameToolButtons();
  buildCentralArea();
  buildFrameStrip();
  buildStatusBar();
  panels = PropertyPages::build(*pages, *editing, *this->prompts);
  buildLayerCommands();
  connectExportPreferences();

  aboutBox = new AboutBox(this);
  helpWindow = new HelpWindow(programFolder(QStringLiteral("Help")), this);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    workAreaOfScreen = screen->availableGeometry();
    move(workAreaOfScreen.topLeft());
  }

  // The heights at creation are the baselines every later resize is measured from.
  workAreaBaselineHeight = kWorkAreaBaseline;
  windowBaselineHeight = menuBar()->sizeHint().height() + toolBar->sizeHint().height() +
                         statusBar()->sizeHint().height() + kWorkAreaTop + kWorkAreaBaseline + kGap +
                         frameStripHeight() + kPageControlHeight + kGap;
  resize(100, windowBaselineHeight);  // the layout widens it to its minimum
  applyLayout();

  connect(editing, &EditorSession::changed, this, &MainWindow::showChange);
  connect(editing, &EditorSession::refused, this, &MainWindow::showError);
  connect(editing, &EditorSession::warning, this, [this](const QString& text) {
    this->prompts->warning(this, toQString(editor::kWarningCaption), text);
  });
  connect(editing, &EditorSession::fileStateChanged, this, &MainWindow::showFileState);
  connect(editing, &EditorSession::lockFramesChanged, lockAction, &QAction::setChecked);
  updateFramePane();
  showCanvas();
  // After showChange is connected: the canvas editing follows a change once the canvas
  // shows it.
  buildCanvasEditing();
  buildAlignMenu();
  new PreviewWiring(*this);
  autosaver = new Autosave(*editing, editor::recoveryFolderFromEnvironment(), this);
}

MainWindow::~MainWindow() {
  // Tearing the widgets down moves the focus, and a field left that way still reports its
  // edit; nothing of the window may hear of it once this destructor has begun.
  if (editing) editing->blockSignals(true);
  // The layer commands follow the application's focus and ask this window what is
  // selected on the canvas: they go before the window's own members do.
  delete layerCommands;
  layerCommands = nullptr;
}

void MainWindow::buildCentralArea() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Central"));
  setCentralWidget(central);

  workArea = new QWidget(central);
  workArea->setObjectName(QStringLiteral("Panel1"));
  workArea->setAutoFillBackground(true);
  canvasView = new FrameView(workArea);

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
  readSettings();
  rebuildRecentMenu();
  if (arguments.isEmpty()) newProject();
  QTimer::singleShot(0, this, &MainWindow::offerRecovery);
  // A window manager may never activate a window it did not give focus to; the file named
  // on the command line must open all the same, so the first turn of the event loop counts
  // as the first activation too.
  QTimer::singleShot(0, this, &MainWindow::firstActivation);
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && shownOnce) firstActivation();
  return QMainWindow::event(event);
}

// A second argument "1" asked the old program to switch the system's font smoothing off
// while it ran; Zefra draws its own text and never touches that setting, so it is accepted
// and has no effect.
void MainWindow::firstActivation() {
  if (!openFileOnActivate) return;
  openFileOnActivate = false;  // before loading: the load lets events run
  openFile(arguments.at(0));
}

// Work an editor lost when it ended without saving comes first; a project named on the
// command line opens only when nothing was recovered in its place.
void MainWindow::offerRecovery() {
  const bool openArgument = std::exchange(openFileOnActivate, false);
  if (autosaver->offerRecovery(this)) {
    showFirstPage();
    return;
  }
  openFileOnActivate = openArgument;
  firstActivation();
}

void MainWindow::readSettings() {
  const editor::StoredSettings stored = editor::readSettings(*settingsStore);
  editing->setProjectDir(stored.lastDir);
  if (stored.left) move(*stored.left, y());
  if (stored.top) move(x(), *stored.top);
  if (stored.width) resize(*stored.width, height());
  if (stored.height) resize(width(), *stored.height);
}

void MainWindow::writeSettings() {
  editor::writeSettings(*settingsStore, editor().project().projectDir.view(),
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
  const model::FrameRecord& first = editor().project().frame(1);
  editor::WindowLayoutInput in;
  in.windowWidth = width();
  in.windowHeight = height();
  // The canvas as shown, at its zoom.
  in.labelWidth = first.width * canvasView->zoom();
  in.labelHeight = first.height * canvasView->zoom();
  in.pageControlWidth = pages->width();
  in.workAreaBaselineHeight = workAreaBaselineHeight;
  in.windowBaselineHeight = windowBaselineHeight;
  const editor::WindowLayout out = editor::layoutWindow(in);

  setMinimumWidth(editor::minimumWindowWidth(in.labelWidth, in.pageControlWidth));
  setMinimumHeight(windowBaselineHeight + editor::minimumWorkAreaHeight(in.labelHeight) - workAreaBaselineHeight);
  if (out.windowWidth != width() || out.windowHeight != height()) resize(out.windowWidth, out.windowHeight);

  workArea->setGeometry(out.workAreaLeft, kWorkAreaTop, out.workAreaWidth, out.workAreaHeight);
  canvasView->move(out.canvasLeft, out.canvasTop);
  placeFrameStrip(out.workAreaLeft, kWorkAreaTop + out.workAreaHeight + kGap, out.workAreaWidth);
  pages->move(out.pageControlLeft, kWorkAreaTop + out.workAreaHeight + kGap + frameStripHeight());
  inLayout = false;
}

// --- showing the project ----------------------------------------------------------------

void MainWindow::showChange(const editor::Change& change) {
  if (change.projectReplaced || change.currentFrameNeedsRedraw(editor().project().currentFrame) ||
      change.frameCountChanged) {
    showCanvas();
  }
  updateFramePane();
  showFileState();
}

void MainWindow::showCanvas() {
  QString failureText;
  for (const render::LoadFailure& failure : editing->layoutReport().failures) {
    // A missing or unreadable picture must not stop the editor; say which one is absent.
    failureText = QStringLiteral("%1 %2: %3")
                      .arg(failure.kind == render::CanvasObjectKind::Picture ? tr("Picture") : tr("Texture"))
                      .arg(failure.slot)
                      .arg(QString::fromStdString(failure.message));
  }
  // The pane also names the object under the mouse: only an error it still shows is taken
  // back once the picture draws again.
  if (!failureText.isEmpty()) {
    objectPane->setText(failureText);
  } else if (!shownLoadFailure.isEmpty() && objectPane->text() == shownLoadFailure) {
    objectPane->clear();
  }
  shownLoadFailure = failureText;
  QPalette palette = workArea->palette();
  palette.setColor(QPalette::Window, toQColor(editing->canvas().workAreaColor()));
  workArea->setPalette(palette);
  const QSize before = canvasView->size();
  canvasView->setPicture(editing->canvas().bitmap());
  if (canvasView->size() != before) applyLayout();
}

void MainWindow::showFileState() {
  // The mark tells unsaved changes apart, a recovered project's above all.
  setWindowTitle(QString::fromStdString(editor().caption()) + (editor().modified() ? QStringLiteral("*") : QString()));
  saveAction->setEnabled(editor().saveEnabled());
  saveUntitledAction->setEnabled(!editor().saveEnabled());
}

void MainWindow::updateFramePane() {
  const model::LabelProject& project = editor().project();
  framePane->setText(QStringLiteral("Frame %1 of %2").arg(project.currentFrame).arg(project.frameCount));
}

void MainWindow::showError(const QString& text) {
  prompts->error(this, toQString(editor::kErrorCaption), text);
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
  if (closeRequested) {
    closeRequested = false;
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
