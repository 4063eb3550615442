#pragma once
// The canvas panel "RzPanel1": shows the picture of the current frame at 1:1, exactly as
// the core drew it, and reports where the mouse is so the window can name the object
// under it.

#include <QWidget>

#include "raster/fast_bitmap.h"

namespace zefra::app {

class FrameView : public QWidget {
  Q_OBJECT

 public:
  explicit FrameView(QWidget* parent = nullptr);

  // Takes the frame's picture; the widget becomes its size.
  void setPicture(raster::FastBitmap picture);
  const raster::FastBitmap& picture() const { return shown; }
  // The pixels as the widget paints them (tests compare them with the core's picture).
  QImage image() const;

 Q_SIGNALS:
  void mouseMovedTo(int x, int y);
  void mouseLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  raster::FastBitmap shown;
};

}  // namespace zefra::app
