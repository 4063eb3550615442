#include "widgets/canvas_editing.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>

#include "editor/canvas_zoom.h"
#include "editor/field_table.h"
#include "session/editor_session.h"
#include "widgets/frame_view.h"

namespace zefra::app {

namespace {

constexpr int kGeneralPage = 0;
constexpr int kPicturesShapesPage = 1;
constexpr int kTextPage = 2;

editor::SlotKind slotKindOf(render::CanvasObjectKind kind) {
  switch (kind) {
    case render::CanvasObjectKind::Picture: return editor::SlotKind::Picture;
    case render::CanvasObjectKind::Text: return editor::SlotKind::Text;
    default: return editor::SlotKind::Shape;
  }
}

// The slot list of each kind and the control a press focuses.
const char* listOf(editor::SlotKind kind) {
  switch (kind) {
    case editor::SlotKind::Picture: return "CBox6";
    case editor::SlotKind::Shape: return "CBox7";
    case editor::SlotKind::Text: return "CBox3";
  }
  return "";
}

}  // namespace

CanvasEditing::CanvasEditing(EditorSession& session, FrameView& view, QWidget& workArea, QTabWidget& pages,
                             QLabel& objectPane, QObject* parent)
    : QObject(parent), session(session), view(view), workArea(workArea), pages(pages), objectPane(objectPane) {
  connect(&view, &FrameView::pressed, this, &CanvasEditing::onPressed);
  connect(&view, &FrameView::moved, this, &CanvasEditing::onMoved);
  connect(&view, &FrameView::released, this, &CanvasEditing::onReleased);
  connect(&view, &FrameView::nudged, this, &CanvasEditing::onNudged);
  connect(&view, &FrameView::mouseLeft, this, [this] { this->objectPane.clear(); });
  connect(&session, &EditorSession::changed, this, [this](const editor::Change& change) {
    if (change.projectReplaced) {
      selected.reset();
      drag.reset();
    }
    applyZoom();  // the label may have another size now
    updateOutline();
  });
  // Moves over the work area arrive without a button held too, so the pane can be emptied.
  workArea.setMouseTracking(true);
  workArea.installEventFilter(this);
}

CanvasEditing::~CanvasEditing() = default;

bool CanvasEditing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &workArea) {
    if (event->type() == QEvent::MouseButtonPress) {
      // The work area around the label: the page of the web site colour.
      selected.reset();
      updateOutline();
      showPage(kGeneralPage, "RZPanelWebSite");
    } else if (event->type() == QEvent::MouseMove) {
      objectPane.clear();
    }
  }
  return QObject::eventFilter(watched, event);
}

void CanvasEditing::onPressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers) {
  drag.reset();
  const std::optional<render::CanvasObject> object = session.canvas().objectAt(x, y);
  if (!object || object->kind == render::CanvasObjectKind::Border) {
    // The label itself (its background, gradient or border band).
    selected.reset();
    updateOutline();
    showPage(kGeneralPage, nullptr);
    return;
  }
  const editor::SlotKind kind = slotKindOf(object->kind);
  selectObject(kind, object->slot);
  // The press point is the drag anchor, whatever the button; only a move with the left
  // button alone drags.
  if (button == Qt::LeftButton) {
    drag = std::make_unique<editor::ObjectDrag>(session.project().current(), kind, object->slot, x, y,
                                                positionRange());
  }
}

void CanvasEditing::selectObject(editor::SlotKind kind, int slot) {
  selected = Selection{kind, slot};
  // Editing the label goes on in the main window: an open preview would show an old GIF.
  if (auto* preview = pages.window()->findChild<QWidget*>(QStringLiteral("frmPreview")); preview && preview->isVisible()) {
    preview->close();
  }
  // Choosing the item in the page's list runs the page's own slot change; when there is
  // no such list (or it did not select), the core selection is made directly.
  if (auto* list = pages.findChild<QComboBox*>(QLatin1String(listOf(kind))); list && list->count() >= slot) {
    list->setCurrentIndex(slot - 1);
  }
  const model::LabelProject& p = session.project();
  const int current = kind == editor::SlotKind::Text      ? p.currentText
                      : kind == editor::SlotKind::Picture ? p.currentPicture
                                                          : p.currentShape;
  if (current != slot) session.apply([kind, slot](editor::Editor& e) { return e.selectSlot(kind, slot); });
  if (kind == editor::SlotKind::Text) {
    showPage(kTextPage, "ETxt");
  } else {
    showPage(kPicturesShapesPage, listOf(kind));
  }
  updateOutline();
}

void CanvasEditing::showPage(int index, const char* focusControl) {
  pages.setCurrentIndex(index);
  if (focusControl == nullptr) return;
  QWidget* control = pages.window()->findChild<QWidget*>(QLatin1String(focusControl));
  if (control && control->isEnabled() && control->isVisibleTo(pages.window())) control->setFocus(Qt::MouseFocusReason);
}

void CanvasEditing::onMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  showHover(x, y);
  // Only the left button alone drags: with Shift, Ctrl or Alt, or another button, nothing moves.
  if (!drag || buttons != Qt::LeftButton || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
    return;
  }
  session.apply([&](editor::Editor& e) { return drag->moveTo(e, x, y); });
}

void CanvasEditing::onReleased(Qt::MouseButton button) {
  if (button != Qt::LeftButton || !drag) return;
  session.apply([&](editor::Editor& e) {
    drag->finish(e);
    return editor::Change::refused("");
  });
  drag.reset();
}

void CanvasEditing::showHover(int x, int y) {
  const std::optional<render::CanvasObject> object = session.canvas().objectAt(x, y);
  if (!object || object->slot < 1) {
    objectPane.clear();
    return;
  }
  switch (object->kind) {
    case render::CanvasObjectKind::Picture: objectPane.setText(QStringLiteral("Object: Picture %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Text: objectPane.setText(QStringLiteral("Object: Text String %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Shape: objectPane.setText(QStringLiteral("Object: Shape %1").arg(object->slot)); break;
    case render::CanvasObjectKind::Border: objectPane.clear(); break;
  }
}

void CanvasEditing::onNudged(int dx, int dy) {
  if (!selected) return;
  const Selection s = *selected;
  session.apply([&](editor::Editor& e) { return editor::moveObjectBy(e, s.kind, s.slot, dx, dy, positionRange()); });
}

void CanvasEditing::updateOutline() {
  std::optional<raster::Rect> bounds;
  if (selected) {
    for (const render::CanvasObject& o : session.canvas().objects()) {
      if (o.slot == selected->slot && o.kind != render::CanvasObjectKind::Border && slotKindOf(o.kind) == selected->kind) {
        bounds = o.bounds;
      }
    }
  }
  view.setSelection(bounds);
}

editor::PositionRange CanvasEditing::positionRange() const {
  // The ranges of the X and Y spins (minus to plus the screen's size), from the field table
  // the spins use.
  const QScreen* screen = view.screen() ? view.screen() : QGuiApplication::primaryScreen();
  editor::RangeContext context;
  if (screen) {
    context.screenWidth = screen->size().width();
    context.screenHeight = screen->size().height();
  }
  const model::FrameRecord& record = session.project().current();
  return {static_cast<int>(editor::fieldRange(editor::Field::PictureX, record, context).maximum),
          static_cast<int>(editor::fieldRange(editor::Field::PictureY, record, context).maximum)};
}

int CanvasEditing::zoom() const { return view.zoom(); }

void CanvasEditing::applyZoom() {
  const raster::FastBitmap& picture = view.picture();
  const QSize room = canvasRoom ? canvasRoom() : QSize(picture.width() * editor::kMaxZoom, picture.height() * editor::kMaxZoom);
  const int largest = editor::fitZoom(picture.width(), picture.height(), room.width(), room.height());
  const QSize before = view.size();
  view.setZoom(fit ? largest : std::min(requestedZoom, largest));
  if (view.size() != before) Q_EMIT canvasResized();
}

void CanvasEditing::setZoom(int factor) {
  fit = false;
  requestedZoom = factor;
  applyZoom();
}

void CanvasEditing::setFitZoom() {
  fit = true;
  applyZoom();
}

void CanvasEditing::zoomIn() { setZoom(editor::zoomIn(view.zoom())); }
void CanvasEditing::zoomOut() { setZoom(editor::zoomOut(view.zoom())); }

}  // namespace zefra::app
