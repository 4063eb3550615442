#include "dialogs/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zefra::app {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TfrmAbout"));
  setWindowTitle(tr("About Zefra"));
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(QStringLiteral("<h2>Zefra %1</h2>").arg(QLatin1String(ZEFRA_VERSION)), this);
  title->setAlignment(Qt::AlignCenter);
  auto* text = new QLabel(tr("Animated GIF banner editor.<br>"
                             "Compose frames from colours, gradients, borders, shapes, pictures "
                             "and 3D text, and export them as one optimised animated GIF.<br><br>"
                             "Licensed under the GNU General Public License, version 3 or later."),
                          this);
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignCenter);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(title);
  layout->addWidget(text);
  layout->addWidget(buttons);
  setFixedWidth(360);
}

}  // namespace zefra::app
