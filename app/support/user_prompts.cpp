#include "support/user_prompts.h"

#include <QFileDialog>
#include <QFileInfo>

#include "dialogs/set_delay_dialog.h"
#include "dialogs/tween_dialog.h"

namespace zefra::app {

QMessageBox::StandardButton UserPrompts::question(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Zefra"), text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.setObjectName(QStringLiteral("ModifyMsg"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void UserPrompts::error(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void UserPrompts::warning(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

QString UserPrompts::openProjectPath(QWidget* parent, const QString& directory) {
  QFileDialog dialog(parent, QString(), directory, kOpenFilters);
  dialog.selectNameFilter(kOpenFilters.section(QStringLiteral(";;"), 2, 2));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("lbl"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString UserPrompts::saveProjectPath(QWidget* parent, const QString& directory, const QString& proposedName) {
  QFileDialog dialog(parent, QString(), directory, kLblFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);  // the folder must exist; the file may not
  dialog.setDefaultSuffix(QStringLiteral("lbl"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (!proposedName.isEmpty()) dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

std::optional<editor::TweenOptions> UserPrompts::tweenOptions(QWidget* parent, int currentFrame, int frameCount,
                                                              const editor::TweenOptions& last) {
  TweenDialog dialog(currentFrame, frameCount, parent);
  dialog.setOptions(last);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.options();
}

std::optional<int> UserPrompts::frameDelay(QWidget* parent, int delayMs, int minimum, int maximum, int frames) {
  SetDelayDialog dialog(delayMs, minimum, maximum, frames, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.delay();
}

QString UserPrompts::openGifPath(QWidget* parent, const QString& directory) {
  QFileDialog dialog(parent, QObject::tr("Import GIF"), directory, QStringLiteral("GIF Images (*.gif)"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString UserPrompts::saveGifPath(QWidget* parent, const QString& proposedPath) {
  const QFileInfo proposed(proposedPath);
  QFileDialog dialog(parent, QObject::tr("Export GIF"), proposed.absolutePath(), QStringLiteral("GIF Images (*.gif)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("gif"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.selectFile(proposed.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace zefra::app
