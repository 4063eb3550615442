// The layer commands in the Edit menu (and in the slot lists' context menus).
#include <QMenu>

#include "main_window.h"
#include "session/layer_commands.h"
#include "widgets/canvas_editing.h"

namespace zefra::app {

void MainWindow::buildLayerCommands() {
  layerCommands = new LayerCommands(*editing, *pages, *this);
  QMenu* edit = findChild<QMenu*>(QStringLiteral("Edit1"));
  edit->addSeparator();
  edit->addActions(layerCommands->actions());
  // A click on the label may select another object without changing any slot.
  connect(edit, &QMenu::aboutToShow, layerCommands, &LayerCommands::refresh);
  // The canvas editing is built later; until then nothing is selected on it.
  layerCommands->setSelectionSource([this]() -> std::optional<editor::SlotKind> {
    const std::optional<CanvasEditing::Selection> selected = canvasEditor ? canvasEditor->selection() : std::nullopt;
    if (!selected) return std::nullopt;
    return selected->kind;
  });
}

}  // namespace zefra::app
