#include "support/external_picture_editor.h"

#include <signal.h>

#include <QDateTime>
#include <QDesktopServices>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>

namespace zefra::app {

namespace {

// A program that ends sooner than this after its start has handed the file on.
constexpr qint64 kHandOverMs = 3000;

}  // namespace

ExternalPictureEditor::ExternalPictureEditor(Reloader reloader, QObject* parent)
    : QObject(parent),
      reload(std::move(reloader)),
      fileWatcher(new QFileSystemWatcher(this)),
      poll(new QTimer(this)),
      installed([](const std::string& name) {
        return !QStandardPaths::findExecutable(QString::fromStdString(name)).isEmpty();
      }),
      openWithDesktop([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  poll->setInterval(1000);
  connect(poll, &QTimer::timeout, this, &ExternalPictureEditor::look);
  connect(fileWatcher, &QFileSystemWatcher::fileChanged, this, &ExternalPictureEditor::look);
}

ExternalPictureEditor::~ExternalPictureEditor() = default;

void ExternalPictureEditor::setPollInterval(int ms) { poll->setInterval(ms); }

bool ExternalPictureEditor::edit(const QString& file, std::vector<int> slots, const QString& setting) {
  stop();
  const std::string path = file.toStdString();
  if (!watch.start(path, std::move(slots), editor::fileStamp(path))) return false;

  command = editor::imageEditorCommand(setting.toStdString(), path, installed);
  bool started = false;
  if (command.desktopDefault) {
    started = openWithDesktop(QUrl::fromLocalFile(file));
  } else {
    QStringList arguments;
    for (const std::string& a : command.arguments) arguments << QString::fromStdString(a);
    qint64 pid = 0;
    started = QProcess::startDetached(QString::fromStdString(command.program), arguments, QString(), &pid);
    if (started && pid > 0) processId = pid;
  }
  if (!started) {
    watch.stop();
    const QString program =
        command.desktopDefault ? tr("the desktop's application for %1").arg(file) : QString::fromStdString(command.program);
    Q_EMIT startFailed(tr("Could not start %1.").arg(program));
    return false;
  }
  startedAtMs = QDateTime::currentMSecsSinceEpoch();
  fileWatcher->addPath(file);
  poll->start();
  return true;
}

void ExternalPictureEditor::stop() {
  const bool was = watch.active();
  poll->stop();
  if (!fileWatcher->files().isEmpty()) fileWatcher->removePaths(fileWatcher->files());
  watch.stop();
  processId.reset();
  if (was) Q_EMIT watchEnded();
}

bool ExternalPictureEditor::processRunning() const {
  if (!processId) return true;
  // The program was started detached, so it is not our child: ask whether it still exists.
  return ::kill(static_cast<pid_t>(*processId), 0) == 0 || errno == EPERM;
}

void ExternalPictureEditor::look() {
  if (!watch.active()) return;
  const QString file = QString::fromStdString(watch.file());
  const std::optional<editor::FileStamp> now = editor::fileStamp(watch.file());
  if (watch.changed(now) && reload(watch.slots())) {
    watch.reloaded(*now);
    Q_EMIT reloaded(file);
  }
  // A file replaced by rename is a new file to the file system watch: follow it again.
  if (now && !fileWatcher->files().contains(file)) fileWatcher->addPath(file);

  if (processId && !processRunning()) {
    if (QDateTime::currentMSecsSinceEpoch() - startedAtMs < kHandOverMs) {
      processId.reset();  // handed over: watch on as for the desktop default
    } else {
      stop();
    }
  }
}

}  // namespace zefra::app
