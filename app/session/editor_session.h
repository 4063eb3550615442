#pragma once
// The editor session: owns the core editor, the frame canvas and the text renderer, and
// is the one road by which the window learns what changed. Every edit goes through it;
// after an operation that changed something it draws the current frame when the change
// concerns it, then emits changed() once. The canvas view, the status bar, each property
// page, the preview and the palette subscribe to changed() and refresh what the Change
// says concerns them. A refused operation changes nothing and emits refused() with the
// message to show.
//
// A page that fills its controls from project() blocks their signals (QSignalBlocker) so
// filling never writes back.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "editor/field_table.h"
#include "render/frame_canvas.h"
#include "render/text_layer_renderer.h"

namespace zefra::app {

class EditorSession : public QObject {
  Q_OBJECT

 public:
  EditorSession(std::string appDir, std::int16_t screenDpi, QObject* parent = nullptr);

  const editor::Editor& editor() const { return core; }
  const model::LabelProject& project() const { return core.project(); }
  // The picture of the current frame, up to date whenever changed() is emitted.
  const render::FrameCanvas& canvas() const { return frameCanvas; }
  // What the last drawing resolved and could not draw.
  const render::LayoutReport& layoutReport() const { return lastReport; }
  render::TextLayerRenderer& textRenderer() { return texts; }

  // Runs one editor operation and publishes its result: changed() when it was applied,
  // refused() with its message when it was not. Answers the operation's Change.
  editor::Change apply(const std::function<editor::Change(editor::Editor&)>& operation);

  // The field-table edits of the property pages.
  editor::Change setField(editor::Field field, long value);
  editor::Change setField(editor::Field field, const QString& text);
  // Ends the merging of a run of spin steps or typing into one undo step.
  void closeMerge() { core.closeMerge(); }

  // Project lifecycle. load() emits warning() (the 1.02 notice) or refused() (the read
  // error; a new project is then in place) before changed(), so the notice shows while
  // the file is read, before the window shows the loaded or the new project.
  editor::Change newProject();
  editor::LoadResult load(const std::filesystem::path& path);
  // Opens a recovery copy as the modified project it was taken from (Editor::recover),
  // with the same signals as load().
  editor::LoadResult recover(const std::filesystem::path& copy, const std::string& originalPath);
  editor::SaveResult save();
  editor::SaveResult saveAs(const std::filesystem::path& path);
  void discardChanges() { core.discardChanges(); }
  void setProjectDir(std::string_view folder) { core.setProjectDir(folder); }
  bool toggleLockFrames();

  // Draws the current frame again (after a picture changed on disk, say) and publishes it
  // as a redraw of that frame.
  void redrawCurrentFrame();
  // Reads the pictures of these slots (1..10) of the current frame again from their file
  // (edited in another program) and redraws; a file that cannot be read now keeps the
  // pictures shown. Answers whether every slot was read.
  bool reloadPictures(const std::vector<int>& slots);

 Q_SIGNALS:
  void changed(const editor::Change& change);
  void refused(const QString& message);
  void warning(const QString& message);
  // Lock Frames was switched; pages recolour their per-frame captions.
  void lockFramesChanged(bool locked);
  // Saving, Save as or a load changed the file name, the title or the modified flag.
  void fileStateChanged();
  // An animated GIF picture on the canvas moved on to its next frame: canvas() shows it.
  // The project did not change.
  void pictureFrameChanged();

 private:
  void publish(const editor::Change& change);
  editor::LoadResult publishLoad(const editor::LoadResult& result);
  void drawCurrentFrame();
  // Animated GIF pictures play on the canvas from the moment their slot loads them: a
  // single-shot timer wakes when one changes next, and stops when none will (the slot
  // changed, the picture hid, the project closed).
  void schedulePictureFrames();
  void advancePictureFrames();
  QElapsedTimer pictureClock;
  QTimer pictureTimer;

  editor::Editor core;
  render::TextLayerRenderer texts;
  render::FrameCanvas frameCanvas;
  render::LayoutReport lastReport;
};

}  // namespace zefra::app

Q_DECLARE_METATYPE(zefra::editor::Change)
