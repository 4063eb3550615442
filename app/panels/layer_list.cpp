#include "panels/layer_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QSignalBlocker>

#include "editor/layer_tools.h"
#include "panels/record_text.h"

namespace zefra::app {

namespace {

QString translate(const char* text) { return QCoreApplication::translate("LayerList", text); }

}  // namespace

QString drawingOrderText() {
  return translate(
      "Drawing order, from the bottom: the background and its gradient; then for each number from 1 to 10 "
      "the shape, the picture and the text string of that number (Shape 1, Picture 1, Text String 1, "
      "Shape 2, ...); the border on top of all. So a layer lies over every layer of a lower number: "
      "Shape 2 covers Text String 1. Bring Forward (Ctrl+]) and Send Backward (Ctrl+[) swap a layer with "
      "the next or previous one of its kind.");
}

QComboBox* makeLayerList(QWidget* parent, const char* name, const QString& hint, editor::SlotKind kind) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QLatin1String(name));
  list->setToolTip(hint + QStringLiteral("\n\n") + drawingOrderText());
  list->setAccessibleName(hint);
  list->setAccessibleDescription(drawingOrderText());
  // The names grow with what the layers hold; the list keeps the width the page gives it
  // and its popup shows long names whole.
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(12);
  list->view()->setTextElideMode(Qt::ElideRight);
  for (int slot = 1; slot <= model::kSlots; ++slot) {
    list->addItem(QString::fromStdString(editor::layerTitle(kind, slot)));
  }
  return list;
}

QString layerItemText(const model::FrameRecord& record, editor::SlotKind kind, int slot) {
  const editor::LayerName name = editor::layerName(record, kind, slot);
  QString content;
  if (name.empty()) {
    content = translate("(empty)");
  } else if (kind == editor::SlotKind::Text) {
    content = fromRecordText(name.content);
    if (name.shortened) content += QChar(0x2026);
  } else {
    content = QString::fromStdString(name.content);
  }
  return translate("%1: %2").arg(QString::fromStdString(name.title), content);
}

void showLayers(QComboBox& list, const model::LabelProject& project, editor::SlotKind kind) {
  const QSignalBlocker block(&list);
  for (int slot = 1; slot <= model::kSlots && slot <= list.count(); ++slot) {
    const QString text = layerItemText(project.current(), kind, slot);
    if (list.itemText(slot - 1) != text) list.setItemText(slot - 1, text);
  }
  list.setCurrentIndex(editor::selectedSlot(project, kind) - 1);
}

}  // namespace zefra::app
