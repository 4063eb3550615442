#include "panels/text3d_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editor/panel_edits.h"
#include "panels/layer_list.h"
#include "panels/record_text.h"
#include "session/editor_session.h"
#include "widgets/color_button.h"

namespace zefra::app {

using editor::Field;

Text3DPage::Text3DPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent)
    : PropertyPage(session, dialogs, parent) {
  setObjectName(QStringLiteral("Text3DPage"));

  // --- Text Properties
  QGroupBox* properties = group("GroupText", tr("Text Properties"));
  textList = makeLayerList(this, "CBox3", tr("Select text layer"), editor::SlotKind::Text);
  connect(textList, &QComboBox::currentIndexChanged, this, [this](int index) {
    this->session.apply([index](editor::Editor& e) { return editor::selectSlotSeeding(e, editor::SlotKind::Text, index + 1); });
  });
  textEdit = new QLineEdit(this);
  textEdit->setObjectName(QStringLiteral("ETxt"));
  textEdit->setToolTip(tr("Enter text"));
  textEdit->setAccessibleName(tr("Enter text"));
  textEdit->setMaxLength(static_cast<int>(model::String255::kCapacity));
  connect(textEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::string bytes = toRecordText(text);
    this->session.apply([&bytes](editor::Editor& e) { return e.setField(Field::Text, bytes); });
  });
  connect(textEdit, &QLineEdit::editingFinished, this, [this] { this->session.closeMerge(); });
  QSpinBox* x = bindSpin(Field::TextX, tr("Horizontal coordinate"));
  QSpinBox* y = bindSpin(Field::TextY, tr("Vertical coordinate"));
  x->setAccessibleName(tr("Text X"));
  y->setAccessibleName(tr("Text Y"));
  auto* font = new QPushButton(tr("Font..."), this);
  font->setObjectName(QStringLiteral("RZB1"));
  markPerFrame(font);
  connect(font, &QPushButton::clicked, this, &Text3DPage::chooseFont);
  ColorButton* fontColor = bindColor(Field::FontColor, tr("Font color"));
  fontColor->setAccessibleName(tr("Font color"));
  QSpinBox* size = bindSpin(Field::FontSize, tr("Font size"));
  size->setAccessibleName(tr("Font size"));
  auto* propertiesGrid = new QGridLayout(properties);
  propertiesGrid->addWidget(textList, 0, 0, 1, 4);
  propertiesGrid->addWidget(textEdit, 1, 0, 1, 4);
  propertiesGrid->addWidget(caption("L11", tr("X:"), x, true), 2, 0);
  propertiesGrid->addWidget(x, 2, 1);
  propertiesGrid->addWidget(caption("L12", tr("Y:"), y, true), 2, 2);
  propertiesGrid->addWidget(y, 2, 3);
  propertiesGrid->addWidget(font, 3, 0, 1, 2);
  propertiesGrid->addWidget(fontColor, 3, 2);
  propertiesGrid->addWidget(size, 3, 3);
  propertiesGrid->setRowStretch(4, 1);

  // --- 3D Font Properties
  QGroupBox* look = group("Group3DFont", tr("3D Font Properties"));
  QSpinBox* angle = bindSpin(Field::ViewAngle, tr("Direction from where you look at the text"));
  QSpinBox* shadow = bindSpin(Field::ShadowDarkness, tr("Darkness of the shadow"));
  QSpinBox* depth = bindSpin(Field::TextBorderWidth, tr("Depth of the border of 3D text"));
  ColorButton* color3d = bindColor(Field::Text3DColor, tr("Color of the border of 3D text"));
  auto* lookGrid = new QGridLayout(look);
  lookGrid->addWidget(caption("L17", tr("View Angle:"), angle, true), 0, 0);
  lookGrid->addWidget(angle, 0, 1);
  lookGrid->addWidget(caption("L19", tr("Shadow:"), shadow, true), 1, 0);
  lookGrid->addWidget(shadow, 1, 1);
  lookGrid->addWidget(caption("L18", tr("Border Width:"), depth, true), 2, 0);
  lookGrid->addWidget(depth, 2, 1);
  lookGrid->addWidget(caption("L16", tr("3D Text Color:"), color3d, true), 3, 0);
  lookGrid->addWidget(color3d, 3, 1);
  lookGrid->setRowStretch(4, 1);

  // --- Text Color Gradient
  QGroupBox* gradient = group("GroupTextGradient", tr("Text Color Gradient"));
  QCheckBox* gradientOn = bindFlag(Field::TextGradientOn, tr("Add Color Gradient"), tr("Enable/Disable Text Color Gradient"));
  markPerFrame(gradientOn);
  QComboBox* kind = bindChoice(Field::TextGradientKind, tr("Text gradient style"));
  ColorButton* color1 = bindColor(Field::TextGradientColor1, tr("Gradient Color1"));
  ColorButton* color2 = bindColor(Field::TextGradientColor2, tr("Gradient Color2"));
  QLabel* l13 = caption("L13", tr("Gradient Color1:"), color1, true);
  QLabel* l14 = caption("L14", tr("Gradient Color2:"), color2, true);
  auto* gradientGrid = new QGridLayout(gradient);
  gradientGrid->addWidget(gradientOn, 0, 0, 1, 2);
  gradientGrid->addWidget(kind, 1, 0, 1, 2);
  gradientGrid->addWidget(l13, 2, 0);
  gradientGrid->addWidget(color1, 2, 1);
  gradientGrid->addWidget(l14, 3, 0);
  gradientGrid->addWidget(color2, 3, 1);
  gradientGrid->setRowStretch(4, 1);
  gradientControls = {kind, color1, color2, l13, l14};

  // --- 3D Texture
  QGroupBox* texture = group("GroupTexture", tr("3D Texture"));
  auto* load = new QPushButton(tr("Load Texture..."), this);
  load->setObjectName(QStringLiteral("RzB2"));
  markPerFrame(load);
  connect(load, &QPushButton::clicked, this, &Text3DPage::loadTexture);
  clearTexture = new QPushButton(tr("Clear Texture"), this);
  clearTexture->setObjectName(QStringLiteral("RzB3"));
  markPerFrame(clearTexture);
  connect(clearTexture, &QPushButton::clicked, this, [this] { this->session.setField(Field::TextureFile, QString()); });
  textureName = caption("L20", tr("No texture"), nullptr, true);
  textureName->setAccessibleName(tr("Texture file"));
  auto* textureGrid = new QGridLayout(texture);
  textureGrid->addWidget(load, 0, 0);
  textureGrid->addWidget(clearTexture, 0, 1);
  textureGrid->addWidget(textureName, 1, 0, 1, 2);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->addWidget(properties, 0, 0, 2, 1);
  grid->addWidget(look, 0, 1);
  grid->addWidget(gradient, 0, 2);
  grid->addWidget(texture, 1, 1, 1, 2);
  grid->setColumnStretch(0, 4);
  grid->setColumnStretch(1, 3);
  grid->setColumnStretch(2, 3);

  QWidget* order[] = {textList, textEdit, x, y, font, fontColor, size, angle, shadow, depth, color3d,
                      gradientOn, kind, color1, color2, load, clearTexture};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void Text3DPage::chooseFont() {
  const auto chosen = dialogs.chooseFont(this, editor::fontOf(session.project()));
  if (!chosen) return;
  session.apply([&chosen](editor::Editor& e) { return editor::editFont(e, *chosen); });
}

void Text3DPage::loadTexture() {
  const QString folder = QDir(QString::fromStdString(session.project().appDir)).filePath(QStringLiteral("Textures"));
  const QString chosen = dialogs.openTexturePath(this, folder);
  if (chosen.isEmpty()) return;
  session.setField(Field::TextureFile, chosen);
}

void Text3DPage::fillPage() {
  const model::LabelProject& project = session.project();
  showLayers(*textList, project, editor::SlotKind::Text);
  const QString text = fromRecordText(editor::fieldText(project, Field::Text));
  if (textEdit->text() != text) {
    const QSignalBlocker block(textEdit);
    textEdit->setText(text);
  }
  switchControls(gradientControls, project.current().textGradientOn[project.currentText - 1] != 0);

  const QString file = QString::fromStdString(editor::fieldText(project, Field::TextureFile));
  textureName->setText(file.isEmpty() ? tr("No texture") : QFileInfo(file).fileName());
  textureName->setToolTip(file);
  textureName->setAccessibleDescription(textureName->text());
  clearTexture->setEnabled(!file.isEmpty());
}

}  // namespace zefra::app
