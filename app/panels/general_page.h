#pragma once
// Page "&General": the label size and delay, the web-site and frame colours, the border
// band and the background gradient.

#include "panels/property_page.h"

class QLineEdit;

namespace zefra::app {

class GeneralPage : public PropertyPage {
  Q_OBJECT

 public:
  GeneralPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent = nullptr);

 protected:
  void fillPage() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* sizeEdit(const char* name, const QString& hint);
  void sizeEdited(QLineEdit* edit);  // a typed width, height or delay
  void sizeLeft(QLineEdit* edit);    // the user left the field
  void showStoredWhenCut(QLineEdit* edit, editor::Field field);
  int textMeans(const QLineEdit* edit) const;  // the number a field's text stands for

  QLineEdit* widthEdit = nullptr;   // "CWidth"
  QLineEdit* heightEdit = nullptr;  // "CHeight"
  QLineEdit* delayEdit = nullptr;   // "CDelay"
  std::vector<QWidget*> borderControls;    // switched by "Add Borders"
  std::vector<QWidget*> gradientControls;  // switched by "Add Gradient"
};

}  // namespace zefra::app
