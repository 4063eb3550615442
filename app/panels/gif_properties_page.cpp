#include "panels/gif_properties_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "panels/export_limits_box.h"
#include "session/editor_session.h"
#include "widgets/color_button.h"

namespace zefra::app {

using editor::Field;

GifPropertiesPage::GifPropertiesPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent)
    : PropertyPage(session, dialogs, parent) {
  setObjectName(QStringLiteral("GifPropertiesPage"));

  QCheckBox* transparent = bindFlag(Field::Transparent, tr("Transparent GIF"));
  transparentColor = bindColor(Field::TransparentColor, tr("Transparent color"));
  QLabel* transparentCaption = caption("LTransp", tr("Transp. Color:"), transparentColor, false);

  QGroupBox* palette = group("GroupPalette", tr("Palette"));
  paletteButtons = new QButtonGroup(this);
  auto* paletteColumn = new QVBoxLayout(palette);
  const char* paletteNames[] = {"RB1", "RB2", "RB3"};
  const QString paletteCaptions[] = {tr("Windows"), tr("Netscape"), tr("Grayscale")};
  for (int kind = 0; kind < 3; ++kind) {
    auto* button = new QRadioButton(paletteCaptions[kind], palette);
    button->setObjectName(QLatin1String(paletteNames[kind]));
    paletteButtons->addButton(button, kind);
    paletteColumn->addWidget(button);
  }
  paletteColumn->addStretch();
  connect(paletteButtons, &QButtonGroup::idClicked, this, [this](int kind) { this->session.setField(Field::PaletteKind, kind); });

  colorsGroup = group("GroupColors", tr("Colors"));
  countButtons = new QButtonGroup(this);
  auto* countGrid = new QGridLayout(colorsGroup);
  // RB5..RB9 are 8..128 colours (index 1..5), RB10 is 256 (index 0).
  const struct {
    const char* name;
    const char* caption;
    int index;
  } counts[] = {{"RB5", "8 Colors", 1},   {"RB6", "16 Colors", 2},  {"RB7", "32 Colors", 3},
                {"RB8", "64 Colors", 4},  {"RB9", "128 Colors", 5}, {"RB10", "256 Colors", 0}};
  int position = 0;
  for (const auto& count : counts) {
    auto* button = new QRadioButton(tr(count.caption), colorsGroup);
    button->setObjectName(QLatin1String(count.name));
    countButtons->addButton(button, count.index);
    countGrid->addWidget(button, position % 3, position / 3);
    ++position;
  }
  connect(countButtons, &QButtonGroup::idClicked, this, [this](int index) { this->session.setField(Field::ColorCount, index); });

  globalPalette = group("GroupGlobalPalette", tr("Global Palette"));
  new QVBoxLayout(globalPalette);

  loopBox = new QCheckBox(tr("Loop"), this);
  loopBox->setObjectName(QStringLiteral("ChBox5"));
  loopBox->setChecked(true);
  connect(loopBox, &QCheckBox::toggled, this, &GifPropertiesPage::exportSettingsChanged);

  // Like looping, a choice of the export rather than of the project.
  classicBox = new QCheckBox(tr("Classic export"), this);
  classicBox->setObjectName(QStringLiteral("ChBoxClassic"));
  classicBox->setToolTip(tr("Encode as earlier versions did: a palette per frame merged into one table and the "
                            "classic frame optimiser. Larger files; for comparison."));
  connect(classicBox, &QCheckBox::toggled, this, &GifPropertiesPage::exportSettingsChanged);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  auto* transparencyRow = new QHBoxLayout;
  transparencyRow->addWidget(transparent);
  transparencyRow->addSpacing(12);
  transparencyRow->addWidget(transparentCaption);
  transparencyRow->addWidget(transparentColor);
  transparencyRow->addStretch();
  grid->addLayout(transparencyRow, 0, 0, 1, 2);
  grid->addWidget(palette, 1, 0);
  grid->addWidget(colorsGroup, 1, 1);
  auto* exportRow = new QHBoxLayout;
  exportRow->addWidget(loopBox);
  exportRow->addSpacing(12);
  exportRow->addWidget(classicBox);
  exportRow->addStretch();
  grid->addLayout(exportRow, 2, 0, 1, 2);
  limits = new ExportLimitsBox(this);
  connect(limits, &ExportLimitsBox::changed, this, &GifPropertiesPage::exportSettingsChanged);
  grid->addWidget(limits, 3, 0, 1, 2);
  grid->addWidget(globalPalette, 0, 2, 4, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(1, 1);

  setTabOrder(transparent, transparentColor);
  setTabOrder(transparentColor, paletteButtons->button(0));

  // Whatever the user changes on this page alters the exported GIF.
  connect(&session, &EditorSession::changed, this, [this](const editor::Change& change) {
    if (change.settingsChanged) Q_EMIT exportSettingsChanged();
  });
}

bool GifPropertiesPage::loop() const { return loopBox->isChecked(); }

bool GifPropertiesPage::classicExport() const { return classicBox->isChecked(); }

void GifPropertiesPage::fillPage() {
  const model::ProjectSettings& settings = session.project().settings;
  const QSignalBlocker paletteBlock(paletteButtons);
  const QSignalBlocker countBlock(countButtons);
  if (QAbstractButton* b = paletteButtons->button(settings.paletteKind)) b->setChecked(true);
  if (QAbstractButton* b = countButtons->button(settings.colorCountIndex)) b->setChecked(true);
  // The number of colours is a choice of the Windows palette only.
  const bool windows = settings.paletteKind == static_cast<std::uint8_t>(model::PaletteKind::Windows);
  for (QAbstractButton* b : countButtons->buttons()) b->setEnabled(windows);
  const bool transparent = settings.transparent != 0;
  transparentColor->setEnabled(transparent);
  transparentColor->setShowsColor(transparent);
}

}  // namespace zefra::app
