#pragma once
// "Set Delay": one delay for every frame chosen in the frame strip.

#include <QDialog>

class QSpinBox;

namespace zefra::app {

class SetDelayDialog : public QDialog {
  Q_OBJECT

 public:
  // Offers `delayMs` (the current frame's) within minimum..maximum.
  SetDelayDialog(int delayMs, int minimum, int maximum, int frames, QWidget* parent = nullptr);
  int delay() const;

 private:
  QSpinBox* delaySpin = nullptr;
};

}  // namespace zefra::app
