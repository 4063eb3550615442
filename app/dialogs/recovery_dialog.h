#pragma once
// "Recover Unsaved Work": the projects that editors which ended without saving (a crash,
// a kill, a power cut) left behind, newest first, each named by its file, folder and the
// time it was last copied. Recover opens the chosen one; Discard deletes the chosen copy
// and leaves the others in the list. Closing the dialog keeps every copy left for the
// next start.

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "editor/recovery_store.h"

class QListWidget;
class QPushButton;

namespace zefra::app {

class RecoveryDialog : public QDialog {
  Q_OBJECT

 public:
  using Discard = std::function<void(const editor::RecoveryCopy&)>;
  RecoveryDialog(std::vector<editor::RecoveryCopy> copies, Discard discard, QWidget* parent = nullptr);

  // What the list shows for a copy: "banner.lbl in /home/me/work, saved 09/12/2026 06:12".
  static QString entryText(const editor::RecoveryCopy& copy);
  // After exec(): the copy chosen with Recover (its claim moves with it), or nothing.
  std::optional<editor::RecoveryCopy> takeChosen();

 private:
  void recoverSelected();
  void discardSelected();
  void updateButtons();

  std::vector<editor::RecoveryCopy> copies;  // in the list's order
  Discard discard;
  std::optional<editor::RecoveryCopy> chosen;
  QListWidget* list = nullptr;
  QPushButton* recoverButton = nullptr;
  QPushButton* discardButton = nullptr;
};

}  // namespace zefra::app
