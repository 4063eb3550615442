#include "dialogs/color_picker.h"

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace zefra::app {

namespace {

constexpr int kFieldSide = 88;
constexpr int kHueBarHeight = 9;
constexpr int kMarkRadius = 4;  // a 9-pixel circle

Color fromQColor(const QColor& c) {
  return rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue()));
}

void drawMark(QPainter& painter, QPoint at) {
  // XOR keeps the mark visible on every colour of the field.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(at, kMarkRadius, kMarkRadius);
}

}  // namespace

// Saturation across, value up, for the picker's current hue.
class ColorPicker::Field : public QWidget {
 public:
  explicit Field(ColorPicker* picker) : QWidget(picker), picker(picker) {
    setFixedSize(kFieldSide, kFieldSide);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
  }
  void hueChanged() {
    image = QImage();
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image.isNull()) {
      image = QImage(width(), height(), QImage::Format_RGB32);
      for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
          image.setPixel(x, y, QColor::fromHsv(picker->hueValue, 255 * x / width(), 255 * (height() - y) / height()).rgb());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    drawMark(painter, QPoint(picker->saturationValue * width() / 255, height() - picker->valueValue * height() / 255));
    if (hasFocus()) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) picker->pickInField(event->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (event->buttons() & Qt::LeftButton) picker->pickInField(event->position().toPoint());
  }
  // Arrows move the mark by one step of saturation (left/right) or value (up/down);
  // with Shift by sixteen.
  void keyPressEvent(QKeyEvent* event) override {
    const int step = event->modifiers() & Qt::ShiftModifier ? 16 : 1;
    int s = picker->saturationValue, v = picker->valueValue;
    switch (event->key()) {
      case Qt::Key_Left: s -= step; break;
      case Qt::Key_Right: s += step; break;
      case Qt::Key_Up: v += step; break;
      case Qt::Key_Down: v -= step; break;
      default: QWidget::keyPressEvent(event); return;
    }
    picker->setFromHsv(picker->hueValue, s, v);
  }
  void focusInEvent(QFocusEvent* event) override { update(); QWidget::focusInEvent(event); }
  void focusOutEvent(QFocusEvent* event) override { update(); QWidget::focusOutEvent(event); }

 private:
  ColorPicker* picker;
  QImage image;
};

// Hue from left to right at full saturation and value.
class ColorPicker::HueBar : public QWidget {
 public:
  explicit HueBar(ColorPicker* picker) : QWidget(picker), picker(picker) {
    setFixedSize(kFieldSide, kHueBarHeight);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    for (int x = 0; x < width(); ++x) {
      painter.setPen(QColor::fromHsv(std::min(359, 360 * x / width()), 255, 255));
      painter.drawLine(x, 0, x, height() - 1);
    }
    drawMark(painter, QPoint(picker->hueValue * width() / 360, height() / 2));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) picker->pickInHueBar(event->position().toPoint().x());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (event->buttons() & Qt::LeftButton) picker->pickInHueBar(event->position().toPoint().x());
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
      case Qt::Key_Left: case Qt::Key_Down:
        picker->setFromHsv(std::max(0, picker->hueValue - step), picker->saturationValue, picker->valueValue);
        break;
      case Qt::Key_Right: case Qt::Key_Up:
        picker->setFromHsv(std::min(359, picker->hueValue + step), picker->saturationValue, picker->valueValue);
        break;
      default: QWidget::keyPressEvent(event);
    }
  }

 private:
  ColorPicker* picker;
};

ColorPicker::ColorPicker(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ColorPicker1"));
  setAccessibleName(tr("Color picker"));
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  setFixedSize(100, 137);

  field = new Field(this);
  field->setObjectName(QStringLiteral("PickerField"));
  field->setAccessibleName(tr("Saturation and value"));
  field->setToolTip(tr("Saturation (across) and value (up) of the chosen hue"));
  field->move(6, 6);
  hueBar = new HueBar(this);
  hueBar->setObjectName(QStringLiteral("PickerHue"));
  hueBar->setAccessibleName(tr("Hue"));
  hueBar->setToolTip(tr("Hue"));
  hueBar->move(6, 98);

  auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  const struct {
    QLineEdit** edit;
    const char* name;
    const char* caption;
  } edits[] = {{&redEdit, "PickerRed", "Red"}, {&greenEdit, "PickerGreen", "Green"}, {&blueEdit, "PickerBlue", "Blue"}};
  int x = 5;
  for (const auto& e : edits) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(e.name));
    edit->setAccessibleName(tr(e.caption));
    edit->setToolTip(tr(e.caption) + tr(" (0 to 255)"));
    edit->setValidator(digits);
    edit->setMaxLength(3);
    edit->setAlignment(Qt::AlignRight);
    edit->setGeometry(x, 110, 30, 22);
    edit->setTextMargins(0, 0, 0, 0);
    connect(edit, &QLineEdit::textEdited, this, [this] { setFromEdits(); });
    connect(edit, &QLineEdit::editingFinished, this, [edit] {
      if (edit->text().isEmpty()) edit->setText(QStringLiteral("0"));
    });
    *e.edit = edit;
    x += 30;
  }
  setTabOrder(redEdit, greenEdit);
  setTabOrder(greenEdit, blueEdit);
  setPickColor(rgb(128, 0, 0));  // maroon
}

void ColorPicker::setPickColor(Color color) {
  current = rgb(redOf(color), greenOf(color), blueOf(color));
  const QColor q(redOf(current), greenOf(current), blueOf(current));
  int h = 0, s = 0, v = 0;
  q.getHsv(&h, &s, &v);
  if (h >= 0) hueValue = h;  // a grey has no hue: keep the bar where it is
  saturationValue = s;
  valueValue = v;
  field->hueChanged();
  hueBar->update();
  showEdits();
}

void ColorPicker::setFromHsv(int hue, int saturation, int value) {
  const bool newHue = hue != hueValue;
  hueValue = std::clamp(hue, 0, 359);
  saturationValue = std::clamp(saturation, 0, 255);
  valueValue = std::clamp(value, 0, 255);
  current = fromQColor(QColor::fromHsv(hueValue, saturationValue, valueValue));
  if (newHue) field->hueChanged();
  field->update();
  hueBar->update();
  showEdits();
  raiseChange();
}

void ColorPicker::pickInField(QPoint at) {
  const int x = std::clamp(at.x(), 0, kFieldSide);
  const int y = std::clamp(at.y(), 0, kFieldSide);
  setFromHsv(hueValue, 255 * x / kFieldSide, 255 * (kFieldSide - y) / kFieldSide);
}

void ColorPicker::pickInHueBar(int x) {
  setFromHsv(std::clamp(360 * std::clamp(x, 0, kFieldSide) / kFieldSide, 0, 359), saturationValue, valueValue);
}

void ColorPicker::setFromEdits() {
  auto channel = [](QLineEdit* edit) {
    const int v = std::clamp(edit->text().toInt(), 0, 255);
    if (!edit->text().isEmpty() && edit->text() != QString::number(v)) {
      const int cursor = edit->cursorPosition();
      edit->setText(QString::number(v));
      edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
    }
    return static_cast<std::uint8_t>(v);
  };
  const Color color = rgb(channel(redEdit), channel(greenEdit), channel(blueEdit));
  const QColor q(redOf(color), greenOf(color), blueOf(color));
  int h = 0, s = 0, v = 0;
  q.getHsv(&h, &s, &v);
  if (h >= 0 && h != hueValue) {
    hueValue = h;
    field->hueChanged();
  }
  saturationValue = s;
  valueValue = v;
  current = color;
  field->update();
  hueBar->update();
  raiseChange();
}

void ColorPicker::showEdits() {
  redEdit->setText(QString::number(redOf(current)));
  greenEdit->setText(QString::number(greenOf(current)));
  blueEdit->setText(QString::number(blueOf(current)));
}

void ColorPicker::raiseChange() { Q_EMIT colorChanged(current); }

}  // namespace zefra::app
