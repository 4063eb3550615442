#pragma once
// The global palette panel: the cells inside the "Global Palette" group of the GIF
// properties page, one small cell per colour of the built GIF's global colour table, 26 to
// a row, 1 pixel apart.
// Clicking a cell (or pressing Space on it) opens the pop-up menu "MPalettePopup" with
// "Edit Color...", "Delete Color" and "Set Color as Transparent"; the panel only reports
// the choice, the editor applies it to the image.

#include <QAbstractButton>
#include <QWidget>
#include <array>
#include <vector>

#include "common/color.h"

class QAction;
class QMenu;

namespace zefra::app {

class PaletteCell : public QAbstractButton {
  Q_OBJECT

 public:
  PaletteCell(int index, QWidget* parent);
  int index() const { return tag; }
  Color color() const { return shown; }
  void setColor(Color color);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int tag;
  Color shown = 0;
};

class PalettePanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kCellCount = 256;
  static constexpr int kCellsPerRow = 26;

  explicit PalettePanel(QWidget* parent = nullptr);

  // ShowPalette: cells 0..n-1 show the colours, the rest are hidden.
  void showPalette(const std::vector<Color>& colors);
  // ClearPalette: every cell hidden.
  void clearPalette();
  int colorCount() const { return shownCount; }
  PaletteCell* cell(int index) const { return cells.at(static_cast<std::size_t>(index)); }

  QMenu* popupMenu() const { return menu; }
  // The cell the open (or last opened) menu belongs to, -1 before any.
  int menuIndex() const { return menuTag; }
  // Opens the menu for a cell, as a click does.
  void openMenu(int index, const QPoint& globalPos);

  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  void editColorRequested(int index);
  void deleteColorRequested(int index);
  void setTransparentRequested(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutCells();
  int cellSize() const;

  std::array<PaletteCell*, kCellCount> cells{};
  int shownCount = 0;
  QMenu* menu = nullptr;  // "MPalettePopup"
  QAction* header = nullptr;  // the chosen colour, in place of a caption strip
  QAction* editAction = nullptr;
  QAction* deleteAction = nullptr;
  QAction* transparentAction = nullptr;
  int menuTag = -1;
};

}  // namespace zefra::app
