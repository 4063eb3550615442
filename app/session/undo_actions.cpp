#include "session/undo_actions.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include "session/editor_session.h"

namespace zefra::app {

UndoActions::UndoActions(EditorSession& session, QObject* parent) : QObject(parent), session(session) {
  undo = new QAction(tr("&Undo"), parent);
  undo->setObjectName(QStringLiteral("MUndo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo = new QAction(tr("&Redo"), parent);
  redo->setObjectName(QStringLiteral("MRedo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  connect(undo, &QAction::triggered, this, [this] { this->session.apply([](editor::Editor& e) { return e.undo(); }); });
  connect(redo, &QAction::triggered, this, [this] { this->session.apply([](editor::Editor& e) { return e.redo(); }); });
  connect(&session, &EditorSession::changed, this, &UndoActions::refresh);
  refresh();
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool UndoActions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* owner = qobject_cast<QWidget*>(parent());
  // Only the controls of this window; a dialog's fields keep their own undo.
  if (!widget || !owner || widget->window() != owner->window()) return false;
  const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
  for (const QAction* action : {undo, redo}) {
    if (action->shortcuts().contains(pressed)) {
      // Left unaccepted, the override lets the window's shortcut run instead of the
      // control's own key handling.
      event->ignore();
      return true;
    }
  }
  return false;
}

void UndoActions::refresh() {
  const editor::Editor& core = session.editor();
  undo->setEnabled(core.canUndo());
  undo->setText(core.canUndo() ? tr("&Undo %1").arg(QString::fromStdString(core.undoLabel())) : tr("&Undo"));
  redo->setEnabled(core.canRedo());
  redo->setText(core.canRedo() ? tr("&Redo %1").arg(QString::fromStdString(core.redoLabel())) : tr("&Redo"));
}

}  // namespace zefra::app
