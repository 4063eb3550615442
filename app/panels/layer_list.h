#pragma once
// The slot lists of the layer pages ("Select text layer", "Select picture layer", "Select
// shape layer"): each item names what its slot holds in the current frame ("Text String 1:
// Fresh bread daily", "Picture 2: logo.bmp", "Shape 1: Rounded rectangle", "Shape 4:
// (empty)"), and the hint says in which order the layers are drawn.

#include <QString>

#include "editor/editor.h"
#include "model/label_project.h"

class QComboBox;
class QWidget;

namespace zefra::app {

// A slot list of `kind` with ten items, named `name`, its hint and accessible name `hint`
// followed in the hint and the accessible description by the drawing order.
QComboBox* makeLayerList(QWidget* parent, const char* name, const QString& hint, editor::SlotKind kind);

// The caption of slot `slot` of `kind` as `record` holds it.
QString layerItemText(const model::FrameRecord& record, editor::SlotKind kind, int slot);

// Names the items after the current frame and selects the selected slot, with the list's
// signals blocked.
void showLayers(QComboBox& list, const model::LabelProject& project, editor::SlotKind kind);

// Which layers lie over which, in words.
QString drawingOrderText();

}  // namespace zefra::app
