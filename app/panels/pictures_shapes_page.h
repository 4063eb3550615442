#pragma once
// Page "&Pictures/Shapes": the shape layers (style, place, size, colours) and the picture
// layers (file, place).

#include "panels/property_page.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zefra::app {

class PicturesShapesPage : public PropertyPage {
  Q_OBJECT

 public:
  PicturesShapesPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent = nullptr);

 protected:
  void fillPage() override;

 private:
  void loadPicture();

  QComboBox* shapeList = nullptr;    // "CBox7"
  QComboBox* pictureList = nullptr;  // "CBox6"
  QLabel* pictureName = nullptr;     // "L8"
  QPushButton* clearPicture = nullptr;  // "RzB6"
  QPushButton* editPicture = nullptr;   // "RzB7"
  std::vector<QWidget*> shapeControls;
};

}  // namespace zefra::app
