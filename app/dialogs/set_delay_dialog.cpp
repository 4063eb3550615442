#include "dialogs/set_delay_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zefra::app {

SetDelayDialog::SetDelayDialog(int delayMs, int minimum, int maximum, int frames, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SetDelayDialog"));
  setWindowTitle(tr("Set Delay"));
  delaySpin = new QSpinBox(this);
  delaySpin->setObjectName(QStringLiteral("SetDelaySpin"));
  delaySpin->setRange(minimum, maximum);
  delaySpin->setValue(delayMs);
  delaySpin->setToolTip(frames > 1 ? tr("How long each of the %1 selected frames shows").arg(frames)
                                   : tr("How long the selected frame shows"));
  auto* caption = new QLabel(tr("&Delay time, ms:"), this);
  caption->setBuddy(delaySpin);
  auto* form = new QFormLayout;
  form->addRow(caption, delaySpin);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  delaySpin->selectAll();
}

int SetDelayDialog::delay() const { return delaySpin->value(); }

}  // namespace zefra::app
