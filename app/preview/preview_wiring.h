#pragma once
// Connects the preview, the palette panel, the live size meter and the playing canvas
// pictures to the main window: "&GIF Preview" ("MStart") builds and shows the GIF, the
// session's changes rebuild an open preview or clear the palette and restart the size
// meter, "Loop" ("ChBox5") and "Classic export" ("ChBoxClassic") rebuild, the palette
// cells sit in the GIF properties page's "Global Palette" group, and a close request
// during the export cancels it. The window creates one and otherwise knows nothing of the
// preview.

#include <QObject>
#include <memory>

#include "export/export_settings.h"

namespace zefra::app {

class EditorSession;
class GifSizeMeter;
class MainWindow;
class PalettePanel;
class PreviewController;

class PreviewWiring : public QObject {
  Q_OBJECT

 public:
  explicit PreviewWiring(MainWindow& window);
  ~PreviewWiring() override;

  PreviewController& preview() { return *controller; }
  GifSizeMeter& sizeMeter() { return *meter; }
  PalettePanel* palette() const { return cells; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void placePalette();
  exporter::ExportSettings exportSettings() const;

  MainWindow& window;
  std::unique_ptr<PreviewController> controller;
  std::unique_ptr<GifSizeMeter> meter;
  PalettePanel* cells = nullptr;
};

}  // namespace zefra::app
