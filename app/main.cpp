// The zefra program: the banner editor's main window, optionally opening the project
// named as the first argument.
#include <QApplication>

#include "editor/settings.h"
#include "main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QLatin1String(zefra::editor::kSettingsOrganization));
  QCoreApplication::setApplicationName(QLatin1String(zefra::editor::kSettingsApplication));
  QGuiApplication::setDesktopFileName(QStringLiteral("zefra"));

  zefra::app::MainWindow window(QCoreApplication::arguments().mid(1));
  window.show();
  return QApplication::exec();
}
