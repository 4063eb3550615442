#include "support/autosave.h"

#include <QDateTime>
#include <exception>

#include "dialogs/recovery_dialog.h"
#include "session/editor_session.h"

namespace zefra::app {

Autosave::Autosave(EditorSession& session, std::filesystem::path folder, QObject* parent)
    : QObject(parent), session(session), copies(std::move(folder)) {
  setObjectName(QStringLiteral("Autosave"));
  timer.setSingleShot(true);
  timer.setInterval(kDefaultDelay);
  connect(&timer, &QTimer::timeout, this, &Autosave::update);
  connect(&session, &EditorSession::changed, this, &Autosave::projectStateChanged);
  connect(&session, &EditorSession::fileStateChanged, this, &Autosave::projectStateChanged);
}

void Autosave::projectStateChanged() {
  if (!session.editor().modified()) {
    update();
    return;
  }
  // Not restarted by further changes: the copy stays at most one delay behind.
  if (!timer.isActive()) timer.start();
}

void Autosave::update() {
  timer.stop();
  // The save prompt's No clears the flag without a change: checked here, not assumed.
  if (!session.editor().modified()) {
    copies.remove();
    return;
  }
  try {
    copies.write(session.project(), QDateTime::currentSecsSinceEpoch());
    Q_EMIT written();
  } catch (const std::exception& error) {
    qWarning("zefra: no recovery copy: %s", error.what());
    Q_EMIT failed(QString::fromLocal8Bit(error.what()));
  }
}

void Autosave::projectClosed() {
  timer.stop();
  copies.remove();
}

bool Autosave::offerRecovery(QWidget* parent) {
  std::vector<editor::RecoveryCopy> found = copies.orphanedCopies();
  if (found.empty()) return false;
  std::optional<editor::RecoveryCopy> chosen;
  {
    RecoveryDialog dialog(std::move(found), [this](const editor::RecoveryCopy& c) { copies.discard(c); }, parent);
    dialog.exec();
    chosen = dialog.takeChosen();
  }  // the copies not chosen are free again for another editor
  if (!chosen) return false;
  if (!session.recover(chosen->project, chosen->info.originalPath).ok) return false;
  // The recovered work is this editor's to keep now: its own copy must exist before the
  // old one goes.
  update();
  if (copies.hasCopy()) copies.discard(*chosen);
  return true;
}

}  // namespace zefra::app
