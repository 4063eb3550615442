#include "widgets/padlock_icon.h"

#include <QPainter>
#include <QPixmap>

namespace zefra::app {

QIcon padlockIcon() {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(90, 90, 90), 2.2));
  painter.drawArc(QRectF(6, 2, 10, 12), 0, 180 * 16);
  painter.drawLine(QPointF(6, 8), QPointF(6, 10));
  painter.drawLine(QPointF(16, 8), QPointF(16, 10));
  painter.setPen(QPen(QColor(120, 80, 0), 1));
  painter.setBrush(QColor(230, 170, 30));
  painter.drawRoundedRect(QRectF(3.5, 10.5, 15, 10), 2, 2);
  painter.setBrush(QColor(90, 60, 0));
  painter.drawEllipse(QPointF(11, 15), 1.6, 1.6);
  return QIcon(pixmap);
}

}  // namespace zefra::app
