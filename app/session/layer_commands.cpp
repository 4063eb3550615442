#include "session/layer_commands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>
#include <utility>

#include "session/editor_session.h"

namespace zefra::app {

namespace {

constexpr int kPicturesShapesPage = 1;
constexpr int kTextPage = 2;

QString titleOf(editor::SlotKind kind, int slot) { return QString::fromStdString(editor::layerTitle(kind, slot)); }

}  // namespace

LayerCommands::LayerCommands(EditorSession& session, QTabWidget& pages, QWidget& window)
    : QObject(&window), session(session), pages(pages), window(window) {
  copyLayer = makeAction("MCopyLayer", tr("Copy Layer to &All Frames"));
  connect(copyLayer, &QAction::triggered, this, &LayerCommands::copyLayerToAllFrames);
  copyStyleAction = makeAction("MCopyStyle", tr("Copy St&yle"));
  connect(copyStyleAction, &QAction::triggered, this, &LayerCommands::copyStyle);
  pasteStyleAction = makeAction("MPasteStyle", tr("&Paste Style"));
  connect(pasteStyleAction, &QAction::triggered, this, &LayerCommands::pasteStyle);
  forward = makeAction("MBringForward", tr("Bring &Forward"));
  forward->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
  connect(forward, &QAction::triggered, this, [this] { swap(true); });
  backward = makeAction("MSendBackward", tr("Send &Backward"));
  backward->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketLeft));
  connect(backward, &QAction::triggered, this, [this] { swap(false); });

  const std::pair<const char*, editor::SlotKind> lists[] = {
      {"CBox3", editor::SlotKind::Text}, {"CBox7", editor::SlotKind::Shape}, {"CBox6", editor::SlotKind::Picture}};
  for (const auto& [name, kind] : lists) {
    if (auto* list = pages.findChild<QComboBox*>(QLatin1String(name))) addContextMenu(list, kind);
  }
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { noticeFocus(now); });
  connect(&pages, &QTabWidget::currentChanged, this, &LayerCommands::refresh);
  connect(&session, &EditorSession::changed, this, &LayerCommands::refresh);
  refresh();
}

QAction* LayerCommands::makeAction(const char* name, const QString& text) {
  auto* action = new QAction(text, &window);
  action->setObjectName(QLatin1String(name));
  action->setShortcutContext(Qt::WindowShortcut);
  window.addAction(action);
  return action;
}

QList<QAction*> LayerCommands::actions() const { return {copyLayer, copyStyleAction, pasteStyleAction, forward, backward}; }

void LayerCommands::addContextMenu(QComboBox* list, editor::SlotKind kind) {
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this, [this, list, kind](const QPoint& at) {
    lastKind = kind;
    refresh();
    QMenu menu(list);
    menu.addAction(copyLayer);
    if (kind == editor::SlotKind::Text) {
      menu.addAction(copyStyleAction);
      menu.addAction(pasteStyleAction);
    }
    menu.addSeparator();
    menu.addAction(forward);
    menu.addAction(backward);
    menu.exec(list->mapToGlobal(at));
  });
}

void LayerCommands::setSelectionSource(std::function<std::optional<editor::SlotKind>()> source) {
  canvasSelection = std::move(source);
  refresh();
}

editor::SlotKind LayerCommands::activeKind() const {
  const int page = pages.currentIndex();
  if (page == kTextPage) return editor::SlotKind::Text;
  const std::optional<editor::SlotKind> selected = canvasSelection ? canvasSelection() : std::nullopt;
  const bool onPicturesShapes = page == kPicturesShapesPage;
  if (selected && !(onPicturesShapes && *selected == editor::SlotKind::Text)) return *selected;
  if (onPicturesShapes && lastKind == editor::SlotKind::Text) return editor::SlotKind::Shape;
  return lastKind;
}

void LayerCommands::noticeFocus(QWidget* now) {
  for (QWidget* w = now; w && w != &window; w = w->parentWidget()) {
    const QString name = w->objectName();
    std::optional<editor::SlotKind> kind;
    if (name == QLatin1String("GroupShapes")) kind = editor::SlotKind::Shape;
    if (name == QLatin1String("GroupPictures")) kind = editor::SlotKind::Picture;
    if (name == QLatin1String("Text3DPage")) kind = editor::SlotKind::Text;
    if (kind) {
      lastKind = *kind;
      break;
    }
  }
  refresh();
}

void LayerCommands::refresh() {
  const model::LabelProject& project = session.project();
  const editor::SlotKind kind = activeKind();
  const int slot = editor::selectedSlot(project, kind);
  const QString layer = titleOf(kind, slot);
  copyLayer->setEnabled(project.frameCount > 1);
  copyLayer->setToolTip(tr("Copy %1 with everything it holds to every frame (the selected frames when several are)")
                            .arg(layer));
  const QString text = titleOf(editor::SlotKind::Text, project.currentText);
  copyStyleAction->setToolTip(tr("Copy the font, colours, 3D look, gradient and texture of %1").arg(text));
  pasteStyleAction->setEnabled(copiedStyle.has_value());
  pasteStyleAction->setToolTip(tr("Give %1 the copied style; its text and place stay").arg(text));
  forward->setEnabled(slot < model::kSlots);
  forward->setToolTip(slot < model::kSlots ? tr("Swap %1 with %2, which lies over it").arg(layer, titleOf(kind, slot + 1))
                                           : tr("%1 lies over the others of its kind").arg(layer));
  backward->setEnabled(slot > 1);
  backward->setToolTip(slot > 1 ? tr("Swap %1 with %2, which lies under it").arg(layer, titleOf(kind, slot - 1))
                                : tr("%1 lies under the others of its kind").arg(layer));
}

void LayerCommands::copyLayerToAllFrames() {
  const editor::SlotKind kind = activeKind();
  session.apply([kind](editor::Editor& e) { return editor::copyLayerToFrames(e, kind, editor::layerCopyTargets(e)); });
}

void LayerCommands::copyStyle() {
  copiedStyle = editor::copyTextStyle(session.project());
  refresh();
}

void LayerCommands::pasteStyle() {
  if (!copiedStyle) return;
  const editor::TextStyle style = *copiedStyle;
  session.apply([&style](editor::Editor& e) { return editor::pasteTextStyle(e, style); });
}

void LayerCommands::swap(bool up) {
  const editor::SlotKind kind = activeKind();
  session.apply([kind, up](editor::Editor& e) { return up ? editor::bringForward(e, kind) : editor::sendBackward(e, kind); });
}

}  // namespace zefra::app
