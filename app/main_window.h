#pragma once
// The main editor window "TfrmMainZefra": the work area "Panel1" with the canvas
// "RzPanel1", the page control "PControl1", menus, toolbar and status bar. It owns the one
// editor::Editor and turns each user action into an editor operation, then shows the
// result; the rules themselves live in the core.
//
// Property panels drop into the four tab pages (page(i)); they fill themselves on
// fillPanels() (emitted while updatingControls is set), edit through editor(), and call
// showEditResult() so the canvas and the caption follow.

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>

#include "editor/editor.h"
#include "editor/recent_files.h"
#include "editor/settings_store.h"
#include "render/frame_canvas.h"
#include "render/text_layer_renderer.h"
#include "user_prompts.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;

namespace zefra::app {

class AboutBox;
class FrameView;
class HelpWindow;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `arguments` are the command-line arguments after the program name: a project path,
  // optionally followed by "1". `prompts` answers the window's questions (the real
  // dialogs when null); `settingsStore` is the per-user store (QSettings when null).
  explicit MainWindow(const QStringList& arguments, std::unique_ptr<UserPrompts> prompts = nullptr,
                      std::unique_ptr<editor::SettingsStore> settingsStore = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  editor::Editor& editor() { return *core; }
  const editor::Editor& editor() const { return *core; }
  QWidget* page(int index) const;
  FrameView* canvas() const { return canvasView; }
  int helpContext() const { return currentHelpContext; }
  HelpWindow* help() const { return helpWindow; }
  const editor::RecentFilesMenu& recentFilesMenu() const { return recentMenu; }

  // The save prompt. Answers Yes, No or Cancel; on Yes the project has been saved, on Yes
  // or No `modified` is clear. When the user says Yes but the save does not happen (the
  // save dialog is cancelled or the write fails) the answer is Cancel, so no caller throws
  // the changes away.
  QMessageBox::StandardButton modifyMsg();

  // The load flow; answers whether the file was read. On failure the error is shown and
  // a new project is in place.
  bool labelOpen(const QString& path);

  // Redraws the canvas and the frame pane after an edit made through editor().
  void showEditResult(const editor::Change& change);

  // True while a long job runs ("Please wait..." in the first status pane).
  bool busy() const;

 Q_SIGNALS:
  void fillPanels();  // refill every control from the current frame ("DAT")
  void lockFramesChanged(bool locked);

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

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
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
  void firstActivation();
  void refreshAll();  // DAT and PNT
  void drawCanvas();  // PNT
  void refillPanels();
  void updateCaption();
  void updateFramePane();
  void updateSaveEnabled();
  void updateObjectPane(int x, int y);
  void showChange(const editor::Change& change);
  void beginLongJob(bool disablePreview);
  void endLongJob();
  void readSettings();
  void writeSettings();
  void rememberRecentFile(const QString& path);
  void rebuildRecentMenu();
  void showError(const QString& text);
  void applyLayout();
  void onPageChanged(int index);

  std::unique_ptr<editor::Editor> core;
  render::TextLayerRenderer textRenderer;
  render::FrameCanvas frameCanvas;  // the core's picture of the current frame
  std::unique_ptr<UserPrompts> prompts;
  std::unique_ptr<editor::SettingsStore> settingsStore;
  editor::RecentFilesMenu recentMenu;

  QStringList arguments;
  int currentHelpContext = 1;
  int workAreaBaselineHeight = 0;
  int windowBaselineHeight = 0;
  bool shownOnce = false;
  bool inLayout = false;

  QWidget* workArea = nullptr;  // "Panel1"
  FrameView* canvasView = nullptr;
  QTabWidget* pages = nullptr;  // "PControl1"
  QLabel* statusPane = nullptr;  // "RzPane1"
  QLabel* framePane = nullptr;   // "RzPane2"
  QLabel* objectPane = nullptr;  // "RzPane4"
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
  QAction* reverseAction = nullptr;
  QAction* lockAction = nullptr;
  QAction* nextAction = nullptr;
  QAction* previousAction = nullptr;
  QAction* firstAction = nullptr;
  QAction* lastAction = nullptr;
  QAction* previewAction = nullptr;
  QAction* contentsAction = nullptr;
  QAction* aboutAction = nullptr;

  AboutBox* aboutBox = nullptr;
  HelpWindow* helpWindow = nullptr;
};

}  // namespace zefra::app
