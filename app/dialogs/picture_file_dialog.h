#pragma once
// The "Load Picture" file dialog: Qt's own (not the desktop's) file dialog with a preview
// pane beside the list. The pane draws the file under the cursor as the canvas will, read
// by the core's picture loader (BMP, GIF, PNG; transparent parts over a checkerboard), and
// says its size and kind, or why it cannot be used, before the user commits to it.

#include <QFileDialog>
#include <QGroupBox>
#include <QImage>

class QLabel;

namespace zefra::app {

class PicturePreviewPane;

class PictureFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  PictureFileDialog(QWidget* parent, const QString& caption, const QString& start, const QString& filter);

  PicturePreviewPane* preview() const { return pane; }

 private:
  PicturePreviewPane* pane = nullptr;
};

// The preview pane on its own ("Preview"), so it can be tested and reused.
class PicturePreviewPane : public QGroupBox {
  Q_OBJECT

 public:
  static constexpr int kImageWidth = 200;
  static constexpr int kImageHeight = 150;

  explicit PicturePreviewPane(QWidget* parent = nullptr);

  // Shows `path` (a file of any kind; nothing for a folder or an empty name).
  void showFile(const QString& path);
  // "logo.png: 120 x 40 pixels, transparent", the reason a file cannot be read, or
  // "No picture selected".
  QString description() const;
  // The picture as shown, scaled to fit; null when there is none.
  QImage shownImage() const { return shown; }

 private:
  void setDescription(const QString& text);

  QLabel* image = nullptr;
  QLabel* info = nullptr;
  QImage shown;
};

}  // namespace zefra::app
