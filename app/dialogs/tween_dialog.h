#pragma once
// "Tween Frames": how many frames to make between the current frame and the next, along
// which easing curve, whether they keep the current frame's delay, and whether they take
// the place of the frames between the current frame and a later one (re-tweening).

#include <QDialog>

#include "editor/frame_tools.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace zefra::app {

class TweenDialog : public QDialog {
  Q_OBJECT

 public:
  // The project has `frameCount` frames and `currentFrame` is the one tweened from.
  TweenDialog(int currentFrame, int frameCount, QWidget* parent = nullptr);

  // The choices of an earlier tween, offered again (count and target kept within range).
  void setOptions(const editor::TweenOptions& options);
  editor::TweenOptions options() const;

 private:
  void updateRoom();

  int current = 1;
  int frames = 1;
  QSpinBox* countSpin = nullptr;
  QComboBox* easingBox = nullptr;
  QCheckBox* keepDelaysBox = nullptr;
  QCheckBox* replaceBox = nullptr;
  QSpinBox* toFrameSpin = nullptr;
};

}  // namespace zefra::app
