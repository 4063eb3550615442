#include "widgets/color_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "raster/html_color.h"

namespace zefra::app {

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
  setMinimumSize(40, 21);
  setAutoDefault(false);
}

void ColorButton::setColor(Color color) {
  shown = color;
  setAccessibleDescription(QString::fromLatin1(raster::colorToHtmlColor(color).c_str()));
  update();
}

void ColorButton::setShowsColor(bool show) {
  showing = show;
  update();
}

void ColorButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!showing) return;
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect inner = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
  const Color c = raster::resolveColor(shown);
  QPainter painter(this);
  painter.fillRect(inner, QColor(redOf(c), greenOf(c), blueOf(c)));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(inner.adjusted(0, 0, -1, -1));
}

}  // namespace zefra::app
