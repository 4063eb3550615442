#pragma once
// Editing on the canvas: what a press, a drag, the mouse over an object and the arrow keys
// do. A press on an object selects its slot in its list and shows its page; the canvas keeps
// the keyboard focus, so the arrow keys move the object at once (a run of presses is one
// undo step), and for a text the first typed character goes on into its text field. A press
// on the label shows "&General", and one on the work area around it also focuses "WebSite
// Color:". Dragging with the left button (Alt held: without snapping) moves the object
// through the core's move (the same edit as its X and Y spins, one undo step per drag),
// snapping its box to the label's edges and centre lines within four screen pixels, with a
// guide line on the canvas while it holds there. The status pane names the object under the
// mouse, and gives the box of the selected object after a press, a drag, a nudge or an Align
// command. The selected object (the one last pressed, or last chosen in a slot list) gets an
// on-screen outline and is what the Align commands place. The zoom of the canvas is kept
// here too, so a fitted zoom can follow the size of the work area.
//
// The hit test is the core's (render::FrameCanvas::objectAt), topmost object first.

#include <QObject>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "editor/alignment.h"
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

  // The Align commands: whether the selected object shows on the current frame, and
  // placing it (one undo step).
  bool canAlign() const;
  void align(editor::Alignment alignment);

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
  // The selected object changed, or whether it shows.
  void selectionChanged();

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
  void followSlotLists(const editor::Change& change);
  void showSelectedBox();
  bool forwardTyping(QEvent* event);
  void endNudgeRun();
  void applyZoom();
  editor::PositionRange positionRange() const;

  EditorSession& session;
  FrameView& view;
  QWidget& workArea;
  QTabWidget& pages;
  QLabel& objectPane;
  std::optional<Selection> selected;
  std::unique_ptr<editor::ObjectDrag> drag;
  std::optional<editor::ObjectSnap> snapper;  // for the drag, when its object has a box
  std::optional<std::array<int, 3>> knownSlots;  // the slot lists' choices last seen
  bool paneShowsSelection = false;
  bool nudging = false;  // a run of arrow presses is open
  bool fit = false;
  int requestedZoom = 1;
  std::function<QSize()> canvasRoom;
};

}  // namespace zefra::app
