#pragma once
// The program's colour chooser "TfrmColDlg" ("Select Color"): 40 swatches, the hue /
// saturation / value picker, a sample and the colour as "#RRGGBB" text. The caller sets
// dialogColor(), runs it, and reads dialogColor() back only when it answers true.

#include <QDialog>
#include <array>
#include <functional>

#include "common/color.h"

class QFrame;
class QLineEdit;
class QPushButton;

namespace zefra::app {

class ColorPicker;
class ColorSwatch;

class ColorDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSwatchCount = 40;
  static const std::array<Color, kSwatchCount> kSwatchColors;

  explicit ColorDialog(QWidget* parent = nullptr);
  ~ColorDialog() override;

  // The colour in and out. System colours are accepted and shown as their RGB value;
  // after OK it holds the plain RGB colour of the sample.
  void setDialogColor(Color color) { colorInOut = color; }
  Color dialogColor() const { return colorInOut; }

  // Shows the dialog modally; true when it was closed with OK.
  bool execute();

  // The colour the sample shows now.
  Color sampleColor() const { return sample; }

  // How a text that is not a colour is reported (a message box unless a test replaces it).
  std::function<void(QWidget* parent, const QString& text)> reportError;

  enum class SwatchState { Flat, Bump, Lowered };
  SwatchState swatchState(int n) const;  // n = 1..40

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class ColorSwatch;
  void swatchClicked(int n);
  void focusSwatch(int n);
  void showColor(Color color, bool inPicker, bool inText);
  void textChanged(const QString& text);
  bool filterKey(QKeyEvent* event);

  std::array<ColorSwatch*, kSwatchCount> swatches{};
  QFrame* swatchPanel = nullptr;  // "P1"
  ColorPicker* picker = nullptr;  // "ColorPicker1"
  QFrame* sampleView = nullptr;   // "OutColor"
  QLineEdit* htmlEdit = nullptr;  // "E1"
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;

  Color colorInOut = 0;
  Color sample = 0;
  bool textHasFocus = false;  // typed text is read only while the field has the focus
};

}  // namespace zefra::app
