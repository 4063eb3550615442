#include "dialogs/tween_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "model/label_project.h"

namespace zefra::app {

namespace {

QLabel* buddyLabel(const QString& caption, QWidget* control, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(control);
  return label;
}

}  // namespace

TweenDialog::TweenDialog(int currentFrame, int frameCount, QWidget* parent)
    : QDialog(parent), current(currentFrame), frames(frameCount) {
  setObjectName(QStringLiteral("TweenDialog"));
  setWindowTitle(tr("Tween Frames"));

  countSpin = new QSpinBox(this);
  countSpin->setObjectName(QStringLiteral("TweenCount"));
  countSpin->setToolTip(tr("How many frames to make between this frame and the next"));
  easingBox = new QComboBox(this);
  easingBox->setObjectName(QStringLiteral("TweenEasing"));
  for (const std::string_view caption : editor::kEasingCaptions) {
    easingBox->addItem(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
  }
  easingBox->setToolTip(tr("Even steps, or steps that start slowly, end slowly, or both"));
  keepDelaysBox = new QCheckBox(tr("Keep delays"), this);
  keepDelaysBox->setObjectName(QStringLiteral("TweenKeepDelays"));
  keepDelaysBox->setChecked(true);
  keepDelaysBox->setToolTip(tr("The new frames take this frame's delay instead of delays between the two frames'"));
  replaceBox = new QCheckBox(tr("Replace frames between"), this);
  replaceBox->setObjectName(QStringLiteral("TweenReplace"));
  replaceBox->setToolTip(tr("Re-tween: the frames between this frame and the frame below are replaced by new ones"));
  toFrameSpin = new QSpinBox(this);
  toFrameSpin->setObjectName(QStringLiteral("TweenToFrame"));
  toFrameSpin->setToolTip(tr("The later frame the new frames lead to"));

  // Replacing needs at least one frame between this one and a later one.
  const bool canReplace = current + 2 <= frames;
  replaceBox->setEnabled(canReplace);
  toFrameSpin->setRange(std::min(current + 2, frames), frames);
  toFrameSpin->setValue(frames);
  toFrameSpin->setEnabled(false);

  auto* form = new QFormLayout;
  form->addRow(buddyLabel(tr("Frames to insert:"), countSpin, this), countSpin);
  form->addRow(buddyLabel(tr("Easing:"), easingBox, this), easingBox);
  form->addRow(keepDelaysBox);
  form->addRow(replaceBox);
  form->addRow(buddyLabel(tr("To frame:"), toFrameSpin, this), toFrameSpin);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  // Re-tweening offers as many frames as it replaces; the room follows what goes away.
  const auto matchReplaced = [this] {
    updateRoom();
    if (replaceBox->isChecked()) countSpin->setValue(std::max(1, toFrameSpin->value() - current - 1));
  };
  connect(replaceBox, &QCheckBox::toggled, this, [this, matchReplaced](bool on) {
    toFrameSpin->setEnabled(on);
    matchReplaced();
  });
  connect(toFrameSpin, &QSpinBox::valueChanged, this, matchReplaced);
  updateRoom();
  countSpin->setValue(std::min(4, countSpin->maximum()));
}

void TweenDialog::updateRoom() {
  const int replaced = replaceBox->isChecked() ? toFrameSpin->value() - current - 1 : 0;
  countSpin->setRange(1, std::max(1, model::kMaxFrames - frames + replaced));
}

void TweenDialog::setOptions(const editor::TweenOptions& options) {
  if (options.toFrame > current + 1 && options.toFrame <= frames && replaceBox->isEnabled()) {
    toFrameSpin->setValue(options.toFrame);
    replaceBox->setChecked(true);
  }
  if (options.count >= 1) countSpin->setValue(std::min(options.count, countSpin->maximum()));
  easingBox->setCurrentIndex(static_cast<int>(options.easing));
  keepDelaysBox->setChecked(options.keepDelays);
}

editor::TweenOptions TweenDialog::options() const {
  editor::TweenOptions chosen;
  chosen.count = countSpin->value();
  chosen.easing = static_cast<editor::Easing>(easingBox->currentIndex());
  chosen.keepDelays = keepDelaysBox->isChecked();
  chosen.toFrame = replaceBox->isChecked() ? toFrameSpin->value() : 0;
  return chosen;
}

}  // namespace zefra::app
