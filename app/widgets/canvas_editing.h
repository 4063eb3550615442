#pragma once
// Editing on the canvas: what a press, a drag, the mouse over an object and the arrow keys
// do. A press on an object selects its slot in its list, shows its page and puts the focus
// on the control that goes with it; a press on the label shows "&General", and one on the
// work area around it also focuses "WebSite Color:". Dragging with the left button alone
// moves the object through the core's move (the same edit as its X and Y spins, one undo
// step per drag); the status pane names the object under the mouse. The selected object
// gets an on-screen outline and moves with the arrow keys. The zoom of the canvas is kept
// here too, so a fitted zoom can follow the size of the work area.
//
// The hit test is the core's (render::FrameCanvas::objectAt), topmost object first.

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

#include "editor/editor.h"
#include "editor/object_move.h"

class QLabel;
class QTabWidget;
class QWidget;

namespace zefra::app {

class EditorSession;
class FrameView;

class CanvasEditing : public QObject {
  Q_OBJECT

 public:
  CanvasEditing(EditorSession& session, FrameView& view, QWidget& workArea, QTabWidget& pages, QLabel& objectPane,
                QObject* parent = nullptr);
  ~CanvasEditing() override;

  struct Selection {
    editor::SlotKind kind;
    int slot;
    friend bool operator==(const Selection&, const Selection&) = default;
  };
  std::optional<Selection> selection() const { return selected; }

  // Zoom: a whole factor, or "Fit": the largest whole factor at which the canvas still
  // fits the room the window can give it on the desktop (`room` answers that size). A
  // factor that would not fit is reduced to the largest that does, so the window never
  // grows past the screen. Both follow the label's size as it changes.
  void setRoom(std::function<QSize()> room) { canvasRoom = std::move(room); }
  void setZoom(int factor);
  void setFitZoom();
  void zoomIn();
  void zoomOut();
  bool fitting() const { return fit; }
  int zoom() const;

 Q_SIGNALS:
  // The canvas changed size (zoom), so the window may need to lay itself out again.
  void canvasResized();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onPressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void onMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void onReleased(Qt::MouseButton button);
  void onNudged(int dx, int dy);
  void showHover(int x, int y);
  void selectObject(editor::SlotKind kind, int slot);
  void showPage(int index, const char* focusControl);
  void updateOutline();
  void applyZoom();
  editor::PositionRange positionRange() const;

  EditorSession& session;
  FrameView& view;
  QWidget& workArea;
  QTabWidget& pages;
  QLabel& objectPane;
  std::optional<Selection> selected;
  std::unique_ptr<editor::ObjectDrag> drag;
  bool fit = false;
  int requestedZoom = 1;
  std::function<QSize()> canvasRoom;
};

}  // namespace zefra::app
