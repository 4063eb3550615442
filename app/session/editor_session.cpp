#include "session/editor_session.h"

#include <algorithm>

namespace zefra::app {

EditorSession::EditorSession(std::string appDir, std::int16_t screenDpi, QObject* parent)
    : QObject(parent), core(std::move(appDir), screenDpi), texts(core.project().screenDpi) {
  frameCanvas.setTextLayerPainter(&texts);
  pictureClock.start();
  pictureTimer.setSingleShot(true);
  pictureTimer.setTimerType(Qt::PreciseTimer);
  connect(&pictureTimer, &QTimer::timeout, this, &EditorSession::advancePictureFrames);
  drawCurrentFrame();
}

void EditorSession::drawCurrentFrame() {
  frameCanvas.setSettings(render::canvasSettingsFor(core.project()));
  frameCanvas.setAnimationClock(pictureClock.elapsed());
  lastReport = frameCanvas.draw(core.project().current());
  schedulePictureFrames();
}

void EditorSession::schedulePictureFrames() {
  const std::int64_t now = pictureClock.elapsed();
  const auto next = frameCanvas.nextAnimationChange(now);
  if (!next) {
    pictureTimer.stop();
    return;
  }
  pictureTimer.start(static_cast<int>(std::clamp<std::int64_t>(*next - now, 0, 1 << 30)));
}

void EditorSession::advancePictureFrames() {
  if (frameCanvas.advanceAnimations(pictureClock.elapsed())) {
    lastReport = frameCanvas.draw(core.project().current());
    Q_EMIT pictureFrameChanged();
  }
  schedulePictureFrames();
}

void EditorSession::publish(const editor::Change& change) {
  if (!change.applied) {
    if (!change.message.empty()) Q_EMIT refused(QString::fromStdString(change.message));
    return;
  }
  // Nothing of the old project stays loaded in the canvas once another one replaces it.
  if (change.projectReplaced) frameCanvas.clear();
  if (change.currentFrameNeedsRedraw(core.project().currentFrame) || change.frameCountChanged) drawCurrentFrame();
  Q_EMIT changed(change);
}

editor::Change EditorSession::apply(const std::function<editor::Change(editor::Editor&)>& operation) {
  const editor::Change change = operation(core);
  publish(change);
  return change;
}

editor::Change EditorSession::setField(editor::Field field, long value) {
  return apply([&](editor::Editor& e) { return e.setField(field, value); });
}

editor::Change EditorSession::setField(editor::Field field, const QString& text) {
  const std::string bytes = text.toStdString();
  return apply([&](editor::Editor& e) { return e.setField(field, bytes); });
}

editor::Change EditorSession::newProject() {
  const editor::Change change = apply([](editor::Editor& e) { return e.newProject(); });
  Q_EMIT fileStateChanged();
  Q_EMIT lockFramesChanged(core.project().lockFrames);
  return change;
}

editor::LoadResult EditorSession::load(const std::filesystem::path& path) { return publishLoad(core.load(path)); }

editor::LoadResult EditorSession::recover(const std::filesystem::path& copy, const std::string& originalPath) {
  return publishLoad(core.recover(copy, originalPath));
}

editor::LoadResult EditorSession::publishLoad(const editor::LoadResult& result) {
  // Both notices come while the file is read: before the window shows the new project.
  if (!result.ok) Q_EMIT refused(QString::fromStdString(result.error));
  if (!result.warning.empty()) Q_EMIT warning(QString::fromStdString(result.warning));
  publish(result.change);
  Q_EMIT fileStateChanged();
  Q_EMIT lockFramesChanged(core.project().lockFrames);
  return result;
}

editor::SaveResult EditorSession::save() {
  const editor::SaveResult result = core.save();
  Q_EMIT fileStateChanged();
  return result;
}

editor::SaveResult EditorSession::saveAs(const std::filesystem::path& path) {
  const editor::SaveResult result = core.saveAs(path);
  Q_EMIT fileStateChanged();
  return result;
}

bool EditorSession::toggleLockFrames() {
  const bool locked = core.toggleLockFrames();
  Q_EMIT lockFramesChanged(locked);
  return locked;
}

void EditorSession::redrawCurrentFrame() {
  editor::Change change;
  change.frames.set(core.project().currentFrame);
  publish(change);
}

bool EditorSession::reloadPictures(const std::vector<int>& slots) {
  bool all = !slots.empty();
  for (int slot : slots) all = frameCanvas.refreshPicture(slot) && all;
  redrawCurrentFrame();
  return all;
}

}  // namespace zefra::app
