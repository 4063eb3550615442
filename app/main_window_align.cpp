// The Align menu: placing the selected object against the label.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "editor/alignment.h"
#include "main_window.h"
#include "widgets/canvas_editing.h"

namespace zefra::app {

void MainWindow::buildAlignMenu() {
  struct Item {
    const char* objectName;
    QString caption;
    editor::Alignment alignment;
  };
  const Item items[] = {
      {"AlignCentreHorizontally", tr("Centre &Horizontally"), editor::Alignment::CentreHorizontally},
      {"AlignCentreVertically", tr("Centre &Vertically"), editor::Alignment::CentreVertically},
      {"AlignLeft", tr("Align &Left"), editor::Alignment::Left},
      {"AlignRight", tr("Align &Right"), editor::Alignment::Right},
      {"AlignTop", tr("Align &Top"), editor::Alignment::Top},
      {"AlignBottom", tr("Align &Bottom"), editor::Alignment::Bottom},
  };
  auto* menu = new QMenu(tr("&Align"), this);
  menu->setObjectName(QStringLiteral("AlignMenu"));
  // Before Help, which stays the last menu.
  QAction* help = nullptr;
  if (auto* helpMenu = menuBar()->findChild<QMenu*>(QStringLiteral("Help1"))) help = helpMenu->menuAction();
  menuBar()->insertMenu(help, menu);

  for (const Item& item : items) {
    QAction* action = makeAction(item.objectName, item.caption,
                                 tr("%1: the selected object against the label").arg(QString(item.caption).remove('&')),
                                 QString(), 0);
    const editor::Alignment alignment = item.alignment;
    connect(action, &QAction::triggered, this, [this, alignment] { canvasEditor->align(alignment); });
    menu->addAction(action);
    if (alignment == editor::Alignment::CentreVertically) menu->addSeparator();
  }
  const auto follow = [this, menu] {
    const bool enabled = canvasEditor->canAlign();
    for (QAction* action : menu->actions()) action->setEnabled(enabled);
  };
  connect(canvasEditor, &CanvasEditing::selectionChanged, this, follow);
  follow();
}

}  // namespace zefra::app
