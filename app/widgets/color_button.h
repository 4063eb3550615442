#pragma once
// A push button that shows a colour: the property panels' colour buttons and the font
// dialog's. While it shows no colour (its group is switched off) it is plain button face.
// The colour's "#RRGGBB" text is its accessible description, so a screen reader tells it.

#include <QPushButton>

#include "common/color.h"

namespace zefra::app {

class ColorButton : public QPushButton {
  Q_OBJECT

 public:
  explicit ColorButton(QWidget* parent = nullptr);

  Color color() const { return shown; }
  void setColor(Color color);
  // False: the button face instead of the colour (the colour is kept).
  void setShowsColor(bool show);
  bool showsColor() const { return showing; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Color shown = 0;
  bool showing = true;
};

}  // namespace zefra::app
