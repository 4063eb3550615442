#pragma once
// Keeps a recovery copy of the project while it has unsaved changes, so a crash, a kill
// or a power cut costs at most the last few seconds of work. The copy is written a delay
// after the first change it does not hold yet (20 seconds), so it is never further behind
// than that and written at most once per delay during continuous editing. It goes when
// the project is saved, replaced or closed after the save prompt was answered.
//
// At start-up offerRecovery() shows the copies other editors left behind and opens the
// one the user recovers, as the modified project it was, under its own file name.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>

#include "editor/recovery_store.h"

class QWidget;

namespace zefra::app {

class EditorSession;

class Autosave : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kDefaultDelay{20000};

  Autosave(EditorSession& session, std::filesystem::path folder, QObject* parent = nullptr);

  void setDelay(std::chrono::milliseconds delay) { timer.setInterval(delay); }
  std::chrono::milliseconds delay() const { return timer.intervalAsDuration(); }
  // A change waits to be copied.
  bool pending() const { return timer.isActive(); }
  const editor::RecoveryStore& store() const { return copies; }

  // Writes the copy at once (when the project has unsaved changes) or removes it.
  void update();
  // The window closes with nothing unsaved kept on purpose: the copy goes.
  void projectClosed();
  // Shows the copies of editors that ended without saving and opens the one recovered.
  // Answers whether one was opened.
  bool offerRecovery(QWidget* parent);

 Q_SIGNALS:
  // A copy was written.
  void written();
  // A copy could not be written (full disk, folder not writable); the text says why.
  void failed(const QString& message);

 private:
  void projectStateChanged();

  EditorSession& session;
  editor::RecoveryStore copies;
  QTimer timer;
};

}  // namespace zefra::app
