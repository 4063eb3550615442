#include "dialogs/panel_dialogs.h"

#include <QFileDialog>

#include "dialogs/color_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/picture_file_dialog.h"

namespace zefra::app {

PanelDialogs::~PanelDialogs() = default;

std::optional<Color> PanelDialogs::chooseColor(QWidget* parent, Color initial) {
  // Made for each use and parented to the window that asks: a dialog kept between uses
  // would be deleted with the first short-lived window that owned it (the font dialog),
  // and the next colour button would reach a dead object.
  ColorDialog dialog(parent ? parent->window() : nullptr);
  dialog.setDialogColor(initial);
  if (!dialog.execute()) return std::nullopt;
  return dialog.dialogColor();
}

std::optional<editor::FontChoice> PanelDialogs::chooseFont(QWidget* parent,
                                                                   const editor::FontChoice& initial) {
  FontDialog dialog([this](QWidget* owner, Color c) { return chooseColor(owner, c); }, parent);
  dialog.setChoice(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

QString PanelDialogs::openPicturePath(QWidget* parent, const QString& directory, const QString& fileName) {
  const QString start = fileName.isEmpty() ? directory : directory + QLatin1Char('/') + fileName;
  PictureFileDialog dialog(parent, QObject::tr("Load Picture"), start, kPictureFilter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

QString PanelDialogs::openTexturePath(QWidget* parent, const QString& directory) {
  return QFileDialog::getOpenFileName(parent, QObject::tr("Load Texture"), directory, kTextureFilter);
}

void PanelDialogs::invalidEntry(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Zefra"), text);
}

}  // namespace zefra::app
