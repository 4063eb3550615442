#pragma once
// The editor's side of the GIF preview: "&GIF Preview" builds the animation in the
// background (wait cursor, "Please wait...", a progress bar; the window stays live and a
// close request cancels it), then shows it in the preview window and fills the palette
// panel. The palette panel's edits change the built image and refresh the preview; a
// change of the GIF settings rebuilds an open preview; "Save GIF..." writes the built
// image. The figures are measured on the encoded bytes in memory, never via a file.

#include <QColor>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "editor/editor.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "preview/background_export.h"
#include "preview/preview_prompts.h"
#include "preview/preview_window.h"
#include "widgets/palette_panel.h"

class QAction;
class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace zefra::app {


struct PreviewHost {
  QWidget* window = nullptr;  // parent of the preview and of the dialogs
  std::function<const model::LabelProject&()> project;
  // The project's GIF settings with the state of the "Loop" check box.
  std::function<exporter::ExportSettings()> settings;
  std::function<QColor()> workAreaColor;
  QAction* previewAction = nullptr;  // "MStart"; the toolbar button "RzStart" shares it
  QLabel* statusPane = nullptr;      // "RzPane1"
  QStatusBar* statusBar = nullptr;   // receives the progress bar
  // "Set Color as Transparent": the project's transparent colour becomes `color` and
  // "Transparent GIF" is checked, through the editor (one undoable edit).
  std::function<void(Color color)> makeTransparent;
};

class PreviewController : public QObject {
  Q_OBJECT

 public:
  PreviewController(PreviewHost host, std::unique_ptr<PreviewPrompts> prompts = nullptr, QObject* parent = nullptr);
  ~PreviewController() override;

  void setPalettePanel(PalettePanel* panel);

  // MStartClick: CreateGIF in the background, then ShowGIF.
  void startPreview();
  // The GIF property handlers: rebuild when the preview is open.
  void rebuildIfOpen();
  // What the session reports after an edit: GIF settings rebuild an open preview, any
  // other change of the frames clears the palette panel (it no longer shows the colours
  // the project would give).
  void projectChanged(const editor::Change& change);
  // SaveGIF.
  void saveGif();
  // A close request during the export: stop it now.
  void cancel();

  bool busy() const { return exporter.busy(); }
  bool previewOpen() const;
  PreviewWindow* window() const { return preview; }
  const gif::GifImage* image() const { return built.get(); }
  std::uint64_t fileSize() const { return builtSize; }

 Q_SIGNALS:
  void busyChanged(bool busy);
  void previewShown();
  void previewClosed();

 private:
  void exportFinished(const ExportResult& result);
  void showGif();
  void endJob();
  void previewWindowClosed();
  void editColor(int index);
  void deleteColor(int index);
  void setTransparent(int index);

  PreviewHost host;
  std::unique_ptr<PreviewPrompts> prompts;
  BackgroundExport exporter;
  QPointer<PreviewWindow> preview;
  QPointer<PalettePanel> palette;
  QProgressBar* progressBar = nullptr;
  std::shared_ptr<gif::GifImage> built;
  std::uint64_t builtSize = 0;
  int builtFrameCount = 0;
  bool cursorOverridden = false;
};

}  // namespace zefra::app
