#pragma once
// The preview window "frmPreview" ("GIF Preview"): the exported animation playing in the
// middle of an area at least 468 x 60 pixels, four status panes with the figures of the
// file as it would be written, and the bold "Save GIF..." button. It stays above the
// editor without taking the focus; closing it tells the editor (which then clears the
// palette panel and offers the preview command again). While the editor rebuilds the GIF
// after an edit, "Updating..." stands beside the greyed figures; a remark on the GIF (what
// became of the transparent colour) or the reason it could not be built stands there too.
// Each pane's accessible name is its text, so a screen reader reads the figure. With an ad
// profile chosen, a "Check:" pane gives the verdict on the GIF shown. Under the picture,
// "Previous Frame", "Pause" (or "Play" while paused) and "Next Frame" control the playback
// (Left, Space and Right on the window too), and a pane says "Frame 3 of 9".

#include <QColor>
#include <QWidget>
#include <array>
#include <memory>

#include "export/gif_statistics.h"

class QLabel;
class QPushButton;
class QStatusBar;

namespace zefra::gif {
class GifImage;
}

namespace zefra::app {

class PlaybackView;

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinImageWidth = 468;
  static constexpr int kMinImageHeight = 60;

  explicit PreviewWindow(QWidget* parent = nullptr);

  // ShowGIF: plays `image` at `bannerSize` on `background` and shows the figures; shows the
  // window without activating it (or refreshes it when it is open).
  void showGif(const gif::GifImage& image, const exporter::GifStatistics& statistics, QSize bannerSize,
               const QColor& background);

  // A rebuild is under way: "Updating..." and greyed figures until the next showGif.
  void setUpdating(bool updating);
  bool updating() const { return rebuilding; }
  // A remark on the GIF shown; empty for none.
  void setNotice(const QString& text);
  // The text beside the figures: "Updating...", the remark, or empty.
  QString noticeText() const;
  // The ad check of the GIF shown: "Check: Passes IAB" or the broken rules; empty hides the
  // pane (no profile chosen).
  void setCheck(const QString& text);
  QString checkText() const;
  // The GIF could not be built: the picture and figures are cleared and `error` shown.
  void showFailure(const QString& error);

  PlaybackView* view() const { return image; }
  QString paneText(int pane) const;  // pane 1..4
  QPushButton* saveButton() const { return save; }
  QPushButton* playButton() const { return play; }
  QPushButton* previousButton() const { return previous; }
  QPushButton* nextButton() const { return next; }
  // "Frame 3 of 9"; empty without a picture.
  QString frameText() const;

 Q_SIGNALS:
  void saveRequested();
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placeImage();
  void setPane(int index, const QString& text);
  void refreshNotice();
  QWidget* buildControls();
  void refreshControls();

  QWidget* imageArea = nullptr;
  PlaybackView* image = nullptr;  // "Image1"
  QStatusBar* status = nullptr;   // "RzStatus"
  std::array<QLabel*, 4> panes{};
  QPushButton* save = nullptr;    // "SaveButton"
  QPushButton* previous = nullptr;  // "PreviousFrameButton"
  QPushButton* play = nullptr;      // "PlayButton"
  QPushButton* next = nullptr;      // "NextFrameButton"
  QLabel* framePane = nullptr;      // "FramePane"
  QWidget* controls = nullptr;      // "PlaybackControls": the three buttons and the pane
  QLabel* noticeLabel = nullptr;  // "PreviewNotice"
  QLabel* checkPane = nullptr;    // "PreviewCheck"
  QString notice;
  bool rebuilding = false;
};

}  // namespace zefra::app
