#pragma once
// The frame strip "Frames" under the canvas: one thumbnail per frame in order, the frame's
// number and delay under it, the current frame marked. It is a view of the core's frames
// and frame selection: clicks (with Shift or Ctrl) choose frames through the Editor, a
// drag moves the chosen frames, and the context menu inserts, duplicates, deletes,
// reverses and times them, each one undo step. Thumbnails are drawn on a worker thread and
// kept by the bytes of their record, so a reorder or an undo shows them at once.

#include <QHash>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "render/frame_canvas.h"
#include "session/editor_session.h"

namespace zefra::app {

class ThumbnailRenderer;
class UserPrompts;

class FrameStrip : public QListWidget {
  Q_OBJECT

 public:
  FrameStrip(EditorSession& session, UserPrompts& prompts, QWidget* parent = nullptr);
  ~FrameStrip() override;

  // What a screen reader says for a frame: "Frame 3, 150 ms".
  static QString itemName(int frame, int delayMs);
  // The largest thumbnail, in pixels; the label keeps its proportions inside it.
  static QSize thumbnailBox() { return {112, 44}; }
  // High enough for a row of frames with their captions and the scroll bar.
  int stripHeight() const;
  // Thumbnails asked for and not drawn yet (tests wait for none).
  int thumbnailsWaiting() const;
  bool hasThumbnail(int frame) const;

  // The context menu's commands, on the frames chosen now.
  void insertFrame();
  void duplicateFrames();
  void deleteFrames();
  void reverseFrames();
  void setDelay();
  // What a drop does: the chosen frames go before frame `before` (1..count + 1).
  void moveChosenFrames(int before);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void follow(const editor::Change& change);
  bool picturesChangedOnDisk(const editor::Change& change) const;
  void refill();
  void showSelection();
  // Hands what the user chose in the list to the Editor (at once before a command).
  void takeSelection();
  void thumbnailDrawn(quint64 key, const QImage& thumbnail);
  // Where a drop at `position` puts the dragged frames: before frame 1..count + 1.
  int dropPlace(QPoint position) const;

  EditorSession& session;
  UserPrompts& prompts;
  ThumbnailRenderer* renderer = nullptr;
  QHash<quint64, QPixmap> thumbnails;  // by recordKey()
  std::vector<std::uint64_t> keys;     // of frame 1.. as shown
  render::CanvasSettings drawnWith;
  bool showing = false;  // the list is being set from the Editor: not a choice of the user
  bool taking = false;   // the Editor is being set from the list: the list already shows it
  QTimer selectionTaker;
  int dropBefore = 0;  // while a drag is over the strip: the frame the drop goes before
  QList<QAction*> commands;
};

}  // namespace zefra::app
