#include "dialogs/recovery_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "editor/editor.h"

namespace zefra::app {

RecoveryDialog::RecoveryDialog(std::vector<editor::RecoveryCopy> copies, Discard discard, QWidget* parent)
    : QDialog(parent), copies(std::move(copies)), discard(std::move(discard)) {
  setObjectName(QStringLiteral("RecoveryDialog"));
  setWindowTitle(tr("Recover Unsaved Work"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(this->copies.size() == 1
                               ? tr("Zefra ended before this project was saved. Recover it to go on where you left "
                                    "off, or discard the changes.")
                               : tr("Zefra ended before these projects were saved. Recover one to go on where you "
                                    "left off, or discard the changes you no longer need."),
                           this);
  intro->setWordWrap(true);
  auto* caption = new QLabel(tr("&Unsaved projects:"), this);
  list = new QListWidget(this);
  list->setObjectName(QStringLiteral("RecoveryList"));
  list->setAccessibleName(tr("Unsaved projects"));
  caption->setBuddy(list);
  for (const editor::RecoveryCopy& copy : this->copies) {
    auto* item = new QListWidgetItem(entryText(copy), list);
    QStringList details{copy.info.frames == 1 ? tr("1 frame") : tr("%1 frames").arg(copy.info.frames)};
    QStringList pictures;
    for (const std::string& name : copy.info.pictures) pictures << QString::fromStdString(name);
    if (!pictures.isEmpty()) details << tr("pictures: %1").arg(pictures.join(QStringLiteral(", ")));
    item->setToolTip(details.join(QStringLiteral("; ")));
    item->setData(Qt::AccessibleDescriptionRole, item->toolTip());
  }
  list->setCurrentRow(0);

  auto* buttons = new QDialogButtonBox(this);
  recoverButton = buttons->addButton(tr("&Recover"), QDialogButtonBox::AcceptRole);
  recoverButton->setObjectName(QStringLiteral("RecoverButton"));
  recoverButton->setToolTip(tr("Open the chosen project with its unsaved changes"));
  recoverButton->setDefault(true);
  discardButton = buttons->addButton(tr("&Discard"), QDialogButtonBox::DestructiveRole);
  discardButton->setObjectName(QStringLiteral("DiscardButton"));
  discardButton->setToolTip(tr("Delete the unsaved changes of the chosen project"));
  connect(recoverButton, &QPushButton::clicked, this, &RecoveryDialog::recoverSelected);
  connect(discardButton, &QPushButton::clicked, this, &RecoveryDialog::discardSelected);
  connect(list, &QListWidget::currentRowChanged, this, &RecoveryDialog::updateButtons);
  connect(list, &QListWidget::itemActivated, this, &RecoveryDialog::recoverSelected);

  layout->addWidget(intro);
  layout->addWidget(caption);
  layout->addWidget(list);
  layout->addWidget(buttons);
  resize(560, 300);
  updateButtons();
}

QString RecoveryDialog::entryText(const editor::RecoveryCopy& copy) {
  const QString when = QDateTime::fromSecsSinceEpoch(copy.info.savedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  if (copy.info.originalPath.empty()) {
    return tr("%1 (never saved), %2").arg(QString::fromStdString(std::string(editor::kUntitledCaption)), when);
  }
  const QFileInfo file(QString::fromStdString(copy.info.originalPath));
  return tr("%1 in %2, %3").arg(file.fileName(), file.path(), when);
}

std::optional<editor::RecoveryCopy> RecoveryDialog::takeChosen() { return std::exchange(chosen, std::nullopt); }

void RecoveryDialog::recoverSelected() {
  const int row = list->currentRow();
  if (row < 0) return;
  chosen = copies[static_cast<std::size_t>(row)];
  accept();
}

void RecoveryDialog::discardSelected() {
  const int row = list->currentRow();
  if (row < 0) return;
  discard(copies[static_cast<std::size_t>(row)]);
  copies.erase(copies.begin() + row);
  delete list->takeItem(row);
  if (copies.empty()) {
    reject();
    return;
  }
  list->setCurrentRow(std::min(row, list->count() - 1));
  updateButtons();
}

void RecoveryDialog::updateButtons() {
  const bool any = list->currentRow() >= 0;
  recoverButton->setEnabled(any);
  discardButton->setEnabled(any);
}

}  // namespace zefra::app
