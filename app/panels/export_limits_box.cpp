#include "panels/export_limits_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace zefra::app {
namespace {

QSpinBox* ruleSpin(QWidget* parent, const char* name, int maximum, const QString& suffix, const QString& hint) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QLatin1String(name));
  spin->setRange(0, maximum);
  spin->setSuffix(suffix);
  spin->setSpecialValueText(QObject::tr("no rule"));
  spin->setToolTip(hint);
  return spin;
}

}  // namespace

std::optional<exporter::AdProfile> adProfileOf(const editor::ExportPreferences& p) {
  switch (p.adCheck) {
    case editor::AdCheckChoice::Iab: return exporter::iabProfile();
    case editor::AdCheckChoice::GoogleAds: return exporter::googleAdsProfile();
    case editor::AdCheckChoice::Custom:
      return exporter::AdProfile{"Custom", static_cast<std::uint64_t>(p.customMaxKb) * 1024, p.customMaxSeconds * 1000,
                                 p.customMaxPlays, static_cast<double>(p.customMaxFps)};
    case editor::AdCheckChoice::None: break;
  }
  return std::nullopt;
}

std::uint64_t sizeLimitOf(const editor::ExportPreferences& p) {
  return p.sizeLimitOn ? static_cast<std::uint64_t>(p.sizeLimitKb) * 1024 : 0;
}

ExportLimitsBox::ExportLimitsBox(QWidget* parent) : QGroupBox(tr("Export"), parent) {
  setObjectName(QStringLiteral("GroupExport"));

  limitBox = new QCheckBox(tr("&Size limit:"), this);
  limitBox->setObjectName(QStringLiteral("ChBoxSizeLimit"));
  limitBox->setToolTip(tr("Export GIF, Save GIF and the preview use fewer colours, then fewer briefly shown "
                          "frames, until the file fits"));
  limitSpin = new QSpinBox(this);
  limitSpin->setObjectName(QStringLiteral("SizeLimitKb"));
  limitSpin->setRange(1, editor::kMaxSizeLimitKb);
  limitSpin->setSuffix(tr(" KB"));
  limitSpin->setAccessibleName(tr("Size limit"));
  limitSpin->setToolTip(tr("The largest file the export may write, in KB (1 KB = 1024 bytes)"));
  limitSpin->setEnabled(false);
  connect(limitBox, &QCheckBox::toggled, limitSpin, &QSpinBox::setEnabled);

  checkCombo = new QComboBox(this);
  checkCombo->setObjectName(QStringLiteral("AdCheck"));
  checkCombo->addItems({tr("None"), tr("IAB"), tr("Google Ads"), tr("Custom")});
  checkCombo->setToolTip(tr("Test the GIF against an ad network's rules: IAB 150 KB, 15 s, 3 plays; Google Ads "
                            "150 KB, 30 s, 5 frames per second"));
  auto* checkLabel = new QLabel(tr("A&d check:"), this);
  checkLabel->setBuddy(checkCombo);

  playsSpin = new QSpinBox(this);
  playsSpin->setObjectName(QStringLiteral("Plays"));
  playsSpin->setRange(0, 100);
  playsSpin->setSpecialValueText(tr("for ever"));
  playsSpin->setToolTip(tr("How often a viewer plays the animation (0 = for ever); Loop off plays it once"));
  auto* playsLabel = new QLabel(tr("&Plays:"), this);
  playsLabel->setBuddy(playsSpin);

  customRules = new QWidget(this);
  customRules->setObjectName(QStringLiteral("CustomRules"));
  customKb = ruleSpin(customRules, "CustomMaxKb", editor::kMaxSizeLimitKb, tr(" KB"), tr("Largest file size"));
  customSeconds = ruleSpin(customRules, "CustomMaxSeconds", 3600, tr(" s"), tr("Longest animation time, all plays"));
  customPlays = ruleSpin(customRules, "CustomMaxPlays", 100, QString(), tr("Most plays"));
  customFps = ruleSpin(customRules, "CustomMaxFps", 100, tr(" fps"), tr("Highest average frame rate"));
  auto* rules = new QFormLayout(customRules);
  rules->setContentsMargins(0, 0, 0, 0);
  const std::pair<QSpinBox*, QString> captions[] = {{customKb, tr("Max. si&ze:")},
                                                     {customSeconds, tr("Max. &time:")},
                                                     {customPlays, tr("Max. pla&ys:")},
                                                     {customFps, tr("Max. &rate:")}};
  for (const auto& [spin, text] : captions) {
    auto* label = new QLabel(text, customRules);
    label->setBuddy(spin);
    rules->addRow(label, spin);
    connect(spin, &QSpinBox::valueChanged, this, &ExportLimitsBox::changed);
  }

  auto* form = new QFormLayout(this);
  auto* limitRow = new QHBoxLayout;
  limitRow->addWidget(limitSpin);
  limitRow->addStretch();
  form->addRow(limitBox, limitRow);
  form->addRow(checkLabel, checkCombo);
  form->addRow(QString(), customRules);
  form->addRow(playsLabel, playsSpin);
  showCustomRules();

  connect(limitBox, &QCheckBox::toggled, this, &ExportLimitsBox::changed);
  connect(limitSpin, &QSpinBox::valueChanged, this, &ExportLimitsBox::changed);
  connect(checkCombo, &QComboBox::currentIndexChanged, this, [this] {
    showCustomRules();
    Q_EMIT changed();
  });
  connect(playsSpin, &QSpinBox::valueChanged, this, &ExportLimitsBox::changed);
}

void ExportLimitsBox::showCustomRules() {
  customRules->setVisible(checkCombo->currentIndex() == static_cast<int>(editor::AdCheckChoice::Custom));
}

editor::ExportPreferences ExportLimitsBox::preferences() const {
  editor::ExportPreferences p = held;
  p.sizeLimitOn = limitBox->isChecked();
  p.sizeLimitKb = limitSpin->value();
  p.adCheck = static_cast<editor::AdCheckChoice>(checkCombo->currentIndex());
  p.plays = playsSpin->value();
  p.customMaxKb = customKb->value();
  p.customMaxSeconds = customSeconds->value();
  p.customMaxPlays = customPlays->value();
  p.customMaxFps = customFps->value();
  return p;
}

void ExportLimitsBox::setPreferences(const editor::ExportPreferences& p) {
  held = p;
  {
    const QSignalBlocker blocks[] = {QSignalBlocker(limitBox),      QSignalBlocker(limitSpin),   QSignalBlocker(checkCombo),
                                     QSignalBlocker(playsSpin),     QSignalBlocker(customKb),    QSignalBlocker(customSeconds),
                                     QSignalBlocker(customPlays),   QSignalBlocker(customFps)};
    limitBox->setChecked(p.sizeLimitOn);
    limitSpin->setEnabled(p.sizeLimitOn);
    limitSpin->setValue(p.sizeLimitKb);
    checkCombo->setCurrentIndex(static_cast<int>(p.adCheck));
    playsSpin->setValue(p.plays);
    customKb->setValue(p.customMaxKb);
    customSeconds->setValue(p.customMaxSeconds);
    customPlays->setValue(p.customMaxPlays);
    customFps->setValue(p.customMaxFps);
    showCustomRules();
  }
  Q_EMIT shown();
}

}  // namespace zefra::app
