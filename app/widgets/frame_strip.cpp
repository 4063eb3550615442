#include "widgets/frame_strip.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <unordered_set>

#include "editor/field_table.h"
#include "editor/frame_arrange.h"
#include "support/user_prompts.h"
#include "widgets/thumbnail_renderer.h"

namespace zefra::app {

namespace {

constexpr int kCurrentRole = Qt::UserRole + 1;
constexpr int kMargin = 4;

bool sameSettings(const render::CanvasSettings& a, const render::CanvasSettings& b) {
  return a.appDir == b.appDir && a.screenDpi == b.screenDpi && a.designDpi == b.designDpi &&
         a.projectDir == b.projectDir;
}

// A thumbnail with its caption under it; the current frame gets a frame of the highlight
// colour around its picture and a bold caption, whether or not it is selected.
class FrameItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    const QSize box = FrameStrip::thumbnailBox();
    return {box.width() + 2 * kMargin + 4, box.height() + option.fontMetrics.height() + 3 * kMargin + 2};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    const QSize box = FrameStrip::thumbnailBox();
    const QRect boxRect(opt.rect.x() + (opt.rect.width() - box.width()) / 2, opt.rect.y() + kMargin + 1, box.width(),
                        box.height());
    const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
    QRect pictureRect = boxRect;
    if (!picture.isNull()) {
      pictureRect = QRect(QPoint(), picture.size());
      pictureRect.moveCenter(boxRect.center());
      painter->drawPixmap(pictureRect.topLeft(), picture);
    } else {
      painter->fillRect(boxRect, opt.palette.mid());  // still being drawn
    }
    const bool current = index.data(kCurrentRole).toBool();
    const bool selected = opt.state & QStyle::State_Selected;
    if (current) {
      // Seen on the selection's highlight too, where a highlight-coloured frame would vanish.
      painter->setPen(QPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight), 2));
      painter->drawRect(pictureRect.adjusted(-2, -2, 1, 1));
    }
    QFont font = opt.font;
    font.setBold(current);
    painter->setFont(font);
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(opt.rect.x(), boxRect.bottom() + kMargin, opt.rect.width(), opt.fontMetrics.height() + 2);
    painter->drawText(textRect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    if ((opt.state & QStyle::State_HasFocus) && style) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(opt);
      focus.rect = opt.rect.adjusted(1, 1, -1, -1);
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
  }
};

}  // namespace

QString FrameStrip::itemName(int frame, int delayMs) {
  return tr("Frame %1, %2 ms").arg(frame).arg(delayMs);
}

FrameStrip::FrameStrip(EditorSession& session, UserPrompts& prompts, QWidget* parent)
    : QListWidget(parent), session(session), prompts(prompts), renderer(new ThumbnailRenderer(this)) {
  setObjectName(QStringLiteral("FrameStrip"));
  setAccessibleName(tr("Frames"));
  setToolTip(tr("Click a frame to show it; Shift+click or Ctrl+click choose several, whose page edits then "
                "reach all of them; drag to move them; right-click for more"));
  setAccessibleDescription(toolTip());
  setItemDelegate(new FrameItemDelegate(this));
  setViewMode(QListView::ListMode);
  setFlow(QListView::LeftToRight);
  setWrapping(false);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDropIndicatorShown(false);  // the strip draws its own line between frames

  selectionTaker.setSingleShot(true);
  selectionTaker.setInterval(0);
  connect(&selectionTaker, &QTimer::timeout, this, &FrameStrip::takeSelection);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!showing) selectionTaker.start();
  });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (!showing) selectionTaker.start();
  });
  connect(renderer, &ThumbnailRenderer::drawn, this, &FrameStrip::thumbnailDrawn);
  connect(&session, &EditorSession::changed, this, &FrameStrip::follow);
  // Save as may move the folder that pictures are found relative to.
  connect(&session, &EditorSession::fileStateChanged, this, &FrameStrip::refill);

  const std::pair<const char*, QString> names[] = {{"StripInsert", tr("&Insert")},
                                                   {"StripDuplicate", tr("D&uplicate")},
                                                   {"StripDelete", tr("&Delete")},
                                                   {"StripReverse", tr("&Reverse")},
                                                   {"StripSetDelay", tr("Set De&lay...")}};
  void (FrameStrip::*const slots[])() = {&FrameStrip::insertFrame, &FrameStrip::duplicateFrames,
                                         &FrameStrip::deleteFrames, &FrameStrip::reverseFrames,
                                         &FrameStrip::setDelay};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    auto* action = new QAction(names[i].second, this);
    action->setObjectName(QLatin1String(names[i].first));
    connect(action, &QAction::triggered, this, slots[i]);
    commands << action;
  }
  commands[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  commands[2]->setShortcut(QKeySequence(Qt::Key_Delete));
  refill();
}

FrameStrip::~FrameStrip() {
  // The list's rows go after this object's members: their selection must no longer reach it.
  selectionModel()->disconnect(this);
}

int FrameStrip::stripHeight() const {
  QStyleOptionViewItem option;
  option.initFrom(this);
  const int row = itemDelegate()->sizeHint(option, QModelIndex()).height();
  return row + 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
}

int FrameStrip::thumbnailsWaiting() const { return renderer->waiting(); }

bool FrameStrip::hasThumbnail(int frame) const {
  return frame >= 1 && frame <= count() && !item(frame - 1)->data(Qt::DecorationRole).value<QPixmap>().isNull() &&
         thumbnails.contains(keys[static_cast<std::size_t>(frame - 1)]);
}

// --- following the Editor ----------------------------------------------------------------

void FrameStrip::follow(const editor::Change& change) {
  if (change.projectReplaced || picturesChangedOnDisk(change)) {
    thumbnails.clear();
    renderer->rereadFiles();
  }
  refill();
}

// A frame redrawn with the same bytes in its record shows a picture file that changed on
// disk (edited in a paint program): its thumbnails, kept by those bytes, are out of date,
// and so may be those of every frame showing that file.
bool FrameStrip::picturesChangedOnDisk(const editor::Change& change) const {
  if (change.frameCountChanged) return false;
  const model::LabelProject& project = session.project();
  for (int k = 1; k <= project.frameCount && k <= static_cast<int>(keys.size()); ++k) {
    if (change.frames.test(static_cast<std::size_t>(k)) && recordKey(project.frame(k)) == keys[static_cast<std::size_t>(k - 1)])
      return true;
  }
  return false;
}

void FrameStrip::refill() {
  const model::LabelProject& project = session.project();
  const render::CanvasSettings settings = render::canvasSettingsFor(project);
  if (!sameSettings(settings, drawnWith)) {
    thumbnails.clear();  // pictures may be found elsewhere now
    drawnWith = settings;
  }
  const int frames = project.frameCount;
  {
    const QSignalBlocker quiet(selectionModel());  // rows come and go: no choice of the user
    showing = true;
    while (count() > frames) delete takeItem(count() - 1);
    while (count() < frames) {
      auto* row = new QListWidgetItem(this);
      row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    }
    showing = false;
  }
  keys.resize(static_cast<std::size_t>(frames));
  std::vector<ThumbnailRenderer::Job> missing;
  std::unordered_set<std::uint64_t> asked;
  for (int k = 1; k <= frames; ++k) {
    const model::FrameRecord& record = project.frame(k);
    QListWidgetItem* row = item(k - 1);
    const std::uint64_t key = recordKey(record);
    keys[static_cast<std::size_t>(k - 1)] = key;
    const QString caption = tr("%1: %2 ms").arg(k).arg(record.delayMs);
    if (row->text() != caption) {
      row->setText(caption);
      row->setData(Qt::AccessibleTextRole, itemName(k, record.delayMs));
    }
    const bool current = k == project.currentFrame;
    if (row->data(kCurrentRole).toBool() != current) {
      row->setData(kCurrentRole, current);
      row->setData(Qt::AccessibleDescriptionRole, current ? tr("Current frame") : QString());
    }
    const auto found = thumbnails.constFind(key);
    if (found != thumbnails.constEnd()) {
      if (row->data(Qt::DecorationRole).value<QPixmap>().cacheKey() != found->cacheKey())
        row->setData(Qt::DecorationRole, *found);
    } else if (asked.insert(key).second) {
      // The old thumbnail stays until the new one is drawn: no flicker while typing.
      missing.push_back({key, record});
    }
  }
  // Frames in view are drawn first.
  const int first = std::max(0, indexAt(QPoint(1, 1)).row());
  std::stable_partition(missing.begin(), missing.end(), [&](const ThumbnailRenderer::Job& job) {
    const auto at = std::find(keys.begin(), keys.end(), job.key);
    return at - keys.begin() >= first;
  });
  renderer->request(std::move(missing), settings, thumbnailBox());
  if (thumbnails.size() > 2 * frames + 32) {
    const std::unordered_set<std::uint64_t> used(keys.begin(), keys.end());
    thumbnails.removeIf([&](const auto& entry) { return used.count(entry.key()) == 0; });
  }
  if (!taking) showSelection();
}

void FrameStrip::showSelection() {
  const editor::FrameSet chosen = session.editor().selectedFrames();
  QItemSelection selection;
  for (int k = 1; k <= count(); ++k) {
    if (!chosen.test(static_cast<std::size_t>(k))) continue;
    const QModelIndex index = model()->index(k - 1, 0);
    selection.select(index, index);
  }
  showing = true;
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  const QModelIndex current = model()->index(session.project().currentFrame - 1, 0);
  if (selectionModel()->currentIndex() != current) selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  showing = false;
  selectionTaker.stop();
  scrollTo(current);
}

void FrameStrip::takeSelection() {
  selectionTaker.stop();
  editor::FrameSet chosen;
  for (const QModelIndex& index : selectionModel()->selectedIndexes()) chosen.set(static_cast<std::size_t>(index.row() + 1));
  if (chosen.none()) {
    showSelection();  // a frame is always chosen: the current one
    return;
  }
  int current = selectionModel()->currentIndex().row() + 1;
  if (current < 1 || !chosen.test(static_cast<std::size_t>(current))) {
    // Ctrl+click took the current frame out: the nearest chosen one takes its place.
    int after = 0, before = 0;
    for (int k = std::max(current, 1); k <= count() && !after; ++k)
      if (chosen.test(static_cast<std::size_t>(k))) after = k;
    for (int k = std::min(current, count()); k >= 1 && !before; --k)
      if (chosen.test(static_cast<std::size_t>(k))) before = k;
    current = after ? after : before;
  }
  const editor::Editor& core = session.editor();
  if (chosen == core.selectedFrames() && current == core.project().currentFrame) return;
  taking = true;
  session.apply([&](editor::Editor& e) { return e.selectFrames(chosen, current); });
  taking = false;
}

void FrameStrip::thumbnailDrawn(quint64 key, const QImage& thumbnail) {
  const QPixmap picture = QPixmap::fromImage(thumbnail);
  bool shown = false;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != key) continue;
    item(static_cast<int>(i))->setData(Qt::DecorationRole, picture);
    shown = true;
  }
  if (shown) thumbnails.insert(key, picture);
}

// --- commands ----------------------------------------------------------------------------

void FrameStrip::insertFrame() {
  takeSelection();
  session.apply([](editor::Editor& e) { return e.insertFrame(); });
}

void FrameStrip::duplicateFrames() {
  takeSelection();
  session.apply([](editor::Editor& e) { return editor::duplicateFrames(e); });
}

void FrameStrip::deleteFrames() {
  takeSelection();
  session.apply([](editor::Editor& e) { return editor::deleteFrames(e); });
}

void FrameStrip::reverseFrames() {
  takeSelection();
  session.apply([](editor::Editor& e) { return editor::reverseSelectedFrames(e); });
}

void FrameStrip::setDelay() {
  takeSelection();
  const model::LabelProject& project = session.project();
  const editor::FieldRange range = editor::fieldRange(editor::Field::Delay, project.current());
  const auto chosen = static_cast<int>(session.editor().selectedFrames().count());
  const std::optional<int> delay = prompts.frameDelay(this, project.current().delayMs, static_cast<int>(range.minimum),
                                                      static_cast<int>(range.maximum), chosen);
  if (!delay) return;
  session.apply([ms = *delay](editor::Editor& e) { return editor::setFrameDelays(e, ms); });
}

void FrameStrip::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Delete) {
    deleteFrames();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void FrameStrip::contextMenuEvent(QContextMenuEvent* event) {
  takeSelection();
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("FrameStripMenu"));
  menu.addActions(commands);
  menu.insertSeparator(commands[3]);
  menu.exec(event->globalPos());
}

// --- moving frames by drag and drop --------------------------------------------------------

void FrameStrip::startDrag(Qt::DropActions) {
  takeSelection();
  const QModelIndexList chosen = selectionModel()->selectedIndexes();
  if (chosen.isEmpty()) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(model()->mimeData(chosen));
  const QPixmap picture = currentItem() ? currentItem()->data(Qt::DecorationRole).value<QPixmap>() : QPixmap();
  if (!picture.isNull()) drag->setPixmap(picture);
  // The Editor moves the records on the drop; nothing is taken out of the list here.
  drag->exec(Qt::MoveAction, Qt::MoveAction);
  dropBefore = 0;
  viewport()->update();
}

void FrameStrip::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void FrameStrip::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  QListWidget::dragMoveEvent(event);  // scrolls near the ends
  dropBefore = dropPlace(event->position().toPoint());
  event->setDropAction(Qt::MoveAction);
  event->accept();
  viewport()->update();
}

void FrameStrip::dragLeaveEvent(QDragLeaveEvent* event) {
  QListWidget::dragLeaveEvent(event);
  dropBefore = 0;
  viewport()->update();
}

void FrameStrip::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  const int before = dropPlace(event->position().toPoint());
  dropBefore = 0;
  event->setDropAction(Qt::MoveAction);
  event->accept();
  moveChosenFrames(before);
  viewport()->update();
}

void FrameStrip::moveChosenFrames(int before) {
  takeSelection();
  session.apply([before](editor::Editor& e) { return editor::moveFrames(e, e.selectedFrames(), before); });
}

int FrameStrip::dropPlace(QPoint position) const {
  for (int row = 0; row < count(); ++row) {
    if (position.x() < visualItemRect(item(row)).center().x()) return row + 1;
  }
  return count() + 1;
}

void FrameStrip::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  if (dropBefore < 1 || count() == 0) return;
  const QRect last = visualItemRect(item(count() - 1));
  const int x = dropBefore <= count() ? visualItemRect(item(dropBefore - 1)).left() : last.right() + 1;
  QPainter painter(viewport());
  painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
  painter.drawLine(x, last.top(), x, last.bottom());
}

}  // namespace zefra::app
