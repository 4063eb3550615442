#include "dialogs/picture_file_dialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QVBoxLayout>
#include <exception>

#include "render/picture.h"

namespace zefra::app {

namespace {

// The picture with its transparency as the canvas treats it: a GIF's mask, a PNG's
// opacity, or opaque.
QImage toImage(const render::Picture& picture) {
  QImage out(picture.width(), picture.height(), QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    const std::uint8_t* bgr = picture.image.row(y);
    for (int x = 0; x < picture.width(); ++x, bgr += 3) {
      int alpha = 255;
      if (picture.hasMask()) alpha = picture.mask.at(x, y) ? 255 : 0;
      else if (picture.hasAlpha()) alpha = picture.alpha.at(x, y);
      line[x] = qRgba(bgr[2], bgr[1], bgr[0], alpha);
    }
  }
  return out;
}

// Scaled to fit the pane (small pictures enlarged with hard pixel edges) and laid over a
// checkerboard, so what is transparent shows as such.
QImage previewOf(const QImage& picture, QSize box) {
  const QSize size = picture.size().scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
  const bool shrinking = size.width() < picture.width();
  const QImage scaled = picture.scaled(size, Qt::IgnoreAspectRatio, shrinking ? Qt::SmoothTransformation : Qt::FastTransformation);
  QImage out(size, QImage::Format_RGB32);
  QPainter painter(&out);
  constexpr int kSquare = 8;
  for (int y = 0; y < size.height(); y += kSquare)
    for (int x = 0; x < size.width(); x += kSquare)
      painter.fillRect(x, y, kSquare, kSquare, ((x + y) / kSquare) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
  painter.drawImage(0, 0, scaled);
  return out;
}

}  // namespace

PicturePreviewPane::PicturePreviewPane(QWidget* parent) : QGroupBox(tr("Preview"), parent) {
  setObjectName(QStringLiteral("PicturePreview"));
  auto* layout = new QVBoxLayout(this);
  image = new QLabel(this);
  image->setObjectName(QStringLiteral("PreviewImage"));
  image->setAlignment(Qt::AlignCenter);
  image->setFixedSize(kImageWidth + 4, kImageHeight + 4);
  image->setFrameShape(QFrame::StyledPanel);
  image->setAccessibleName(tr("Picture preview"));
  info = new QLabel(this);
  info->setObjectName(QStringLiteral("PreviewInfo"));
  info->setTextFormat(Qt::PlainText);
  info->setWordWrap(true);
  info->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  info->setFixedWidth(kImageWidth + 4);
  layout->addWidget(image);
  layout->addWidget(info, 1);
  setDescription(tr("No picture selected"));
}

void PicturePreviewPane::setDescription(const QString& text) {
  info->setText(text);
  info->setAccessibleName(text);
  image->setAccessibleDescription(text);
}

QString PicturePreviewPane::description() const { return info->text(); }

void PicturePreviewPane::showFile(const QString& path) {
  shown = QImage();
  image->clear();
  const QFileInfo file(path);
  if (path.isEmpty() || !file.isFile()) {
    setDescription(tr("No picture selected"));
    return;
  }
  if (!render::isPictureFileName(file.fileName().toStdString())) {
    setDescription(tr("%1: not a BMP, GIF or PNG picture").arg(file.fileName()));
    return;
  }
  try {
    const render::Picture picture = render::loadPicture(file.absoluteFilePath().toStdString());
    shown = previewOf(toImage(picture), QSize(kImageWidth, kImageHeight));
    image->setPixmap(QPixmap::fromImage(shown));
    QString text = tr("%1: %2 x %3 pixels").arg(file.fileName()).arg(picture.width()).arg(picture.height());
    if (picture.animation) text += tr(", animated");
    if (picture.hasMask() || picture.hasAlpha()) text += tr(", transparent");
    setDescription(text);
  } catch (const std::exception& e) {
    setDescription(tr("%1 cannot be used: %2").arg(file.fileName(), QString::fromStdString(e.what())));
  }
}

PictureFileDialog::PictureFileDialog(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
    : QFileDialog(parent, caption, start, filter) {
  setObjectName(QStringLiteral("PictureDialog"));
  // The desktop's own dialog has no room for a preview.
  setOption(QFileDialog::DontUseNativeDialog, true);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  pane = new PicturePreviewPane(this);
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
  } else if (layout()) {
    layout()->addWidget(pane);
  }
  connect(this, &QFileDialog::currentChanged, pane, &PicturePreviewPane::showFile);
  // A file chosen without moving the current item (a name typed, or the start file once
  // its folder is read) selects it all the same.
  if (auto* list = findChild<QListView*>(QStringLiteral("listView")); list && list->selectionModel()) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, pane, [this] {
      const QStringList files = selectedFiles();
      if (files.size() == 1 && QFileInfo(files.front()).isFile()) pane->showFile(files.front());
    });
  }
  const QStringList selected = selectedFiles();
  if (!selected.isEmpty()) pane->showFile(selected.front());
  resize(sizeHint().width() + pane->sizeHint().width(), std::max(sizeHint().height(), 420));
}

}  // namespace zefra::app
