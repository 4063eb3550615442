#pragma once
// A spin box that takes a typed number beyond its range as its nearest bound: typing 99999
// into a 0..25 spin shows and stores 25, where a plain spin box refuses the keystrokes one
// by one and leaves the user guessing the limit. Numbers still on their way into the range
// ("1" on the way to "15" when the minimum is 10) are left alone until the field is left.

#include <QSpinBox>

namespace zefra::app {

class BoundedSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  using QSpinBox::QSpinBox;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
};

}  // namespace zefra::app
