#pragma once
// The about box "TfrmAbout", shown modally from "&About...".

#include <QDialog>

namespace zefra::app {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace zefra::app
