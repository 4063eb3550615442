#pragma once
// Page "GIF P&roperties": transparency, palette kind, number of colours, the global
// palette and looping of the exported animation. Every change here alters what an open
// preview shows: exportSettingsChanged() is the hook by which the preview rebuilds.

#include "panels/property_page.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;

namespace zefra::app {

class ExportLimitsBox;

class GifPropertiesPage : public PropertyPage {
  Q_OBJECT

 public:
  GifPropertiesPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent = nullptr);

  // "Loop": looping is a choice of the export, not stored in the project.
  bool loop() const;
  // "Classic export": the earlier encoder instead of the standard one (not stored either).
  bool classicExport() const;
  // The "Global Palette" group; the palette panel is placed in its layout.
  QGroupBox* globalPaletteGroup() const { return globalPalette; }
  // Size limit, ad check and plays (kept per project by the window).
  ExportLimitsBox* exportLimits() const { return limits; }

 Q_SIGNALS:
  // Transparency, palette, colour count or looping changed: an open preview rebuilds.
  void exportSettingsChanged();

 protected:
  void fillPage() override;

 private:
  QButtonGroup* paletteButtons = nullptr;  // RB1..RB3, id = paletteKind
  QButtonGroup* countButtons = nullptr;    // RB5..RB10, id = colorCountIndex
  QGroupBox* colorsGroup = nullptr;
  QGroupBox* globalPalette = nullptr;
  QCheckBox* loopBox = nullptr;     // "ChBox5"
  QCheckBox* classicBox = nullptr;  // "ChBoxClassic"
  ColorButton* transparentColor = nullptr;
  ExportLimitsBox* limits = nullptr;
};

}  // namespace zefra::app
