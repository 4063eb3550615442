#pragma once
// The hue/saturation/value picker of the colour dialog ("ColorPicker"): a field where x is
// the saturation and y the value of the current hue, a hue bar below it, and three decimal
// edits for red, green and blue. Setting the colour from outside never raises
// colorChanged; every change the user makes does.

#include <QFrame>

#include "common/color.h"

class QLineEdit;

namespace zefra::app {

class ColorPicker : public QFrame {
  Q_OBJECT

 public:
  explicit ColorPicker(QWidget* parent = nullptr);

  Color pickColor() const { return current; }
  // Shows `color` in all three parts without raising colorChanged.
  void setPickColor(Color color);

  int hue() const { return hueValue; }
  int saturation() const { return saturationValue; }
  int value() const { return valueValue; }

  // Picks at a point of the field (saturation/value) or of the hue bar, in the part's own
  // coordinates, as a mouse press there does.
  void pickInField(QPoint at);
  void pickInHueBar(int x);

 Q_SIGNALS:
  void colorChanged(zefra::Color color);

 private:
  class Field;
  class HueBar;

  void setFromHsv(int hue, int saturation, int value);
  void setFromEdits();
  void showEdits();
  void raiseChange();

  Field* field = nullptr;
  HueBar* hueBar = nullptr;
  QLineEdit* redEdit = nullptr;
  QLineEdit* greenEdit = nullptr;
  QLineEdit* blueEdit = nullptr;

  Color current = 0;
  int hueValue = 0;          // 0..359
  int saturationValue = 0;   // 0..255
  int valueValue = 0;        // 0..255
};

}  // namespace zefra::app
