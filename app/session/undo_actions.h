#pragma once
// "&Undo" and "&Redo" of the Edit menu: they name the step they would undo or redo
// ("Undo Frame Color") and are disabled when there is none.

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

 private:
  EditorSession& session;
  QAction* undo = nullptr;  // "MUndo"
  QAction* redo = nullptr;  // "MRedo"
};

}  // namespace zefra::app
