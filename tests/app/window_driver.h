#pragma once
// Drives a real main window with scripted prompts, for the Qt Test programs of the editor,
// and keeps their settings out of the user's own store.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "widgets/frame_view.h"
#include "main_window.h"
#include "scripted_prompts.h"

namespace zefra::app {

// Settings go to `dir` under the program's own organisation and application names, and
// so do the recovery copies of the windows created after this.
inline void isolateSettings(const QTemporaryDir& dir) {
  QCoreApplication::setOrganizationName("Pendrake");
  QCoreApplication::setApplicationName("Zefra");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
}

// The recovery copies of the windows a test leaves with unsaved changes go to a folder of
// the test program's own unless the test chose one: a copy left in the user's data folder
// would be offered at the next start.
inline void keepRecoveryCopiesInATemporaryFolder() {
  static QTemporaryDir data;
  if (!qEnvironmentVariable("XDG_DATA_HOME").startsWith(QDir::tempPath())) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  }
}

struct Window {
  PromptLog log;
  ScriptedPrompts* prompts = nullptr;
  std::unique_ptr<MainWindow> main;

  explicit Window(const QStringList& arguments = {}, bool show = true) {
    auto scripted = std::make_unique<ScriptedPrompts>(log);
    prompts = scripted.get();
    keepRecoveryCopiesInATemporaryFolder();
    main = std::make_unique<MainWindow>(arguments, std::move(scripted));
    if (show) main->show();
  }
  // Triggers an action that must exist and be enabled.
  void trigger(const char* name) {
    QAction* item = action(name);
    QVERIFY2(item, name);
    QVERIFY2(item->isEnabled(), name);
    item->trigger();
  }
  QAction* action(const char* name) const { return main->findChild<QAction*>(QLatin1String(name)); }
  QString pane(const char* name) const { return main->findChild<QLabel*>(QLatin1String(name))->text(); }
  const model::LabelProject& project() const { return main->editor().project(); }

  // Saves the current project under a new name through "Save Project as...".
  void saveAs(const QString& path) {
    prompts->savePaths.push_back(path);
    action("MSaveas")->trigger();
  }
  QStringList recentCaptions() const {
    QStringList captions;
    for (const char* name : {"N11", "N21", "N31", "N41", "N51"}) {
      QAction* item = action(name);
      captions << (item->isVisible() ? item->text() : QString());
    }
    return captions;
  }

  // Gives the current frame its own background colour, the way a panel edit would.
  void colourCurrentFrame(Color c) {
    main->session().apply([c](editor::Editor& e) {
      return e.editFrames(editor::EditScope::CurrentFrame, "Frame Color",
                          [c](model::FrameRecord& r) { r.frameColor = c; });
    });
  }
  Color canvasColour() const {
    const QImage image = main->canvas()->image();
    if (image.isNull()) return 0xFFFFFFFFu;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue()));
  }
};

}  // namespace zefra::app
