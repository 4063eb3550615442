#include "dialogs/color_dialog.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "common/color_text.h"
#include "dialogs/color_picker.h"
#include "raster/html_color.h"

namespace zefra::app {

namespace {

QString htmlText(Color c) { return QString::fromLatin1(raster::colorToHtmlColor(c).c_str()); }

void paintSolid(QWidget* widget, Color c) {
  widget->setStyleSheet(QStringLiteral("background-color: %1;").arg(htmlText(c)));
}

}  // namespace

const std::array<Color, ColorDialog::kSwatchCount> ColorDialog::kSwatchColors = {
    rgb(0, 0, 0),       rgb(68, 34, 34),    rgb(68, 68, 0),     rgb(0, 68, 0),      rgb(34, 68, 68),
    rgb(0, 0, 136),     rgb(0, 68, 136),    rgb(68, 68, 68),    rgb(136, 0, 0),     rgb(221, 102, 0),
    rgb(136, 136, 0),   rgb(0, 136, 0),     rgb(0, 102, 102),   rgb(0, 0, 255),     rgb(136, 136, 204),
    rgb(136, 136, 136), rgb(255, 0, 0),     rgb(255, 136, 34),  rgb(0, 255, 0),     rgb(0, 170, 170),
    rgb(0, 221, 221),   rgb(0, 136, 255),   rgb(136, 0, 136),   rgb(170, 170, 170), rgb(255, 0, 136),
    rgb(255, 187, 0),   rgb(255, 255, 0),   rgb(34, 255, 34),   rgb(102, 255, 255), rgb(68, 170, 255),
    rgb(136, 0, 68),    rgb(204, 204, 204), rgb(255, 170, 170), rgb(255, 204, 170), rgb(255, 255, 136),
    rgb(170, 255, 170), rgb(170, 255, 255), rgb(187, 187, 255), rgb(204, 136, 255), rgb(255, 255, 255),
};

// One colour square: flat, raised while the mouse is over it, sunk once clicked.
class ColorSwatch : public QFrame {
 public:
  ColorSwatch(ColorDialog* dialog, QWidget* parent, int n)
      : QFrame(parent), dialog(dialog), number(n), color(ColorDialog::kSwatchColors[static_cast<std::size_t>(n - 1)]) {
    setObjectName(QStringLiteral("RP%1").arg(n));
    setAccessibleName(htmlText(color));
    setToolTip(htmlText(color));
    setFixedSize(17, 17);
    setLineWidth(1);
    setCursor(Qt::CrossCursor);
    // One tab stop for the whole grid (the first swatch); arrows move within it.
    setFocusPolicy(n == 1 ? Qt::StrongFocus : Qt::ClickFocus);
    setState(ColorDialog::SwatchState::Flat);
  }

  ColorDialog::SwatchState state() const { return current; }
  void setState(ColorDialog::SwatchState s) {
    current = s;
    setFrameShape(s == ColorDialog::SwatchState::Flat ? QFrame::Box : QFrame::Panel);
    setFrameShadow(s == ColorDialog::SwatchState::Flat    ? QFrame::Plain
                   : s == ColorDialog::SwatchState::Bump  ? QFrame::Raised
                                                          : QFrame::Sunken);
    update();
  }
  Color swatchColor() const { return color; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor(redOf(color), greenOf(color), blueOf(color)));
    if (hasFocus()) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
      painter.drawRect(contentsRect().adjusted(1, 1, -1, -1));
    }
    painter.end();
    QFrame::paintEvent(event);
  }
  void enterEvent(QEnterEvent*) override {
    if (current == ColorDialog::SwatchState::Flat) setState(ColorDialog::SwatchState::Bump);
  }
  void leaveEvent(QEvent*) override {
    if (current == ColorDialog::SwatchState::Bump) setState(ColorDialog::SwatchState::Flat);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) dialog->swatchClicked(number);
  }
  void keyPressEvent(QKeyEvent* event) override {
    constexpr int kColumns = 8;
    int next = number;
    switch (event->key()) {
      case Qt::Key_Space: dialog->swatchClicked(number); return;
      case Qt::Key_Left: next = number - 1; break;
      case Qt::Key_Right: next = number + 1; break;
      case Qt::Key_Up: next = number - kColumns; break;
      case Qt::Key_Down: next = number + kColumns; break;
      default: QFrame::keyPressEvent(event); return;
    }
    if (next >= 1 && next <= ColorDialog::kSwatchCount) dialog->focusSwatch(next);
  }
  void focusInEvent(QFocusEvent* event) override { update(); QFrame::focusInEvent(event); }
  void focusOutEvent(QFocusEvent* event) override { update(); QFrame::focusOutEvent(event); }
  // Tab leaves the grid from the first swatch's place in the tab order, whichever swatch
  // the arrows had reached.
  bool focusNextPrevChild(bool next) override {
    if (number != 1) dialog->focusSwatch(1);
    return QFrame::focusNextPrevChild(next);
  }

 private:
  ColorDialog* dialog;
  int number;
  Color color;
  ColorDialog::SwatchState current = ColorDialog::SwatchState::Flat;
};

ColorDialog::ColorDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmColDlg"));
  setWindowTitle(tr("Select Color"));
  setAccessibleName(tr("Select Color"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFixedSize(259, 196);

  swatchPanel = new QFrame(this);
  swatchPanel->setObjectName(QStringLiteral("P1"));
  swatchPanel->setAccessibleName(tr("Color swatches"));
  swatchPanel->setGeometry(8, 8, 145, 90);
  swatchPanel->setCursor(Qt::CrossCursor);
  for (int n = 1; n <= kSwatchCount; ++n) {
    auto* swatch = new ColorSwatch(this, swatchPanel, n);
    swatch->move(1 + (n - 1) % 8 * 18, 1 + (n - 1) / 8 * 18);
    swatches[static_cast<std::size_t>(n - 1)] = swatch;
  }

  picker = new ColorPicker(this);
  picker->move(156, 2);
  connect(picker, &ColorPicker::colorChanged, this, [this](Color c) { showColor(c, false, true); });

  htmlEdit = new QLineEdit(this);
  htmlEdit->setObjectName(QStringLiteral("E1"));
  htmlEdit->setAccessibleName(tr("HTML color"));
  htmlEdit->setToolTip(tr("The color as #RRGGBB"));
  htmlEdit->setMaxLength(7);
  htmlEdit->setGeometry(84, 113, 69, 21);
  htmlEdit->installEventFilter(this);
  connect(htmlEdit, &QLineEdit::textChanged, this, &ColorDialog::textChanged);

  sampleView = new QFrame(this);
  sampleView->setObjectName(QStringLiteral("OutColor"));
  sampleView->setAccessibleName(tr("Sample"));
  sampleView->setFrameShape(QFrame::Panel);
  sampleView->setFrameShadow(QFrame::Sunken);
  sampleView->setGeometry(8, 113, 69, htmlEdit->height());

  auto* separator = new QFrame(this);
  separator->setObjectName(QStringLiteral("Bevel1"));
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);
  separator->setGeometry(8, 144, 241, 2);

  okButton = new QPushButton(tr("&OK"), this);
  okButton->setObjectName(QStringLiteral("B1"));
  okButton->setGeometry(48, 160, 75, 25);
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, [this] {
    colorInOut = sample;
    accept();
  });
  cancelButton = new QPushButton(tr("&Cancel"), this);
  cancelButton->setObjectName(QStringLiteral("B2"));
  cancelButton->setGeometry(136, 160, 75, 25);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  setTabOrder(swatches[0], picker->findChild<QWidget*>(QStringLiteral("PickerField")));
  setTabOrder(picker->findChild<QWidget*>(QStringLiteral("PickerField")), picker->findChild<QWidget*>(QStringLiteral("PickerHue")));
  setTabOrder(picker->findChild<QWidget*>(QStringLiteral("PickerHue")), htmlEdit);
  setTabOrder(htmlEdit, picker->findChild<QLineEdit*>(QStringLiteral("PickerRed")));
  setTabOrder(picker->findChild<QLineEdit*>(QStringLiteral("PickerBlue")), okButton);
  setTabOrder(okButton, cancelButton);

  reportError = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Error"), text, QMessageBox::Ok, parent);
    box.exec();
  };
}

ColorDialog::~ColorDialog() = default;

bool ColorDialog::execute() { return exec() == QDialog::Accepted; }

ColorDialog::SwatchState ColorDialog::swatchState(int n) const {
  return swatches.at(static_cast<std::size_t>(n - 1))->state();
}

void ColorDialog::showEvent(QShowEvent* event) {
  textHasFocus = false;
  for (ColorSwatch* s : swatches) s->setState(SwatchState::Flat);
  showColor(raster::resolveColor(colorInOut), true, true);
  htmlEdit->setFocus();
  QDialog::showEvent(event);
}

void ColorDialog::focusSwatch(int n) { swatches.at(static_cast<std::size_t>(n - 1))->setFocus(Qt::TabFocusReason); }

void ColorDialog::swatchClicked(int n) {
  for (ColorSwatch* s : swatches) s->setState(SwatchState::Flat);
  ColorSwatch* clicked = swatches.at(static_cast<std::size_t>(n - 1));
  clicked->setState(SwatchState::Lowered);
  showColor(clicked->swatchColor(), true, true);
}

void ColorDialog::showColor(Color color, bool inPicker, bool inText) {
  sample = color;
  paintSolid(sampleView, color);
  if (inPicker) picker->setPickColor(color);
  if (inText) {
    // Text set here is valid; the guard keeps it from being read back as typing.
    const bool typing = textHasFocus;
    textHasFocus = false;
    htmlEdit->setText(htmlText(color));
    textHasFocus = typing;
  }
}

void ColorDialog::textChanged(const QString& text) {
  if (!textHasFocus) return;
  const auto parsed = parseHtmlColorText(text.toStdString());
  if (!parsed) reportError(this, text + tr(" is not a valid color value. Enter a HEX value (#RRGGBB)."));
  showColor(parsed.value_or(rgb(0, 0, 0)), true, false);
}

bool ColorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == htmlEdit) {
    switch (event->type()) {
      case QEvent::FocusIn: textHasFocus = true; break;
      case QEvent::FocusOut: textHasFocus = false; break;
      case QEvent::KeyPress: return filterKey(static_cast<QKeyEvent*>(event));
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// Only hexadecimal digits and "#" may be typed (small a..f become capitals); copying,
// pasting, selecting all, Backspace and keys that type nothing (arrows, Tab, Enter) work
// as usual.
bool ColorDialog::filterKey(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste) ||
      event->matches(QKeySequence::SelectAll)) {
    return false;
  }
  if (event->key() == Qt::Key_Backspace) return false;
  const QString text = event->text();
  if (text.isEmpty()) return false;
  if (event->modifiers() & Qt::ControlModifier) return true;
  if (text.size() != 1) return true;
  const QChar ch = text.at(0);
  if (!ch.isPrint()) return false;  // Enter, Escape, Delete keep their usual meaning
  if (ch >= QLatin1Char('a') && ch <= QLatin1Char('f')) {
    htmlEdit->insert(ch.toUpper());
    return true;
  }
  const bool hex = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
  return !(hex || ch == QLatin1Char('#'));
}

}  // namespace zefra::app
