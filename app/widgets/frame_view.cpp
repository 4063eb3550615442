#include "widgets/frame_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "editor/alignment.h"
#include "editor/canvas_zoom.h"

namespace zefra::app {

FrameView::FrameView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("RzPanel1"));
  setAccessibleName(tr("Frame canvas"));
  setMouseTracking(true);
  // Reachable with Tab so the arrow keys can move the selected object.
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::setPicture(raster::FastBitmap picture) {
  shown = std::move(picture);
  updateSize();
  update();
}

void FrameView::setZoom(int zoomFactor) {
  const int clamped = std::clamp(zoomFactor, 1, editor::kMaxZoom);
  if (clamped == factor) return;
  factor = clamped;
  updateSize();
  update();
}

void FrameView::updateSize() { setFixedSize(shown.width() * factor, shown.height() * factor); }

QPoint FrameView::labelPixelAt(QPoint p) const {
  return {editor::toLabelPixel(p.x(), factor), editor::toLabelPixel(p.y(), factor)};
}

QRect FrameView::viewRect(const raster::Rect& r) const {
  return {r.left * factor, r.top * factor, r.width() * factor, r.height() * factor};
}

void FrameView::setSelection(std::optional<raster::Rect> bounds) {
  if (bounds == outline) return;
  outline = bounds;
  update();
}

void FrameView::setGuides(unsigned guides) {
  if (guides == shownGuides) return;
  shownGuides = guides;
  update();
}

QImage FrameView::image() const {
  if (shown.empty()) return {};
  // The bitmap's rows are blue-green-red with padding, which is what this format with an
  // explicit stride reads; copy so the image outlives the bitmap.
  return QImage(shown.bits(), shown.width(), shown.height(), static_cast<qsizetype>(shown.stride()),
                QImage::Format_BGR888)
      .copy();
}

void FrameView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (shown.empty()) return;
  const QImage view(shown.bits(), shown.width(), shown.height(), static_cast<qsizetype>(shown.stride()),
                    QImage::Format_BGR888);
  // Whole-number zoom without smoothing: each label pixel is a sharp square.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(0, 0, shown.width() * factor, shown.height() * factor), view);
  if (outline && !outline->empty()) {
    // Black dashes over white ones read on any picture; the rectangle lies just outside
    // the object so none of its pixels is hidden.
    const QRect box = viewRect(*outline).adjusted(-1, -1, 0, 0);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(box);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(box);
  }
  if (shownGuides != 0) paintGuides(painter);
}

void FrameView::paintGuides(QPainter& painter) const {
  // Magenta is rare in banners, so the line reads over nearly any picture; an edge guide
  // lies on the label's outermost pixels, a centre guide on the middle of the view.
  const int w = width();
  const int h = height();
  painter.setPen(QPen(QColor(255, 0, 255), 1));
  const std::pair<unsigned, int> columns[] = {
      {editor::kGuideLeft, 0}, {editor::kGuideCentreX, w / 2}, {editor::kGuideRight, w - 1}};
  for (const auto& [bit, x] : columns) {
    if (shownGuides & bit) painter.drawLine(x, 0, x, h - 1);
  }
  const std::pair<unsigned, int> rows[] = {
      {editor::kGuideTop, 0}, {editor::kGuideCentreY, h / 2}, {editor::kGuideBottom, h - 1}};
  for (const auto& [bit, y] : rows) {
    if (shownGuides & bit) painter.drawLine(0, y, w - 1, y);
  }
}

void FrameView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = labelPixelAt(event->position().toPoint());
  Q_EMIT pressed(p.x(), p.y(), event->button(), event->modifiers());
  event->accept();
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = labelPixelAt(event->position().toPoint());
  Q_EMIT mouseMovedTo(p.x(), p.y());
  Q_EMIT moved(p.x(), p.y(), event->buttons(), event->modifiers());
  event->accept();
}

void FrameView::mouseReleaseEvent(QMouseEvent* event) {
  Q_EMIT released(event->button());
  event->accept();
}

void FrameView::keyPressEvent(QKeyEvent* event) {
  const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
  switch (event->key()) {
    case Qt::Key_Left: Q_EMIT nudged(-step, 0); break;
    case Qt::Key_Right: Q_EMIT nudged(step, 0); break;
    case Qt::Key_Up: Q_EMIT nudged(0, -step); break;
    case Qt::Key_Down: Q_EMIT nudged(0, step); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void FrameView::leaveEvent(QEvent* event) {
  Q_EMIT mouseLeft();
  QWidget::leaveEvent(event);
}

}  // namespace zefra::app
