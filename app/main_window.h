#pragma once
// The main editor window "TfrmMainZefra", a shell: menus, toolbar, status bar, the work
// area "Panel1" with the canvas "RzPanel1", and the page control "PControl1". It owns the
// editor session and turns each menu command into a session operation; what an operation
// changed reaches every view through EditorSession::changed(). The rules live in the core.
//
// Property pages drop into the four tab pages (page(i)); they subscribe to
// session().changed(), fill their controls with the signals blocked, and edit through
// session().setField() and the other session operations.

#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <array>
#include <memory>

#include "editor/editor.h"
#include "editor/frame_tools.h"
#include "editor/gif_import.h"
#include "editor/recent_files.h"
#include "editor/settings_store.h"
#include "panels/property_pages.h"
#include "session/editor_session.h"
#include "support/user_prompts.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;

namespace zefra::app {

class AboutBox;
class Autosave;
class CanvasEditing;
class ExternalPictureEditor;
class FrameStrip;
class FrameView;
class HelpWindow;
class LayerCommands;
class UndoActions;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `arguments` are the command-line arguments after the program name: a project path,
  // optionally followed by "1". `prompts` answers the window's questions (the real
  // dialogs when null); `settingsStore` is the per-user store (QSettings when null).
  explicit MainWindow(const QStringList& arguments, std::unique_ptr<UserPrompts> prompts = nullptr,
                      std::unique_ptr<editor::SettingsStore> settingsStore = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  EditorSession& session() { return *editing; }
  const editor::Editor& editor() const { return editing->editor(); }
  QWidget* page(int index) const;
  const PropertyPages& propertyPages() const { return panels; }
  FrameView* canvas() const { return canvasView; }
  int helpContext() const { return currentHelpContext; }
  HelpWindow* help() const { return helpWindow; }
  const editor::RecentFilesMenu& recentFilesMenu() const { return recentMenu; }

  // The save prompt. Answers Yes, No or Cancel; on Yes the project has been saved, on Yes
  // or No `modified` is clear. When the user says Yes but the save does not happen (the
  // save dialog is cancelled or the write fails) the answer is Cancel, so no caller throws
  // the changes away.
  QMessageBox::StandardButton askToSaveChanges();

  // The load flow; answers whether the file was read. On failure the error is shown and
  // a new project is in place.
  bool openProject(const QString& path);

  // True while a long job runs ("Please wait..." in the first status pane).
  bool busy() const;
  // A close asked for during a long job, carried out when the job ends.
  bool closePending() const { return closeRequested; }
  // The desktop area the window may grow into when a label gets wider or taller.
  QRect desktopArea() const { return workAreaOfScreen; }

 public Q_SLOTS:
  void onNew();
  void onOpen();
  bool onSave();
  bool onSaveAs();
  void onRecentFile(int n);
  void onExit();
  void onInsertFrame();
  void onDeleteFrame();
  void onReverseFrames();
  void onLockFrames();
  void onNextFrame();
  void onPreviousFrame();
  void onFirstFrame();
  void onLastFrame();
  void onContents();
  void onContextHelp();
  void onAbout();
  // Frame tools, zoom and "Edit Picture..." (main_window_frame_tools.cpp).
  void onMoveFrameLeft();
  void onMoveFrameRight();
  void onTweenFrames();
  void onImportGif();
  void onEditPicture();
  // Banners for ad slots (main_window_banner.cpp).
  void onNewBanner();
  void onResizeBanner();
  void onExportGif();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildActions();
  void buildMenus();
  void buildToolBar();
  void buildCentralArea();
  void buildStatusBar();
  QAction* makeAction(const char* objectName, const QString& text, const QString& hint, const QString& iconName,
                      int fallbackIcon);

  void newProject();  // New without the prompt
  void showFirstPage();
  void firstActivation();
  void offerRecovery();
  void showChange(const editor::Change& change);
  void showCanvas();
  void showFileState();
  void updateFramePane();
  void buildFrameToolActions();
  void buildFrameToolMenus(QMenu* edit, QMenu* view);
  void buildFrameToolButtons();
  // Import GIF of a chosen file into the project; the slow part of an import, off this
  // thread with a progress dialog that can cancel it.
  void importGifFile(const QString& gif);
  editor::PreparedGifImport prepareGifInBackground(const editor::GifImportPlan& plan, const QString& gif,
                                                   const QString& pictureFolder);
  // File > Open, the command line and a drop: a .lbl opens, a GIF becomes a new project
  // through Import GIF (main_window_drop.cpp). Neither asks the save prompt.
  bool openFile(const QString& path);
  bool openGif(const QString& gif);
  void openDroppedFile(const QString& path);
  void buildCanvasEditing();
  // The frame strip under the canvas and the frame keys (main_window_strip.cpp).
  void buildFrameStrip();
  int frameStripHeight() const;  // with the gap below it; 0 before it is built
  void placeFrameStrip(int left, int top, int width);
  static constexpr int kStripGap = 6;
  void buildAlignMenu();  // after the canvas editing (main_window_align.cpp)
  void buildLayerCommands();  // after the property pages (main_window_layers.cpp)
  void updateFrameToolActions();
  void buildBannerActions();
  void buildBannerMenus(QMenu* file, QMenu* edit);
  void connectExportPreferences();
  void loadExportPreferences();
  void updateZoomActions();
  QSize canvasRoom() const;
  void beginLongJob(bool disablePreview);
  void endLongJob();
  void readSettings();
  void writeSettings();
  void rememberRecentFile(const QString& path);
  void rebuildRecentMenu();
  void showError(const QString& text);
  void applyLayout();
  void onPageChanged(int index);

  EditorSession* editing = nullptr;
  std::unique_ptr<UserPrompts> prompts;
  std::unique_ptr<editor::SettingsStore> settingsStore;
  editor::RecentFilesMenu recentMenu;

  QStringList arguments;
  int currentHelpContext = 1;
  int workAreaBaselineHeight = 0;
  int windowBaselineHeight = 0;
  bool shownOnce = false;
  bool inLayout = false;
  bool openFileOnActivate = false;  // the command line named a project
  bool closeRequested = false;
  QRect workAreaOfScreen;  // the desktop area the window may grow into

  QWidget* workArea = nullptr;  // "Panel1"
  FrameView* canvasView = nullptr;
  FrameStrip* frameStrip = nullptr;  // "Frames", under the canvas
  QTabWidget* pages = nullptr;  // "PControl1"
  QLabel* statusPane = nullptr;  // "RzPane1"
  QLabel* framePane = nullptr;   // "RzPane2"
  QLabel* objectPane = nullptr;  // "RzPane4"
  QString shownLoadFailure;      // the picture or texture error objectPane shows, if any
  QToolBar* toolBar = nullptr;
  QMenu* recentFiles = nullptr;  // "Recent &Files"
  std::array<QAction*, editor::kRecentFileCount> recentItems{};

  QAction* newAction = nullptr;
  QAction* openAction = nullptr;
  QAction* saveAction = nullptr;
  QAction* saveAsAction = nullptr;
  QAction* exitAction = nullptr;
  QAction* insertAction = nullptr;
  QAction* deleteAction = nullptr;
  QAction* duplicateAction = nullptr;
  QAction* reverseAction = nullptr;
  QAction* lockAction = nullptr;
  QAction* nextAction = nullptr;
  QAction* previousAction = nullptr;
  QAction* firstAction = nullptr;
  QAction* lastAction = nullptr;
  QAction* previewAction = nullptr;
  QAction* contentsAction = nullptr;
  QAction* aboutAction = nullptr;
  QAction* moveLeftAction = nullptr;
  QAction* moveRightAction = nullptr;
  QAction* tweenAction = nullptr;
  QAction* importGifAction = nullptr;
  editor::TweenOptions lastTweenChoice{0, editor::Easing::Linear, true, 0};  // the dialog keeps delays at first
  QActionGroup* zoomGroup = nullptr;
  QAction* zoomFitAction = nullptr;
  QAction* zoomInAction = nullptr;
  QAction* zoomOutAction = nullptr;
  CanvasEditing* canvasEditor = nullptr;
  ExternalPictureEditor* pictureEditor = nullptr;
  QAction* newBannerAction = nullptr;
  QAction* resizeBannerAction = nullptr;
  QAction* exportGifAction = nullptr;
  QAction* saveUntitledAction = nullptr;  // Ctrl+S while the project has no file
  QLabel* exportPane = nullptr;           // "Exported NAME.gif: 33.6 KB"
  std::string preferencesFile;            // whose export choices the GIF page shows
  bool preferencesLoaded = false;

  PropertyPages panels;
  UndoActions* undoActions = nullptr;
  LayerCommands* layerCommands = nullptr;
  Autosave* autosaver = nullptr;
  AboutBox* aboutBox = nullptr;
  HelpWindow* helpWindow = nullptr;
};

}  // namespace zefra::app
