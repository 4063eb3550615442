#include "preview/preview_prompts.h"

#include <QDir>
#include <QFileDialog>

#include "dialogs/color_dialog.h"

namespace zefra::app {

QString PreviewPrompts::saveGifPath(QWidget* parent, const QString& directory, const QString& proposedName) {
  QFileDialog dialog(parent, QString(), directory, kGifFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("gif"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void PreviewPrompts::information(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox::information(parent, caption, text);
}

void PreviewPrompts::warning(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox::warning(parent, caption, text);
}

std::optional<Color> PreviewPrompts::chooseColor(QWidget* parent, Color start) {
  ColorDialog dialog(parent);
  dialog.setDialogColor(start);
  if (!dialog.execute()) return std::nullopt;
  return dialog.dialogColor();
}

}  // namespace zefra::app
