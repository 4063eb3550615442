#include "widgets/bounded_spin_box.h"

#include <QRegularExpression>

namespace zefra::app {

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const {
  const QValidator::State state = QSpinBox::validate(input, pos);
  if (state != QValidator::Invalid) return state;
  QString number = input;
  if (number.startsWith(prefix())) number.remove(0, prefix().size());
  if (!suffix().isEmpty() && number.endsWith(suffix())) number.chop(suffix().size());
  number = number.trimmed();
  static const QRegularExpression kWhole(QStringLiteral("^[+-]?[0-9]+$"));
  if (!kWhole.match(number).hasMatch()) return state;
  const bool negative = number.startsWith(QLatin1Char('-'));
  bool fits = false;
  const qlonglong typed = number.toLongLong(&fits);
  // More digits than any integer holds: as far out as a number can be on its side.
  const bool above = fits ? typed > maximum() : !negative;
  const bool below = fits ? typed < minimum() : negative;
  // Below a positive minimum more digits could still reach the range; a number below a
  // negative minimum (or at or above zero, past the maximum) never can.
  if (above || (below && negative)) {
    input = prefix() + textFromValue(above ? maximum() : minimum()) + suffix();
    pos = static_cast<int>(input.size());
    return QValidator::Acceptable;
  }
  return state;
}

}  // namespace zefra::app
