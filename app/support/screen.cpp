#include "support/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace zefra::app {

std::int16_t displayDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  return static_cast<std::int16_t>(dpi > 0 && dpi < 1000 ? qRound(dpi) : 96);
}

}  // namespace zefra::app
