#include "panels/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editor/panel_rules.h"
#include "session/editor_session.h"
#include "widgets/color_button.h"

namespace zefra::app {

using editor::Field;

GeneralPage::GeneralPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent)
    : PropertyPage(session, dialogs, parent) {
  setObjectName(QStringLiteral("GeneralPage"));

  // --- General Settings
  QGroupBox* general = group("GroupGeneral", tr("General Settings"));
  widthEdit = sizeEdit("CWidth", tr("Width, pixels"));
  heightEdit = sizeEdit("CHeight", tr("Height, pixels"));
  delayEdit = sizeEdit("CDelay", tr("Delay time, ms"));
  ColorButton* webSite = bindColor(Field::WebSiteColor, tr("WebSite Color"));
  ColorButton* frame = bindColor(Field::FrameColor, tr("Frame Color"));
  auto* generalGrid = new QGridLayout(general);
  generalGrid->addWidget(caption("L1", tr("W:"), widthEdit, false), 0, 0);
  generalGrid->addWidget(widthEdit, 0, 1);
  generalGrid->addWidget(caption("L2", tr("H:"), heightEdit, false), 0, 2);
  generalGrid->addWidget(heightEdit, 0, 3);
  generalGrid->addWidget(caption("L5", tr("Delay time, ms:"), delayEdit, true), 1, 0, 1, 3);
  generalGrid->addWidget(delayEdit, 1, 3);
  generalGrid->addWidget(caption("L3", tr("WebSite Color:"), webSite, false), 2, 0, 1, 3);
  generalGrid->addWidget(webSite, 2, 3);
  generalGrid->addWidget(caption("L4", tr("Frame Color:"), frame, true), 3, 0, 1, 3);
  generalGrid->addWidget(frame, 3, 3);
  generalGrid->setRowStretch(4, 1);

  // --- Borders
  QGroupBox* borders = group("GroupBorders", tr("Borders"));
  QCheckBox* bordersOn = bindFlag(Field::BordersOn, tr("Add Borders"));
  markPerFrame(bordersOn);
  QComboBox* inner = bindChoice(Field::BorderInnerStyle, tr("Border Inner Style"));
  QComboBox* outer = bindChoice(Field::BorderOuterStyle, tr("Border Outer Style"));
  QSpinBox* bevel = bindSpin(Field::BevelWidth, tr("Bevel width, pixels"));
  QSpinBox* border = bindSpin(Field::BorderWidth, tr("Border width, pixels"));
  ColorButton* borderColor = bindColor(Field::BorderColor, tr("Border Color"));
  ColorButton* highlight = bindColor(Field::HighlightColor, tr("Bevel Highlight Color"));
  ColorButton* shadow = bindColor(Field::ShadowColor, tr("Bevel Shadow Color"));
  QLabel* labels[] = {caption("L21", tr("Border Inner Style:"), inner, true),
                      caption("L22", tr("Border Outer Style:"), outer, true),
                      caption("L23", tr("Bevel:"), bevel, true),
                      caption("L28", tr("Border:"), border, true),
                      caption("L24", tr("Color:"), borderColor, true),
                      caption("L26", tr("Highlight:"), highlight, true),
                      caption("L27", tr("Shadow:"), shadow, true)};
  auto* borderGrid = new QGridLayout(borders);
  borderGrid->addWidget(bordersOn, 0, 0, 1, 4);
  borderGrid->addWidget(labels[0], 1, 0, 1, 2);
  borderGrid->addWidget(inner, 1, 2, 1, 2);
  borderGrid->addWidget(labels[1], 2, 0, 1, 2);
  borderGrid->addWidget(outer, 2, 2, 1, 2);
  borderGrid->addWidget(labels[2], 3, 0);
  borderGrid->addWidget(bevel, 3, 1);
  borderGrid->addWidget(labels[3], 3, 2);
  borderGrid->addWidget(border, 3, 3);
  borderGrid->addWidget(labels[4], 4, 0);
  borderGrid->addWidget(borderColor, 4, 1);
  borderGrid->addWidget(labels[5], 4, 2);
  borderGrid->addWidget(highlight, 4, 3);
  borderGrid->addWidget(labels[6], 5, 2);
  borderGrid->addWidget(shadow, 5, 3);
  borderGrid->setRowStretch(6, 1);
  borderControls = {inner, outer, bevel, border, borderColor, highlight, shadow};
  for (QLabel* label : labels) borderControls.push_back(label);

  // --- Background Gradient
  QGroupBox* gradient = group("GroupGradient", tr("Background Gradient"));
  QCheckBox* gradientOn = bindFlag(Field::GradientOn, tr("Add Gradient"));
  markPerFrame(gradientOn);
  QComboBox* style = bindChoice(Field::GradientStyle, tr("Background gradient style"));
  ColorButton* color1 = bindColor(Field::GradientColor1, tr("Gradient Color1"));
  ColorButton* color2 = bindColor(Field::GradientColor2, tr("Gradient Color2"));
  QLabel* l6 = caption("L6", tr("Gradient Color1:"), color1, true);
  QLabel* l7 = caption("L7", tr("Gradient Color2:"), color2, true);
  auto* gradientGrid = new QGridLayout(gradient);
  gradientGrid->addWidget(gradientOn, 0, 0, 1, 2);
  gradientGrid->addWidget(style, 1, 0, 1, 2);
  gradientGrid->addWidget(l6, 2, 0);
  gradientGrid->addWidget(color1, 2, 1);
  gradientGrid->addWidget(l7, 3, 0);
  gradientGrid->addWidget(color2, 3, 1);
  gradientGrid->setRowStretch(4, 1);
  gradientControls = {style, color1, color2, l6, l7};

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 4, 4, 4);
  row->addWidget(general, 3);
  row->addWidget(borders, 4);
  row->addWidget(gradient, 3);

  // Reading order: down each group, the groups from left to right.
  QWidget* order[] = {widthEdit, heightEdit, delayEdit, webSite, frame, bordersOn, inner, outer, bevel, border,
                      borderColor, highlight, shadow, gradientOn, style, color1, color2};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

QLineEdit* GeneralPage::sizeEdit(const char* name, const QString& hint) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QLatin1String(name));
  edit->setToolTip(hint);
  edit->setAccessibleDescription(hint);
  edit->setMaxLength(5);
  edit->setMaximumWidth(60);
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, [this, edit] { sizeEdited(edit); });
  connect(edit, &QLineEdit::editingFinished, this, [this, edit] { sizeLeft(edit); });
  return edit;
}

bool GeneralPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == widthEdit || watched == heightEdit || watched == delayEdit)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys that type nothing (arrows, Delete, Enter) keep their meaning.
    if (!text.isEmpty() && text.at(0).isPrint() && !editor::acceptedSizeKey(text.toUcs4().value(0))) return true;
  }
  return PropertyPage::eventFilter(watched, event);
}

void GeneralPage::sizeEdited(QLineEdit* edit) {
  const std::string text = edit->text().toStdString();
  if (edit == delayEdit) {
    session.setField(Field::Delay, editor::delayFromText(text));
    showStoredWhenCut(edit, Field::Delay);
    return;
  }
  const bool width = edit == widthEdit;
  const int side = editor::labelSideFromText(text);
  QWidget* mainWindow = window();
  const QWidget* panel = mainWindow->findChild<QWidget*>(QStringLiteral("Panel1"));
  if (panel && mainWindow->screen()) {
    // The window may grow to show a larger label, but not past the desktop's work area.
    const QRect frame = mainWindow->frameGeometry();
    const QRect desk = mainWindow->screen()->availableGeometry();
    const editor::LabelFit fit =
        width ? editor::fitLabelSide(editor::Axis::Width, side, panel->width(), frame.x(), frame.width(), desk.right() + 1)
              : editor::fitLabelSide(editor::Axis::Height, side, panel->height(), frame.y(), frame.height(),
                                     desk.bottom() + 1);
    if (!fit.fits) {
      dialogs.invalidEntry(this, QString::fromStdString(fit.message));
      return;
    }
  }
  session.setField(width ? Field::Width : Field::Height, side);
  showStoredWhenCut(edit, width ? Field::Width : Field::Height);
}

// A number typed beyond what the field can hold is stored as the largest it takes; the
// field then shows that number rather than the one typed, so it never shows a value the
// project does not have. A number below the minimum is left while it may still grow.
void GeneralPage::showStoredWhenCut(QLineEdit* edit, Field field) {
  bool isNumber = false;
  const qlonglong typed = edit->text().toLongLong(&isNumber);
  const long stored = editor::fieldNumber(session.project(), field);
  if (isNumber && typed > stored) {
    const QSignalBlocker blocker(edit);
    edit->setText(QString::number(stored));
  }
}

void GeneralPage::sizeLeft(QLineEdit* edit) {
  const std::string text = edit->text().toStdString();
  const std::string settled = edit == delayEdit ? editor::delayTextOnLeave(text) : editor::sideTextOnLeave(text);
  session.closeMerge();
  if (settled == text) return;
  edit->setText(QString::fromStdString(settled));
  sizeEdited(edit);
  session.closeMerge();
}

int GeneralPage::textMeans(const QLineEdit* edit) const {
  const std::string text = edit->text().toStdString();
  return edit == delayEdit ? editor::delayFromText(text) : editor::labelSideFromText(text);
}

void GeneralPage::fillPage() {
  const model::FrameRecord& record = session.project().current();
  const std::pair<QLineEdit*, int> sizes[] = {{widthEdit, record.width}, {heightEdit, record.height}, {delayEdit, record.delayMs}};
  for (const auto& [edit, value] : sizes) {
    // The field being typed in keeps the user's text until it is left ("0" on the way to
    // "05" stays), unless the project now holds another number (an undo from the keyboard).
    if (edit->hasFocus() && textMeans(edit) == value) continue;
    const QSignalBlocker blocker(edit);
    edit->setText(QString::number(value));
  }
  switchControls(borderControls, record.bordersOn != 0);
  switchControls(gradientControls, record.gradientOn != 0);
}

}  // namespace zefra::app
