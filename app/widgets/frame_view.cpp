#include "widgets/frame_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace zefra::app {

FrameView::FrameView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("RzPanel1"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::setPicture(raster::FastBitmap picture) {
  shown = std::move(picture);
  setFixedSize(shown.width(), shown.height());
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
  painter.drawImage(0, 0, view);
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Q_EMIT mouseMovedTo(p.x(), p.y());
  QWidget::mouseMoveEvent(event);
}

void FrameView::leaveEvent(QEvent* event) {
  Q_EMIT mouseLeft();
  QWidget::leaveEvent(event);
}

}  // namespace zefra::app
