#include "dialogs/font_dialog.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/color_button.h"

namespace zefra::app {

FontDialog::FontDialog(ColorChooser chooser, QWidget* parent) : QDialog(parent), chooseColor(std::move(chooser)) {
  setObjectName(QStringLiteral("FontDialog"));
  setWindowTitle(tr("Font"));
  setAccessibleName(tr("Font"));

  fonts = new QFontDialog(this);
  fonts->setObjectName(QStringLiteral("FontChooser"));
  // Shown as a part of this dialog, not as a window of its own.
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);

  auto* colorLabel = new QLabel(tr("Co&lor:"), this);
  colorChoice = new ColorButton(this);
  colorChoice->setObjectName(QStringLiteral("FontColor"));
  colorChoice->setToolTip(tr("Font color"));
  colorChoice->setFixedWidth(60);
  colorLabel->setBuddy(colorChoice);
  connect(colorChoice, &QPushButton::clicked, this, [this] {
    if (!chooseColor) return;
    if (const auto c = chooseColor(this, colorChoice->color())) colorChoice->setColor(*c);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(colorLabel);
  colorRow->addWidget(colorChoice);
  colorRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fonts);
  layout->addLayout(colorRow);
  layout->addWidget(buttons);
  setTabOrder(colorChoice, buttons);
}

void FontDialog::setChoice(const editor::FontChoice& choice) {
  QFont font(QString::fromStdString(choice.name));
  font.setPointSize(std::max(choice.size, editor::kMinFontSize));
  font.setBold(choice.bold);
  font.setItalic(choice.italic);
  font.setUnderline(choice.underline);
  font.setStrikeOut(choice.strikeOut);
  fonts->setCurrentFont(font);
  presetName = font.family();
  presetFamily = fonts->currentFont().family();
  colorChoice->setColor(choice.color);
}

editor::FontChoice FontDialog::choice() const {
  const QFont font = fonts->currentFont();
  editor::FontChoice choice;
  choice.name = (font.family() == presetFamily ? presetName : font.family()).toStdString();
  choice.size = font.pointSize();
  choice.color = colorChoice->color();
  choice.bold = font.bold();
  choice.italic = font.italic();
  choice.underline = font.underline();
  choice.strikeOut = font.strikeOut();
  return choice;
}

}  // namespace zefra::app
