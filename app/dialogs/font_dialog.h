#pragma once
// The font button's dialog: the standard font chooser (scalable fonts only, with the
// underline and strike-out effects) and, in the same dialog, the font colour, which the
// standard chooser does not offer. Preset from and read back as an editor::FontChoice.

#include <QDialog>
#include <functional>
#include <optional>

#include "editor/panel_edits.h"

class QFontDialog;

namespace zefra::app {

class ColorButton;

class FontDialog : public QDialog {
  Q_OBJECT

 public:
  // chooseColor runs the colour dialog for the colour button; nothing = cancelled.
  using ColorChooser = std::function<std::optional<Color>(QWidget* parent, Color initial)>;
  explicit FontDialog(ColorChooser chooseColor, QWidget* parent = nullptr);

  void setChoice(const editor::FontChoice& choice);
  editor::FontChoice choice() const;

  QFontDialog* fontChooser() const { return fonts; }
  ColorButton* colorButton() const { return colorChoice; }

 private:
  QFontDialog* fonts = nullptr;
  ColorButton* colorChoice = nullptr;
  ColorChooser chooseColor;
  // A face the system lacks shows as its stand-in ("Arial" as "Liberation Sans"); the
  // project keeps the name it had unless the user picks another face.
  QString presetName;
  QString presetFamily;
};

}  // namespace zefra::app
