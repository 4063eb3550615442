#pragma once
// "&Undo" and "&Redo" of the Edit menu: they name the step they would undo or redo
// ("Undo Frame Color") and are disabled when there is none. Their keys reach the project's
// history from every control of the window: a text field or spin box with the focus would
// otherwise take Ctrl+Z for its own little undo and the project's step would never run
// (typing in a field is already one project step, so nothing is lost).

#include <QObject>

class QAction;

namespace zefra::app {

class EditorSession;

class UndoActions : public QObject {
  Q_OBJECT

 public:
  UndoActions(EditorSession& session, QObject* parent);

  QAction* undoAction() const { return undo; }
  QAction* redoAction() const { return redo; }

  // Shows the current state of the history.
  void refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  EditorSession& session;
  QAction* undo = nullptr;  // "MUndo"
  QAction* redo = nullptr;  // "MRedo"
};

}  // namespace zefra::app
