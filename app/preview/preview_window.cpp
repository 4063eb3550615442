#include "preview/preview_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
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

void PreviewWindow::showGif(const gif::GifImage& gifImage, const exporter::GifStatistics& statistics,
                            QSize bannerSize, const QColor& background) {
  QPalette pal = imageArea->palette();
  pal.setColor(QPalette::Window, background);
  imageArea->setPalette(pal);
  image->setFixedSize(bannerSize);
  image->setImage(gifImage);
  const std::vector<std::string> lines = exporter::statisticsLines(statistics);
  // The figures come as "File Size", "Frames", "Colors", "Image Size"; the panes show the
  // image size first.
  panes[0]->setText(QString::fromStdString(lines[3]));
  panes[1]->setText(QString::fromStdString(lines[0]));
  panes[2]->setText(QString::fromStdString(lines[1]));
  panes[3]->setText(QString::fromStdString(lines[2]));
  // The panes keep their widths unless a text needs more (a larger font, long numbers).
  const int widths[3] = {150, 150, 81};
  for (int i = 0; i < 3; ++i) {
    QLabel* pane = panes[static_cast<std::size_t>(i)];
    pane->setMinimumWidth(std::max(widths[i], pane->fontMetrics().horizontalAdvance(pane->text()) + 12));
  }
  const QSize area(std::max(bannerSize.width(), kMinImageWidth), std::max(bannerSize.height(), kMinImageHeight));
  if (!isVisible()) {
    resize(area.width(), area.height() + status->sizeHint().height());
    show();
    raise();
  }
  placeImage();
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
