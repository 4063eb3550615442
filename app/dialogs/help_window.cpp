#include "dialogs/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zefra::app {

HelpWindow::HelpWindow(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder(helpFolder), browser(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(tr("Zefra Help"));
  browser->setObjectName(QStringLiteral("HelpBrowser"));
  browser->setOpenExternalLinks(true);
  browser->setSearchPaths({folder});

  auto* contents = new QPushButton(tr("&Contents"), this);
  auto* back = new QPushButton(tr("&Back"), this);
  back->setEnabled(false);
  connect(contents, &QPushButton::clicked, this, [this] { showContext(0); });
  connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
  connect(browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser);
  resize(640, 520);
}

QString HelpWindow::pageOfContext(int context) {
  switch (context) {
    case 1: return QStringLiteral("general.html");
    case 2: return QStringLiteral("pictures_shapes.html");
    case 3: return QStringLiteral("text3d.html");
    case 4: return QStringLiteral("gif_properties.html");
    default: return QStringLiteral("index.html");
  }
}

void HelpWindow::showContext(int context) {
  const QString page = QDir(folder).filePath(pageOfContext(context));
  if (folder.isEmpty() || !QFileInfo::exists(page)) {
    browser->setHtml(tr("<h2>Help is not installed</h2><p>The help pages were not found beside "
                        "the program (folder \"Help\").</p>"));
  } else {
    browser->setSource(QUrl::fromLocalFile(page));
  }
  show();
  raise();
  activateWindow();
}

QString HelpWindow::currentPage() const { return QFileInfo(browser->source().toLocalFile()).fileName(); }

}  // namespace zefra::app
