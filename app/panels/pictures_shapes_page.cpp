#include "panels/pictures_shapes_page.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editor/panel_edits.h"
#include "panels/layer_list.h"
#include "render/file_resolution.h"
#include "render/frame_canvas.h"
#include "session/editor_session.h"
#include "widgets/color_button.h"

namespace zefra::app {

using editor::Field;

PicturesShapesPage::PicturesShapesPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent)
    : PropertyPage(session, dialogs, parent) {
  setObjectName(QStringLiteral("PicturesShapesPage"));

  // --- Shapes
  QGroupBox* shapes = group("GroupShapes", tr("Shapes"));
  shapeList = makeLayerList(this, "CBox7", tr("Select shape layer"), editor::SlotKind::Shape);
  connect(shapeList, &QComboBox::currentIndexChanged, this, [this](int index) {
    this->session.apply([index](editor::Editor& e) { return editor::selectSlotSeeding(e, editor::SlotKind::Shape, index + 1); });
  });
  QComboBox* style = bindChoice(Field::ShapeStyle, tr("Shape style"));
  QSpinBox* x = bindSpin(Field::ShapeX, tr("Horizontal coordinate"));
  QSpinBox* y = bindSpin(Field::ShapeY, tr("Vertical coordinate"));
  // Both groups caption their coordinates "X:" and "Y:"; the names tell them apart.
  x->setAccessibleName(tr("Shape X"));
  y->setAccessibleName(tr("Shape Y"));
  QSpinBox* w = bindSpin(Field::ShapeWidth, tr("Shape width, pixels"));
  QSpinBox* h = bindSpin(Field::ShapeHeight, tr("Shape height, pixels"));
  ColorButton* fill = bindColor(Field::ShapeFillColor, tr("Color at the begin of the gradient"));
  ColorButton* borderColor = bindColor(Field::ShapeBorderColor, tr("Color at the end of the gradient"));
  QSpinBox* borderWidth = bindSpin(Field::ShapeBorderWidth, tr("Border Width"));
  QLabel* labels[] = {caption("L30", tr("X:"), x, true),           caption("L31", tr("Y:"), y, true),
                      caption("L32", tr("W:"), w, true),           caption("L33", tr("H:"), h, true),
                      caption("L34", tr("Shape Color:"), fill, true), caption("L35", tr("Border:"), borderColor, true),
                      caption("L36", tr("Border Width:"), borderWidth, true)};
  auto* shapeGrid = new QGridLayout(shapes);
  shapeGrid->addWidget(shapeList, 0, 0, 1, 2);
  shapeGrid->addWidget(style, 0, 2, 1, 2);
  shapeGrid->addWidget(labels[0], 1, 0);
  shapeGrid->addWidget(x, 1, 1);
  shapeGrid->addWidget(labels[1], 1, 2);
  shapeGrid->addWidget(y, 1, 3);
  shapeGrid->addWidget(labels[2], 2, 0);
  shapeGrid->addWidget(w, 2, 1);
  shapeGrid->addWidget(labels[3], 2, 2);
  shapeGrid->addWidget(h, 2, 3);
  shapeGrid->addWidget(labels[4], 3, 0, 1, 2);
  shapeGrid->addWidget(fill, 3, 2, 1, 2);
  shapeGrid->addWidget(labels[5], 4, 0, 1, 2);
  shapeGrid->addWidget(borderColor, 4, 2, 1, 2);
  shapeGrid->addWidget(labels[6], 5, 0, 1, 2);
  shapeGrid->addWidget(borderWidth, 5, 2, 1, 2);
  shapeGrid->setRowStretch(6, 1);
  shapeControls = {x, y, w, h, fill, borderColor, borderWidth};
  for (QLabel* label : labels) shapeControls.push_back(label);

  // --- Pictures
  QGroupBox* pictures = group("GroupPictures", tr("Pictures"));
  pictureList = makeLayerList(this, "CBox6", tr("Select picture layer"), editor::SlotKind::Picture);
  connect(pictureList, &QComboBox::currentIndexChanged, this, [this](int index) {
    this->session.apply(
        [index](editor::Editor& e) { return editor::selectSlotSeeding(e, editor::SlotKind::Picture, index + 1); });
  });
  auto* load = new QPushButton(tr("Load Picture..."), this);
  load->setObjectName(QStringLiteral("RzB5"));
  markPerFrame(load);
  connect(load, &QPushButton::clicked, this, &PicturesShapesPage::loadPicture);
  clearPicture = new QPushButton(tr("Clear Picture"), this);
  clearPicture->setObjectName(QStringLiteral("RzB6"));
  markPerFrame(clearPicture);
  connect(clearPicture, &QPushButton::clicked, this, [this] { this->session.setField(Field::PictureFile, QString()); });
  editPicture = new QPushButton(tr("Edit Picture..."), this);
  editPicture->setObjectName(QStringLiteral("RzB7"));
  // The main window starts the image editor on it (the page only enables it).
  QSpinBox* px = bindSpin(Field::PictureX, tr("Horizontal coordinate"));
  QSpinBox* py = bindSpin(Field::PictureY, tr("Vertical coordinate"));
  px->setAccessibleName(tr("Picture X"));
  py->setAccessibleName(tr("Picture Y"));
  pictureName = caption("L8", tr("No picture"), nullptr, true);
  pictureName->setAccessibleName(tr("Picture file"));
  pictureName->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  auto* pictureGrid = new QGridLayout(pictures);
  pictureGrid->addWidget(pictureList, 0, 0, 1, 4);
  pictureGrid->addWidget(load, 1, 0, 1, 2);
  pictureGrid->addWidget(clearPicture, 1, 2, 1, 2);
  pictureGrid->addWidget(editPicture, 2, 0, 1, 2);
  pictureGrid->addWidget(caption("L9", tr("X:"), px, true), 3, 0);
  pictureGrid->addWidget(px, 3, 1);
  pictureGrid->addWidget(caption("L10", tr("Y:"), py, true), 3, 2);
  pictureGrid->addWidget(py, 3, 3);
  pictureGrid->addWidget(pictureName, 4, 0, 1, 4);
  pictureGrid->setRowStretch(5, 1);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 4, 4, 4);
  row->addWidget(shapes, 1);
  row->addWidget(pictures, 1);

  QWidget* order[] = {shapeList, style, x, y, w, h, fill, borderColor, borderWidth,
                      pictureList, load, clearPicture, editPicture, px, py};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void PicturesShapesPage::loadPicture() {
  const model::LabelProject& project = session.project();
  const QString current = QString::fromStdString(editor::fieldText(project, Field::PictureFile));
  const QFileInfo info(current);
  QString directory = current.contains(QLatin1Char('/')) ? info.path() : QString::fromStdString(project.appDir);
  // A bare name the canvas finds beside the project rather than in the program folder:
  // the dialog opens there, so its preview shows the picture in the slot at once.
  if (!current.isEmpty() && !current.contains(QLatin1Char('/'))) {
    const render::CanvasSettings where = render::canvasSettingsFor(project);
    if (const auto found = render::resolveFileName(project.current().pictureFile[project.currentPicture - 1], where.appDir, where.projectDir))
      directory = QFileInfo(QString::fromStdString(*found)).absolutePath();
  }
  const QString chosen = dialogs.openPicturePath(this, directory, current.isEmpty() ? QString() : info.fileName());
  if (chosen.isEmpty()) return;
  session.setField(Field::PictureFile, chosen);
}

void PicturesShapesPage::fillPage() {
  const model::LabelProject& project = session.project();
  showLayers(*shapeList, project, editor::SlotKind::Shape);
  showLayers(*pictureList, project, editor::SlotKind::Picture);
  switchControls(shapeControls, project.current().shapeStyle[project.currentShape - 1] >= 1);

  const QString file = QString::fromStdString(editor::fieldText(project, Field::PictureFile));
  pictureName->setText(file.isEmpty() ? tr("No picture") : QFileInfo(file).fileName());
  pictureName->setToolTip(file);
  pictureName->setAccessibleDescription(pictureName->text());
  clearPicture->setEnabled(!file.isEmpty());
  editPicture->setEnabled(!file.isEmpty());
}

}  // namespace zefra::app
