// The frame strip under the canvas and the keys that walk and edit the frames: Page Down /
// Page Up, Home / End, Ctrl+D, F5 (GIF Preview) and Ctrl+Shift+S (Save as).
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextEdit>

#include "editor/frame_arrange.h"
#include "main_window.h"
#include "widgets/frame_strip.h"

namespace zefra::app {

namespace {

// The window's frame keys must not take keys a field uses itself: Home and End move the
// cursor of a text field or a spin box, Page Up and Page Down step a spin box by ten and
// scroll a text box.
class FrameKeyGuard : public QObject {
 public:
  FrameKeyGuard(QWidget* window, QList<QAction*> actions) : QObject(window), window(window), actions(actions) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window || !usesPagingKeys(widget)) return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : actions) {
      if (action->shortcuts().contains(pressed)) {
        event->accept();  // accepted, the override hands the key to the field
        return true;
      }
    }
    return false;
  }

 private:
  // A one-line field takes Home and End by itself and has no use for Page Up and Page
  // Down, which then walk the frames from it too.
  static bool usesPagingKeys(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
      if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
        return true;
    }
    return false;
  }

  QWidget* window;
  QList<QAction*> actions;
};

}  // namespace

void MainWindow::buildFrameStrip() {
  frameStrip = new FrameStrip(*editing, *prompts, centralWidget());

  nextAction->setShortcut(QKeySequence(Qt::Key_PageDown));
  previousAction->setShortcut(QKeySequence(Qt::Key_PageUp));
  firstAction->setShortcut(QKeySequence(Qt::Key_Home));
  lastAction->setShortcut(QKeySequence(Qt::Key_End));
  previewAction->setShortcut(QKeySequence(Qt::Key_F5));
  saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  new FrameKeyGuard(this, {nextAction, previousAction, firstAction, lastAction});

  duplicateAction = makeAction("MDuplicate", tr("D&uplicate Frame"), tr("Duplicate the selected frames"),
                               "edit-copy", QStyle::SP_FileDialogNewFolder);
  duplicateAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(duplicateAction, &QAction::triggered, this,
          [this] { editing->apply([](editor::Editor& e) { return editor::duplicateFrames(e); }); });
  // Also in the Edit menu, where the keyboard and a screen reader reach it without the
  // strip's context menu.
  auto* setDelayAction = makeAction("MSetDelay", tr("Set De&lay..."), tr("One delay for the selected frames"),
                                    QString(), 0);
  connect(setDelayAction, &QAction::triggered, frameStrip, &FrameStrip::setDelay);
  if (auto* edit = findChild<QMenu*>(QStringLiteral("Edit1"))) {
    edit->insertAction(deleteAction, duplicateAction);
    edit->insertAction(deleteAction, setDelayAction);
  }
}

int MainWindow::frameStripHeight() const { return frameStrip ? frameStrip->stripHeight() + kStripGap : 0; }

void MainWindow::placeFrameStrip(int left, int top, int width) {
  if (frameStrip) frameStrip->setGeometry(left, top, width, frameStrip->stripHeight());
}

}  // namespace zefra::app
