#include "widgets/palette_panel.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

#include "raster/html_color.h"

namespace zefra::app {

namespace {

QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

}  // namespace

PaletteCell::PaletteCell(int index, QWidget* parent) : QAbstractButton(parent), tag(index) {
  setObjectName(QStringLiteral("PaletteCell%1").arg(index));
  setFocusPolicy(Qt::StrongFocus);
  hide();
}

void PaletteCell::setColor(Color color) {
  shown = color;
  const QString hint = QString::fromStdString(raster::colorToHtmlColor(color));
  setToolTip(hint);
  setAccessibleName(tr("Colour %1").arg(tag));
  setAccessibleDescription(hint);
  update();
}

QSize PaletteCell::sizeHint() const { return QSize(10, 10); }

void PaletteCell::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), toQColor(shown));
  // Flat frame; sunken while pressed or its menu is open, and a focus mark for the keyboard.
  const bool pressed = isDown();
  p.setPen(pressed ? palette().color(QPalette::Dark) : palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

PalettePanel::PalettePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PaletteCells"));
  setAccessibleName(QStringLiteral("Global Palette"));
  menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("MPalettePopup"));
  editAction = menu->addAction(QStringLiteral("Edit Color..."));
  editAction->setObjectName(QStringLiteral("MEditColor"));
  deleteAction = menu->addAction(QStringLiteral("Delete Color"));
  deleteAction->setObjectName(QStringLiteral("MDeleteColor"));
  transparentAction = menu->addAction(QStringLiteral("Set Color as Transparent"));
  transparentAction->setObjectName(QStringLiteral("MSetasTransp"));
  header = menu->insertSection(editAction, QString());
  connect(editAction, &QAction::triggered, this, [this] { Q_EMIT editColorRequested(menuTag); });
  connect(deleteAction, &QAction::triggered, this, [this] { Q_EMIT deleteColorRequested(menuTag); });
  connect(transparentAction, &QAction::triggered, this, [this] { Q_EMIT setTransparentRequested(menuTag); });

  for (int i = 0; i < kCellCount; ++i) {
    auto* c = new PaletteCell(i, this);
    connect(c, &QAbstractButton::clicked, this, [this, c] {
      openMenu(c->index(), c->mapToGlobal(QPoint(c->width() / 2, c->height() / 2)));
    });
    cells[static_cast<std::size_t>(i)] = c;
  }
  layoutCells();
}

// The 1-pixel gaps are taken off before the width is shared out, so the 26th cell of a row
// stays inside the panel.
int PalettePanel::cellSize() const { return std::max(4, (width() - (kCellsPerRow - 1)) / kCellsPerRow); }

QSize PalettePanel::minimumSizeHint() const {
  // Ten rows of cells at least 8 pixels wide.
  return QSize(kCellsPerRow * 9 - 1, 10 * 9 - 1);
}

void PalettePanel::layoutCells() {
  const int size = cellSize();
  for (int i = 0; i < kCellCount; ++i) {
    const int row = i / kCellsPerRow;
    const int column = i % kCellsPerRow;
    cells[static_cast<std::size_t>(i)]->setGeometry(column * (size + 1), row * (size + 1), size, size);
  }
}

void PalettePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutCells();
}

void PalettePanel::showPalette(const std::vector<Color>& colors) {
  shownCount = std::min<int>(static_cast<int>(colors.size()), kCellCount);
  for (int i = 0; i < kCellCount; ++i) {
    PaletteCell* c = cells[static_cast<std::size_t>(i)];
    if (i < shownCount) {
      c->setColor(colors[static_cast<std::size_t>(i)]);
      c->show();
    } else {
      c->hide();
    }
  }
}

void PalettePanel::clearPalette() {
  shownCount = 0;
  for (PaletteCell* c : cells) {
    c->setDown(false);
    c->hide();
  }
  menu->hide();
}

void PalettePanel::openMenu(int index, const QPoint& globalPos) {
  if (index < 0 || index >= shownCount) return;
  menuTag = index;
  deleteAction->setEnabled(shownCount > 1);
  const Color color = cells[static_cast<std::size_t>(index)]->color();
  QPixmap swatch(16, 16);
  swatch.fill(toQColor(color));
  header->setIcon(QIcon(swatch));
  header->setText(QString::fromStdString(raster::colorToHtmlColor(color)));
  menu->popup(globalPos);
}

}  // namespace zefra::app
