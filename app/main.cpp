// The zefra program: the banner editor's main window, optionally opening the project (or
// the GIF, as a new project) named as the first argument.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "editor/settings.h"
#include "main_window.h"

namespace {

// --version and --help answer before Qt starts, so they work without a display.
bool answeredInformationOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("zefra %s\n", ZEFRA_VERSION);
      return true;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("Usage: zefra [PROJECT.lbl | ANIMATION.gif]\n\n"
                  "The Zefra banner editor; opens PROJECT.lbl when given, or makes a new\n"
                  "project of the frames of ANIMATION.gif.\n"
                  "Without a window, use zefra-cli (see zefra-cli --help).\n\n"
                  "  --help      show this text\n  --version   show the version\n");
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredInformationOption(argc, argv)) return 0;
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QLatin1String(zefra::editor::kSettingsOrganization));
  QCoreApplication::setApplicationName(QLatin1String(zefra::editor::kSettingsApplication));
  QGuiApplication::setDesktopFileName(QStringLiteral("zefra"));

  zefra::app::MainWindow window(QCoreApplication::arguments().mid(1));
  window.show();
  return QApplication::exec();
}
