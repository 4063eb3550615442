#pragma once
// The layer commands of the Edit menu and of the slot lists' context menus: "Copy Layer to
// All Frames", "Copy Style" / "Paste Style" (text layers) and "Bring Forward" (Ctrl+]) /
// "Send Backward" (Ctrl+[). They act on the layer the user is working with: the text
// layer on the 3D Text page; elsewhere the object selected on the canvas (the one last
// clicked or chosen in a slot list), else the kind whose controls last had the focus (on
// the Pictures/Shapes page a shape or a picture). The edits themselves are the core's
// (editor/layer_tools.h).

#include <QList>
#include <QObject>
#include <functional>
#include <optional>

#include "editor/editor.h"
#include "editor/layer_tools.h"

class QAction;
class QComboBox;
class QTabWidget;
class QWidget;

namespace zefra::app {

class EditorSession;

class LayerCommands : public QObject {
  Q_OBJECT

 public:
  // `pages` holds the property pages with their slot lists; the actions are children of
  // `window`, their shortcuts reach from every control of it.
  LayerCommands(EditorSession& session, QTabWidget& pages, QWidget& window);

  // In menu order: copy to all frames, copy style, paste style, bring forward, send backward.
  QList<QAction*> actions() const;
  editor::SlotKind activeKind() const;
  // What the canvas has selected, if anything (set once the canvas exists).
  void setSelectionSource(std::function<std::optional<editor::SlotKind>()> source);
  // Enables the commands and names their layer in their hints.
  void refresh();

 private:
  QAction* makeAction(const char* name, const QString& text);
  void addContextMenu(QComboBox* list, editor::SlotKind kind);
  void noticeFocus(QWidget* now);
  void copyLayerToAllFrames();
  void copyStyle();
  void pasteStyle();
  void swap(bool forward);

  EditorSession& session;
  QTabWidget& pages;
  QWidget& window;
  editor::SlotKind lastKind = editor::SlotKind::Text;
  std::function<std::optional<editor::SlotKind>()> canvasSelection;
  std::optional<editor::TextStyle> copiedStyle;
  QAction* copyLayer = nullptr;     // "MCopyLayer"
  QAction* copyStyleAction = nullptr;   // "MCopyStyle"
  QAction* pasteStyleAction = nullptr;  // "MPasteStyle"
  QAction* forward = nullptr;       // "MBringForward"
  QAction* backward = nullptr;      // "MSendBackward"
};

}  // namespace zefra::app
