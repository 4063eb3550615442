// The frame tools (move a frame, tween, import a GIF), the canvas zoom and "Edit
// Picture...": their actions, menus and toolbar buttons, and the commands.
#include <QAction>
#include <QActionGroup>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>

#include <atomic>
#include <memory>

#include "editor/frame_tools.h"
#include "editor/gif_import.h"
#include "editor/image_editor_command.h"
#include "editor/picture_watch.h"
#include "main_window.h"
#include "support/app_folders.h"
#include "support/external_picture_editor.h"
#include "support/qt_conversions.h"
#include "widgets/canvas_editing.h"
#include "widgets/frame_view.h"

namespace zefra::app {

void MainWindow::buildFrameToolActions() {
  moveLeftAction = makeAction("MMoveLeft", tr("Move Frame &Left"), tr("Move Frame Left"), "go-previous-view",
                              QStyle::SP_ArrowBack);
  moveLeftAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left));
  connect(moveLeftAction, &QAction::triggered, this, &MainWindow::onMoveFrameLeft);
  moveRightAction = makeAction("MMoveRight", tr("Move Frame &Right"), tr("Move Frame Right"), "go-next-view",
                               QStyle::SP_ArrowForward);
  moveRightAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
  connect(moveRightAction, &QAction::triggered, this, &MainWindow::onMoveFrameRight);
  tweenAction = makeAction("MTween", tr("&Tween Frames..."), tr("Tween Frames..."), "media-seek-forward",
                           QStyle::SP_MediaSeekForward);
  connect(tweenAction, &QAction::triggered, this, &MainWindow::onTweenFrames);
  importGifAction = makeAction("MImportGif", tr("Import &GIF..."), tr("Import GIF..."), "insert-image",
                               QStyle::SP_DirOpenIcon);
  connect(importGifAction, &QAction::triggered, this, &MainWindow::onImportGif);

  zoomGroup = new QActionGroup(this);
  const std::pair<const char*, int> levels[] = {{"MZoom100", 1}, {"MZoom200", 2}, {"MZoom400", 4}};
  for (const auto& [name, factor] : levels) {
    QAction* level = makeAction(name, QStringLiteral("%1 %").arg(factor * 100), QString(), QString(), 0);
    level->setCheckable(true);
    level->setChecked(factor == 1);
    level->setData(factor);
    zoomGroup->addAction(level);
    connect(level, &QAction::triggered, this, [this, factor] { canvasEditor->setZoom(factor); });
  }
  zoomFitAction = makeAction("MZoomFit", tr("&Fit"), QString(), QString(), 0);
  zoomFitAction->setCheckable(true);
  zoomGroup->addAction(zoomFitAction);
  connect(zoomFitAction, &QAction::triggered, this, [this] { canvasEditor->setFitZoom(); });
  zoomInAction = makeAction("MZoomIn", tr("Zoom &In"), tr("Zoom In"), QString(), 0);
  zoomInAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  connect(zoomInAction, &QAction::triggered, this, [this] { canvasEditor->zoomIn(); });
  zoomOutAction = makeAction("MZoomOut", tr("Zoom &Out"), tr("Zoom Out"), QString(), 0);
  zoomOutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  connect(zoomOutAction, &QAction::triggered, this, [this] { canvasEditor->zoomOut(); });
}

void MainWindow::buildFrameToolMenus(QMenu* edit, QMenu* view) {
  edit->addSeparator();
  edit->addAction(moveLeftAction);
  edit->addAction(moveRightAction);
  edit->addAction(tweenAction);
  edit->addAction(importGifAction);
  QMenu* zoom = new QMenu(tr("&Zoom"), view);
  zoom->setObjectName(QStringLiteral("MZoom"));
  zoom->addActions(zoomGroup->actions());
  zoom->addSeparator();
  zoom->addAction(zoomInAction);
  zoom->addAction(zoomOutAction);
  view->addSeparator();
  view->addMenu(zoom);
}

void MainWindow::buildFrameToolButtons() {
  toolBar->addSeparator();
  const std::pair<QAction*, const char*> buttons[] = {
      {moveLeftAction, "RzMoveLeft"}, {moveRightAction, "RzMoveRight"}, {tweenAction, "RzTween"},
      {importGifAction, "RzImportGif"}};
  for (const auto& [action, name] : buttons) {
    toolBar->addAction(action);
    if (QWidget* button = toolBar->widgetForAction(action)) button->setObjectName(QLatin1String(name));
  }
}

void MainWindow::buildCanvasEditing() {
  canvasEditor = new CanvasEditing(*editing, *canvasView, *workArea, *pages, *objectPane, this);
  canvasEditor->setRoom([this] { return canvasRoom(); });
  connect(canvasEditor, &CanvasEditing::canvasResized, this, [this] {
    applyLayout();
    updateZoomActions();
  });

  pictureEditor = new ExternalPictureEditor(
      [this](const std::vector<int>& slots) { return editing->reloadPictures(slots); }, this);
  connect(pictureEditor, &ExternalPictureEditor::startFailed, this, &MainWindow::showError);
  // A project that is replaced ends the watch of its pictures.
  connect(editing, &EditorSession::changed, this, [this](const editor::Change& change) {
    if (change.projectReplaced) pictureEditor->stop();
    updateFrameToolActions();
  });
  if (auto* button = findChild<QPushButton*>(QStringLiteral("RzB7"))) {
    connect(button, &QPushButton::clicked, this, &MainWindow::onEditPicture);
  }
  updateFrameToolActions();
}

QSize MainWindow::canvasRoom() const {
  // What the work area can show when the window takes the whole desktop area.
  const QRect area = desktopArea().isValid() ? desktopArea() : QRect(0, 0, 1280, 1024);
  const int chromeHeight = windowBaselineHeight - workAreaBaselineHeight + 16;
  return {area.width() - 40, area.height() - chromeHeight};
}

void MainWindow::updateZoomActions() {
  const int factor = canvasEditor->zoom();
  for (QAction* level : zoomGroup->actions()) {
    if (level == zoomFitAction) {
      level->setChecked(canvasEditor->fitting());
    } else if (!canvasEditor->fitting()) {
      level->setChecked(level->data().toInt() == factor);
    }
  }
  // A factor between the fixed steps (a fitted or reduced zoom) checks none of them.
  if (!canvasEditor->fitting() && factor != 1 && factor != 2 && factor != 4) {
    if (QAction* checked = zoomGroup->checkedAction()) checked->setChecked(false);
  }
}

void MainWindow::updateFrameToolActions() {
  const model::LabelProject& p = editor().project();
  moveLeftAction->setEnabled(p.currentFrame > 1);
  moveRightAction->setEnabled(p.currentFrame < p.frameCount);
  tweenAction->setEnabled(p.frameCount > 1 && (p.frameCount < model::kMaxFrames || editor().severalFramesSelected() ||
                                               p.currentFrame + 2 <= p.frameCount));
}

void MainWindow::onMoveFrameLeft() { editing->apply([](editor::Editor& e) { return editor::moveFrameLeft(e); }); }
void MainWindow::onMoveFrameRight() { editing->apply([](editor::Editor& e) { return editor::moveFrameRight(e); }); }

void MainWindow::onTweenFrames() {
  const model::LabelProject& p = editor().project();
  // Several frames chosen in the strip: the tween runs from the first of them and offers to
  // replace the frames up to the last, the way a designer marks a stretch to re-tween.
  int first = 0;
  int last = 0;
  if (editor().severalFramesSelected()) {
    const editor::FrameSet selected = editor().selectedFrames();
    for (int k = 1; k <= p.frameCount; ++k) {
      if (!selected.test(static_cast<std::size_t>(k))) continue;
      if (first == 0) first = k;
      last = k;
    }
  }
  const bool stretch = last >= first + 2;
  const int from = stretch ? first : p.currentFrame;
  // At the frame limit only a re-tween, which replaces frames, leaves room.
  if (p.frameCount >= model::kMaxFrames && from + 2 > p.frameCount) {
    showError(toQString(editor::kMaxFramesMessage));
    return;
  }
  editor::TweenOptions offered = lastTweenChoice;
  offered.toFrame = stretch ? last : 0;
  const std::optional<editor::TweenOptions> chosen = prompts->tweenOptions(this, from, p.frameCount, offered);
  if (!chosen) return;
  // The next tween offers the same curve and delays; counts and frames change meaning.
  lastTweenChoice.easing = chosen->easing;
  lastTweenChoice.keepDelays = chosen->keepDelays;
  const int current = p.currentFrame;
  editing->apply([options = *chosen, from, current](editor::Editor& e) {
    e.goToFrame(from);
    editor::Change change = editor::tweenFrames(e, options);
    if (!change.applied) e.goToFrame(current);  // a refused tween leaves the frame shown
    return change;
  });
}

void MainWindow::onImportGif() {
  const QString gif = prompts->openGifPath(this, startFolder(toQString(editor().project().projectDir.view())));
  if (!gif.isEmpty()) importGifFile(gif);
}

void MainWindow::importGifFile(const QString& gif) {
  const model::LabelProject& p = editor().project();
  // The pictures go beside the project; a project not saved yet keeps them beside the GIF.
  const QString pictureFolder = editor().saveEnabled() ? QFileInfo(toQString(p.fileName.view())).absolutePath()
                                                       : QFileInfo(gif).absolutePath();
  beginLongJob(false);
  editor::PreparedGifImport prepared = prepareGifInBackground(editor::planGifImport(p), gif, pictureFolder);
  if (prepared.refusal == editor::kCancelledImport) {
    editor::discardGifImport(prepared);  // the user asked for it: nothing to report
  } else {
    editing->apply([&](editor::Editor& e) { return editor::applyGifImport(e, std::move(prepared)).change; });
  }
  endLongJob();
}

editor::PreparedGifImport MainWindow::prepareGifInBackground(const editor::GifImportPlan& plan, const QString& gif,
                                                             const QString& pictureFolder) {
  // Reading, composing and writing the pictures runs on a worker thread, so the window
  // keeps drawing and the import can be cancelled; only applying the frames touches the
  // editor, on this thread, afterwards.
  std::atomic<bool> cancel{false};
  QProgressDialog progress(tr("Importing %1...").arg(QFileInfo(gif).fileName()), tr("Cancel"), 0, 0, this);
  progress.setObjectName(QStringLiteral("ImportGifProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setAutoReset(false);
  connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
  editor::GifImportControl control;
  control.cancel = &cancel;
  control.progress = [&progress](int done, int total) {
    QMetaObject::invokeMethod(&progress, [&progress, done, total] {
      progress.setMaximum(total);
      progress.setValue(done);
    }, Qt::QueuedConnection);
  };
  editor::PreparedGifImport prepared;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    prepared = editor::prepareGifImport(plan, gif.toStdString(), pictureFolder.toStdString(), control);
  }));
  QEventLoop waiting;
  connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
  worker->start();
  waiting.exec();
  worker->wait();
  progress.reset();
  return prepared;
}

void MainWindow::onEditPicture() {
  const model::LabelProject& p = editor().project();
  const int slot = p.currentPicture;
  const std::vector<int> slots = editor::slotsShowingSameFile(p.current(), slot);
  if (slots.empty()) return;
  // The file as drawing resolved it (a name relative to the program or the project).
  const std::string& resolved = editing->layoutReport().pictureFiles[static_cast<std::size_t>(slot - 1)];
  const QString file = toQString(resolved.empty() ? std::string(p.current().pictureFile[slot - 1].view()) : resolved);
  pictureEditor->edit(file, slots, QString::fromStdString(editor::readImageEditorSetting(*settingsStore)));
}

}  // namespace zefra::app
