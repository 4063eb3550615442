#pragma once
// The canvas panel "RzPanel1": shows the picture of the current frame exactly as the core
// drew it, at a whole-number zoom (each label pixel an exact square of screen pixels),
// with a thin outline around the selected object and the snap guides of a drag that are only
// drawn on screen, never into the picture. It reports the mouse and the arrow keys in label
// pixels; what they mean for the project is decided elsewhere.

#include <QWidget>
#include <optional>

#include "raster/fast_bitmap.h"
#include "raster/geometry.h"

class QPainter;

namespace zefra::app {

class FrameView : public QWidget {
  Q_OBJECT

 public:
  explicit FrameView(QWidget* parent = nullptr);

  // Takes the frame's picture; the widget becomes its size times the zoom.
  void setPicture(raster::FastBitmap picture);
  const raster::FastBitmap& picture() const { return shown; }
  // The pixels as the widget paints them at 1:1, without the outline (tests compare them
  // with the core's picture).
  QImage image() const;

  void setZoom(int factor);
  int zoom() const { return factor; }
  // The label pixel under a widget position (floor division; negative outside the left
  // and top edges).
  QPoint labelPixelAt(QPoint widgetPosition) const;
  // The widget rectangle that label rectangle `r` covers.
  QRect viewRect(const raster::Rect& r) const;

  // The object outlined on screen; nullopt for none.
  void setSelection(std::optional<raster::Rect> bounds);
  std::optional<raster::Rect> selection() const { return outline; }

  // The snap guides shown while a drag holds an object on label lines (editor::SnapGuide
  // bits; none when 0). Like the outline, they are only drawn on screen.
  void setGuides(unsigned guides);
  unsigned guides() const { return shownGuides; }

 Q_SIGNALS:
  void mouseMovedTo(int x, int y);
  void mouseLeft();
  // In label pixels, with the buttons and modifiers held at that moment.
  void pressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void moved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void released(Qt::MouseButton button);
  // An arrow key while the canvas has the focus: one pixel, ten with Shift.
  void nudged(int dx, int dy);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void updateSize();
  void paintGuides(QPainter& painter) const;

  raster::FastBitmap shown;
  int factor = 1;
  std::optional<raster::Rect> outline;
  unsigned shownGuides = 0;
};

}  // namespace zefra::app
