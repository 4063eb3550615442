#pragma once
// Page "3D&Text": the text layers: text, place, font, 3D look, colour gradient, texture.

#include "panels/property_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zefra::app {

class Text3DPage : public PropertyPage {
  Q_OBJECT

 public:
  Text3DPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent = nullptr);

 protected:
  void fillPage() override;

 private:
  void chooseFont();
  void loadTexture();

  QComboBox* textList = nullptr;      // "CBox3"
  QLineEdit* textEdit = nullptr;      // "ETxt"
  QLabel* textureName = nullptr;      // "L20"
  QPushButton* clearTexture = nullptr;  // "RzB3"
  std::vector<QWidget*> gradientControls;
};

}  // namespace zefra::app
