#pragma once
// The editor's side of the GIF preview: "&GIF Preview" builds the animation in the
// background (wait cursor, "Please wait...", a progress bar; the window stays live and a
// close request cancels it), then shows it in the preview window, fills the palette panel
// and brings the "GIF Properties" page forward. While the preview is open it follows the
// project: every edit that changes the GIF rebuilds it in the background after the same
// pause as the live size ("Updating..." in the preview meanwhile), so the picture and the
// four figures are always those of the GIF "Save GIF..." writes, and a save asked for
// during a rebuild waits for it. The palette panel's edits change the built image until
// the next rebuild. The figures are measured on the encoded bytes in memory.

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "editor/editor.h"
#include "export/ad_check.h"
#include "export/export_settings.h"
#include "gif/gif_image.h"
#include "model/label_project.h"
#include "preview/background_export.h"
#include "preview/gif_size_meter.h"
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
  // After the preview command's build and after "Save GIF...": the "GIF Properties" page,
  // where the palette of the new GIF is, comes forward.
  std::function<void()> showPalettePage;
  // The size limit in bytes (0: none): the preview and Save GIF then show and write the best
  // GIF that fits, as Export GIF does.
  std::function<std::uint64_t()> sizeLimit;
  // The ad profile the preview checks its GIF against; nothing hides the "Check:" pane.
  std::function<std::optional<exporter::AdProfile>()> adProfile;
  // The colour a transparent export actually made transparent ("Transp. Color:" shows it).
  std::function<void(Color color)> showTransparentColor;
};

class PreviewController : public QObject {
  Q_OBJECT

 public:
  // The pause after an edit before an open preview is rebuilt: the live size's.
  static constexpr int kPauseMs = GifSizeMeter::kPauseMs;

  PreviewController(PreviewHost host, std::unique_ptr<PreviewPrompts> prompts = nullptr, QObject* parent = nullptr);
  ~PreviewController() override;

  void setPalettePanel(PalettePanel* panel);
  // Tests answer the preview's questions themselves.
  void setPrompts(std::unique_ptr<PreviewPrompts> replacement);

  // MStartClick: CreateGIF in the background, then ShowGIF.
  void startPreview();
  // An export choice that the project does not store changed ("Loop", "Classic export"):
  // an open preview is rebuilt.
  void rebuildIfOpen();
  // What the session reports after an edit: an open preview (or one being built) is
  // rebuilt after the pause; another project closes the preview.
  void projectChanged(const editor::Change& change);
  // SaveGIF: writes the GIF of the project as it is now, after the rebuild under way.
  void saveGif();
  // A close request during the export: stop it now.
  void cancel();

  // A build runs or waits for its pause.
  bool busy() const { return exporter.busy() || pause.isActive(); }
  // The preview shows the GIF of the project as it is now.
  bool upToDate() const { return built && !busy(); }
  bool previewOpen() const;
  PreviewWindow* window() const { return preview; }
  const gif::GifImage* image() const { return built.get(); }
  std::uint64_t fileSize() const { return builtSize; }
  // Exports begun for the preview, for tests: a refused one never begins.
  int exportsRun() const { return exporter.jobsRun(); }

 Q_SIGNALS:
  void busyChanged(bool busy);
  void previewShown();
  void previewClosed();
  // A save the user asked for has been written (or failed).
  void gifSaved(bool ok);

 private:
  void scheduleRebuild();
  void startExport();
  void exportFinished(const ExportResult& result);
  void showGif();
  void endJob();
  void stopRebuild();
  void previewWindowClosed();
  void writeGif(const QString& path);
  void editColor(int index);
  void deleteColor(int index);
  void setTransparent(int index);

  PreviewHost host;
  std::unique_ptr<PreviewPrompts> prompts;
  BackgroundExport exporter;
  QTimer pause;
  QPointer<PreviewWindow> preview;
  QPointer<PalettePanel> palette;
  QProgressBar* progressBar = nullptr;
  std::shared_ptr<gif::GifImage> built;
  std::uint64_t builtSize = 0;
  int builtFrameCount = 0;
  int requestedFrameCount = 0;
  QString limitNote;  // what the size limit changed in the GIF shown
  bool cursorOverridden = false;
  bool commandBuild = false;   // the build of "&GIF Preview", which opens the window
  bool saveWhenBuilt = false;  // "Save GIF..." waits for the rebuild under way
  bool transparencyAsked = false;  // "Set Color as Transparent" awaits its rebuild
};

}  // namespace zefra::app
