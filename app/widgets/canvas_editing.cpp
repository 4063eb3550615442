#include "widgets/canvas_editing.h"

#include <QComboBox>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
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
// How near, on screen, a dragged box must come to a label line to snap onto it.
constexpr int kSnapScreenPixels = 4;

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
    followSlotLists(change);
    applyZoom();  // the label may have another size now
    updateOutline();
    if (paneShowsSelection) showSelectedBox();  // an undo, say, moved it
    Q_EMIT selectionChanged();
  });
  view.installEventFilter(this);
  // Moves over the work area arrive without a button held too, so the pane can be emptied.
  workArea.setMouseTracking(true);
  workArea.installEventFilter(this);
}

CanvasEditing::~CanvasEditing() = default;

bool CanvasEditing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &view) {
    if (event->type() == QEvent::FocusOut) endNudgeRun();
    if (event->type() == QEvent::KeyPress && forwardTyping(event)) return true;
  }
  if (watched == &workArea) {
    if (event->type() == QEvent::MouseButtonPress) {
      // The work area around the label: the page of the web site colour.
      selected.reset();
      updateOutline();
      Q_EMIT selectionChanged();
      showPage(kGeneralPage, "RZPanelWebSite");
    } else if (event->type() == QEvent::MouseMove) {
      objectPane.clear();
    }
  }
  return QObject::eventFilter(watched, event);
}

void CanvasEditing::onPressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers) {
  drag.reset();
  snapper.reset();
  endNudgeRun();
  const std::optional<render::CanvasObject> object = session.canvas().objectAt(x, y);
  if (!object || object->kind == render::CanvasObjectKind::Border) {
    // The label itself (its background, gradient or border band).
    selected.reset();
    updateOutline();
    showPage(kGeneralPage, nullptr);
    Q_EMIT selectionChanged();
    return;
  }
  const editor::SlotKind kind = slotKindOf(object->kind);
  selectObject(kind, object->slot);
  // The canvas keeps the keyboard focus, so the arrow keys move the object right away.
  view.setFocus(Qt::MouseFocusReason);
  showSelectedBox();
  Q_EMIT selectionChanged();
  // The press point is the drag anchor, whatever the button; only a move with the left
  // button drags.
  if (button == Qt::LeftButton) {
    const model::FrameRecord& current = session.project().current();
    drag = std::make_unique<editor::ObjectDrag>(current, kind, object->slot, x, y, positionRange());
    const render::FrameCanvas& canvas = session.canvas();
    snapper.emplace(object->bounds, editor::objectPosition(current, kind, object->slot), canvas.width(),
                    canvas.height());
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
  showPage(kind == editor::SlotKind::Text ? kTextPage : kPicturesShapesPage, nullptr);
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
  // Only the left button drags; with Shift or Ctrl, or another button, nothing moves. Alt
  // moves without snapping, to place an object just off a line.
  if (!drag || buttons != Qt::LeftButton || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) {
    view.setGuides(0);
    return;
  }
  editor::Snap snap{drag->positionFor(x, y), editor::kNoGuide};
  if (snapper) {
    const int threshold = (modifiers & Qt::AltModifier) ? -1 : editor::snapThreshold(kSnapScreenPixels, view.zoom());
    snap = snapper->snap(snap.position, threshold);
  }
  session.apply([&](editor::Editor& e) { return drag->placeAt(e, snap.position); });
  view.setGuides(snap.guides);
  showSelectedBox();
}

void CanvasEditing::onReleased(Qt::MouseButton button) {
  if (button != Qt::LeftButton || !drag) return;
  session.apply([&](editor::Editor& e) {
    drag->finish(e);
    return editor::Change::refused("");
  });
  drag.reset();
  snapper.reset();
  view.setGuides(0);
}

void CanvasEditing::showHover(int x, int y) {
  const std::optional<render::CanvasObject> object = session.canvas().objectAt(x, y);
  if (!object || object->slot < 1) {
    objectPane.clear();
    paneShowsSelection = false;
    return;
  }
  paneShowsSelection = false;
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
  const int key = editor::nudgeMergeKey(s.kind, s.slot);
  session.apply([&](editor::Editor& e) {
    if (!nudging) e.closeMerge();  // a new run never merges into what came before
    return editor::moveObjectBy(e, s.kind, s.slot, dx, dy, positionRange(), key);
  });
  nudging = true;
  showSelectedBox();
}

void CanvasEditing::endNudgeRun() {
  if (!nudging) return;
  nudging = false;
  session.closeMerge();
}

bool CanvasEditing::forwardTyping(QEvent* event) {
  // A click on a text leaves the focus on the canvas for the arrow keys; a character typed
  // there goes on into the text field, as if the click had put the caret in it.
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!selected || selected->kind != editor::SlotKind::Text || key->text().isEmpty() || !key->text().at(0).isPrint() ||
      (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    return false;
  }
  QWidget* field = pages.window()->findChild<QWidget*>(QStringLiteral("ETxt"));
  if (!field || !field->isEnabled() || !field->isVisibleTo(pages.window())) return false;
  field->setFocus(Qt::MouseFocusReason);
  QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
  QApplication::sendEvent(field, &copy);
  return true;
}

void CanvasEditing::followSlotLists(const editor::Change& change) {
  // Choosing a slot in a list selects that object, the way a click on it does.
  const model::LabelProject& p = session.project();
  const std::array<int, 3> now{p.currentText, p.currentPicture, p.currentShape};
  const bool listsMoved = knownSlots && change.slotSelectionChanged && !change.projectReplaced;
  if (listsMoved) {
    const std::optional<Selection> before = selected;
    const editor::SlotKind kinds[] = {editor::SlotKind::Text, editor::SlotKind::Picture, editor::SlotKind::Shape};
    for (std::size_t i = 0; i < now.size(); ++i) {
      if (now[i] != (*knownSlots)[i]) selected = Selection{kinds[i], now[i]};
    }
    if (selected != before) showSelectedBox();
  }
  knownSlots = now;
}

void CanvasEditing::showSelectedBox() {
  // "Object: Text String 1, 212 x 31 at 128, 14": the box the hit test and Align use.
  const std::optional<raster::Rect> box =
      selected ? editor::objectBox(session.canvas(), selected->kind, selected->slot) : std::nullopt;
  if (!box) {
    if (paneShowsSelection) objectPane.clear();
    paneShowsSelection = false;
    return;
  }
  const QString name = selected->kind == editor::SlotKind::Text      ? QStringLiteral("Text String %1")
                       : selected->kind == editor::SlotKind::Picture ? QStringLiteral("Picture %1")
                                                                     : QStringLiteral("Shape %1");
  objectPane.setText(QStringLiteral("Object: %1, %2 x %3 at %4, %5")
                         .arg(name.arg(selected->slot))
                         .arg(box->width())
                         .arg(box->height())
                         .arg(box->left)
                         .arg(box->top));
  paneShowsSelection = true;
}

bool CanvasEditing::canAlign() const {
  return selected && editor::objectBox(session.canvas(), selected->kind, selected->slot).has_value();
}

void CanvasEditing::align(editor::Alignment alignment) {
  if (!canAlign()) return;
  const Selection s = *selected;
  endNudgeRun();
  session.apply([&](editor::Editor& e) {
    return editor::alignObject(e, session.canvas(), s.kind, s.slot, alignment, positionRange());
  });
  showSelectedBox();
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
