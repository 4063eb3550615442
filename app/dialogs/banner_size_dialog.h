#pragma once
// "New Banner..." and "Resize Banner...": the standard ad slot sizes and a custom size,
// with a small drawing of the chosen proportions; the resize also asks how the content
// follows (scaled, or kept at its size and moved with one of nine anchors).

#include <QDialog>
#include <optional>

#include "editor/banner_resize.h"

class QButtonGroup;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace zefra::app {

class BannerSizeDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Purpose { NewBanner, Resize };
  // `width` x `height`: the size to start from (the list selects it when it is standard).
  BannerSizeDialog(Purpose purpose, int width, int height, QWidget* parent = nullptr);

  int chosenWidth() const;
  int chosenHeight() const;
  // Nothing: scale the content (Resize only).
  std::optional<editor::Anchor> chosenAnchor() const;

 private:
  void selectSize(int width, int height);
  void onSizeRow(int row);
  void onCustomSize();

  QListWidget* sizes = nullptr;
  QSpinBox* widthSpin = nullptr;
  QSpinBox* heightSpin = nullptr;
  QWidget* drawing = nullptr;
  QRadioButton* scaleButton = nullptr;
  QRadioButton* anchorButton = nullptr;
  QButtonGroup* anchors = nullptr;
};

}  // namespace zefra::app
