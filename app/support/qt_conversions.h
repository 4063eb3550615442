#pragma once
// Conversions between the core's plain types and Qt's.

#include <QColor>
#include <QString>
#include <string_view>

#include "common/color.h"

namespace zefra::app {

inline QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

inline Color fromQColor(const QColor& c) {
  return rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue()));
}

}  // namespace zefra::app
