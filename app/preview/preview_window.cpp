#include "preview/preview_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "export/gif_statistics.h"
#include "preview/playback_view.h"

namespace zefra::app {

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmPreview"));
  setWindowTitle(QStringLiteral("GIF Preview"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAccessibleName(QStringLiteral("GIF Preview"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  imageArea = new QWidget(this);
  imageArea->setObjectName(QStringLiteral("ImageArea"));
  imageArea->setMinimumSize(kMinImageWidth, kMinImageHeight);
  imageArea->setAutoFillBackground(true);
  image = new PlaybackView(imageArea);
  image->setObjectName(QStringLiteral("Image1"));
  image->setAccessibleName(tr("Animation"));
  layout->addWidget(imageArea, 1);
  controls = buildControls();
  layout->addWidget(controls);

  status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("RzStatus"));
  status->setSizeGripEnabled(false);
  const int widths[4] = {150, 150, 81, 0};
  for (int i = 0; i < 4; ++i) {
    auto* pane = new QLabel(status);
    pane->setObjectName(QStringLiteral("Status%1").arg(i + 1));
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    if (widths[i] > 0) pane->setMinimumWidth(widths[i]);
    status->addWidget(pane, widths[i] > 0 ? 0 : 1);
    panes[static_cast<std::size_t>(i)] = pane;
  }
  // No accessible name of its own: a screen reader reads the verdict itself.
  checkPane = new QLabel(status);
  checkPane->setObjectName(QStringLiteral("PreviewCheck"));
  checkPane->setTextFormat(Qt::PlainText);
  checkPane->setFrameShape(QFrame::Panel);
  checkPane->setFrameShadow(QFrame::Sunken);
  checkPane->setAccessibleDescription(tr("Ad check"));
  checkPane->hide();
  status->addWidget(checkPane);
  noticeLabel = new QLabel(status);
  noticeLabel->setObjectName(QStringLiteral("PreviewNotice"));
  noticeLabel->setTextFormat(Qt::PlainText);
  noticeLabel->hide();
  status->addPermanentWidget(noticeLabel);
  save = new QPushButton(QStringLiteral("Save GIF..."), status);
  save->setObjectName(QStringLiteral("SaveButton"));
  QFont bold = save->font();
  bold.setBold(true);
  save->setFont(bold);
  save->setMinimumWidth(76);
  save->setToolTip(tr("Save the GIF shown here"));
  status->addPermanentWidget(save);
  layout->addWidget(status);
  connect(save, &QPushButton::clicked, this, &PreviewWindow::saveRequested);
}

QWidget* PreviewWindow::buildControls() {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(6, 4, 6, 4);
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("PlaybackControls"));
  box->setLayout(row);
  const auto button = [box](const char* name, const QString& caption, QStyle::StandardPixmap icon, const QString& tip) {
    auto* b = new QPushButton(box->style()->standardIcon(icon), caption, box);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    return b;
  };
  previous = button("PreviousFrameButton", tr("Previous Frame"), QStyle::SP_MediaSkipBackward,
                    tr("Show the frame before, pausing playback (Left)"));
  play = button("PlayButton", tr("Pause"), QStyle::SP_MediaPause, tr("Pause or go on playing (Space)"));
  next = button("NextFrameButton", tr("Next Frame"), QStyle::SP_MediaSkipForward,
                tr("Show the frame after, pausing playback (Right)"));
  framePane = new QLabel(box);
  framePane->setObjectName(QStringLiteral("FramePane"));
  framePane->setTextFormat(Qt::PlainText);
  framePane->setFrameShape(QFrame::Panel);
  framePane->setFrameShadow(QFrame::Sunken);
  framePane->setAlignment(Qt::AlignCenter);
  framePane->setMinimumWidth(framePane->fontMetrics().horizontalAdvance(tr("Frame 127 of 127")) + 16);
  framePane->setToolTip(tr("The frame shown and the number of frames"));
  // The editor's status bar has a pane of the same form for the frame being edited.
  framePane->setAccessibleDescription(tr("Frame shown in the preview"));
  row->addWidget(previous);
  row->addWidget(play);
  row->addWidget(next);
  row->addSpacing(8);
  row->addWidget(framePane);
  row->addStretch(1);
  connect(previous, &QPushButton::clicked, image, &PlaybackView::stepBack);
  connect(play, &QPushButton::clicked, image, &PlaybackView::togglePlay);
  connect(next, &QPushButton::clicked, image, &PlaybackView::stepForward);
  connect(image, &PlaybackView::frameDrawn, this, &PreviewWindow::refreshControls);
  connect(image, &PlaybackView::playStateChanged, this, &PreviewWindow::refreshControls);
  // The animation takes the focus first, so Space there plays and pauses; on a button it
  // presses that button, as everywhere.
  image->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(image, previous);
  setTabOrder(previous, play);
  setTabOrder(play, next);
  refreshControls();
  return box;
}

void PreviewWindow::refreshControls() {
  const int count = image->frameCount();
  const bool animated = count > 1;
  previous->setEnabled(animated);
  next->setEnabled(animated);
  const bool showsPlay = !image->playing();
  play->setText(showsPlay ? tr("Play") : tr("Pause"));
  play->setIcon(style()->standardIcon(showsPlay ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
  play->setEnabled(animated);
  const QString text = count > 0 ? tr("Frame %1 of %2").arg(std::max(image->currentFrame(), 0) + 1).arg(count) : QString();
  if (framePane->text() != text) {
    framePane->setText(text);
    framePane->setAccessibleName(text);
  }
}

QString PreviewWindow::frameText() const { return framePane->text(); }

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    switch (event->key()) {
      case Qt::Key_Space: image->togglePlay(); return;
      case Qt::Key_Left: image->stepBack(); return;
      case Qt::Key_Right: image->stepForward(); return;
      default: break;
    }
  }
  QWidget::keyPressEvent(event);
}

void PreviewWindow::showGif(const gif::GifImage& gifImage, const exporter::GifStatistics& statistics,
                            QSize bannerSize, const QColor& background) {
  QPalette pal = imageArea->palette();
  pal.setColor(QPalette::Window, background);
  imageArea->setPalette(pal);
  const bool resized = image->size() != bannerSize;
  image->setFixedSize(bannerSize);
  image->setImage(gifImage);
  const std::vector<std::string> lines = exporter::statisticsLines(statistics);
  // The figures come as "File Size", "Frames", "Colors", "Image Size"; the panes show the
  // image size first.
  setPane(0, QString::fromStdString(lines[3]));
  setPane(1, QString::fromStdString(lines[0]));
  setPane(2, QString::fromStdString(lines[1]));
  setPane(3, QString::fromStdString(lines[2]));
  rebuilding = false;
  for (QLabel* pane : panes) pane->setEnabled(true);
  checkPane->setEnabled(true);
  save->setEnabled(true);
  refreshNotice();
  // The panes keep their widths unless a text needs more (a larger font, long numbers).
  const int widths[3] = {150, 150, 81};
  for (int i = 0; i < 3; ++i) {
    QLabel* pane = panes[static_cast<std::size_t>(i)];
    pane->setMinimumWidth(std::max(widths[i], pane->fontMetrics().horizontalAdvance(pane->text()) + 12));
  }
  const QSize area(std::max(bannerSize.width(), kMinImageWidth), std::max(bannerSize.height(), kMinImageHeight));
  // A rebuild after the label's size changed fits the window to the new size.
  if (!isVisible() || resized) {
    resize(area.width(), area.height() + controls->sizeHint().height() + status->sizeHint().height());
    show();
    raise();
  }
  placeImage();
}

void PreviewWindow::setPane(int index, const QString& text) {
  QLabel* pane = panes.at(static_cast<std::size_t>(index));
  pane->setText(text);
  pane->setAccessibleName(text);
}

void PreviewWindow::setUpdating(bool updating) {
  rebuilding = updating;
  for (QLabel* pane : panes) pane->setEnabled(!updating);
  checkPane->setEnabled(!updating);
  refreshNotice();
}

void PreviewWindow::setNotice(const QString& text) {
  notice = text;
  refreshNotice();
}

QString PreviewWindow::noticeText() const { return noticeLabel->text(); }

void PreviewWindow::setCheck(const QString& text) {
  checkPane->setText(text);
  checkPane->setToolTip(text);
  checkPane->setVisible(!text.isEmpty());
}

QString PreviewWindow::checkText() const { return checkPane->text(); }

void PreviewWindow::refreshNotice() {
  const QString text = rebuilding ? tr("Updating...") : notice;
  noticeLabel->setText(text);
  noticeLabel->setAccessibleName(text);
  noticeLabel->setToolTip(rebuilding ? tr("The GIF is being rebuilt after an edit") : text);
  noticeLabel->setVisible(!text.isEmpty());
}

void PreviewWindow::showFailure(const QString& error) {
  image->clear();
  for (int i = 0; i < 4; ++i) setPane(i, QString());
  setCheck(QString());
  rebuilding = false;
  save->setEnabled(false);
  notice = error;
  refreshNotice();
}

QString PreviewWindow::paneText(int pane) const { return panes.at(static_cast<std::size_t>(pane - 1))->text(); }

void PreviewWindow::placeImage() {
  const QSize area = imageArea->size();
  image->move(std::max(0, (area.width() - image->width()) / 2), std::max(0, (area.height() - image->height()) / 2));
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeImage();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  image->clear();
  QWidget::closeEvent(event);
  if (event->isAccepted()) Q_EMIT closed();
}

}  // namespace zefra::app
