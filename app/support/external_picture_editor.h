#pragma once
// "Edit Picture...": starts the user's image editor on a picture file and reloads the
// picture every time the file is saved, until the editor is closed.
//
// Which program runs and when a reload is due are the core's decisions
// (editor/image_editor_command.h, editor/picture_watch.h); this class only does the
// platform's part: it starts the program (detached, so closing Zefra never closes it with
// unsaved work), looks at the file whenever the file system reports a change and once a
// second (editors often save by renaming a new file over the old one, which a file watch
// alone can miss), and notices when the program has ended.
//
// Watching ends when the started program ends. A program that ends within a few seconds has
// usually handed the file to an instance that was already running, and the desktop's
// default application gives no process to follow at all: in both cases the file is watched
// until another picture is edited or stop() is called (the project is closed).

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/image_editor_command.h"
#include "editor/picture_watch.h"

class QFileSystemWatcher;
class QTimer;

namespace zefra::app {

class ExternalPictureEditor : public QObject {
  Q_OBJECT

 public:
  // Reloads the given picture slots of the current frame from the watched file and answers
  // whether that worked; after a failure the shown pictures stay and the file is read
  // again at the next look.
  using Reloader = std::function<bool(const std::vector<int>& slots)>;

  explicit ExternalPictureEditor(Reloader reload, QObject* parent = nullptr);
  ~ExternalPictureEditor() override;

  // Starts the editor chosen by `setting` (the "ImageEditor" value) on `file`, shown in
  // `slots`, and watches it. A missing file gives up silently (answers false).
  bool edit(const QString& file, std::vector<int> slots, const QString& setting);
  // Ends watching (the project is closed or replaced).
  void stop();
  bool watching() const { return watch.active(); }
  const editor::PictureWatch& pictureWatch() const { return watch; }
  // The program that was started last (for the status bar and tests).
  const editor::LaunchCommand& lastCommand() const { return command; }

  // Seams for tests and other desktops.
  void setInstalledCheck(std::function<bool(const std::string&)> check) { installed = std::move(check); }
  void setDesktopOpener(std::function<bool(const QUrl&)> opener) { openWithDesktop = std::move(opener); }
  void setPollInterval(int ms);

 Q_SIGNALS:
  // The watched pictures were reloaded from the file.
  void reloaded(const QString& file);
  // The editor program could not be started.
  void startFailed(const QString& message);
  void watchEnded();

 private:
  void look();
  bool processRunning() const;

  Reloader reload;
  editor::PictureWatch watch;
  editor::LaunchCommand command;
  QFileSystemWatcher* fileWatcher = nullptr;
  QTimer* poll = nullptr;
  std::optional<qint64> processId;  // the started editor; none for the desktop default
  qint64 startedAtMs = 0;
  std::function<bool(const std::string&)> installed;
  std::function<bool(const QUrl&)> openWithDesktop;
};

}  // namespace zefra::app
