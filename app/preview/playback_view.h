#pragma once
// Shows a GifImage and plays it: the core player decides what is on screen when, a
// single-shot QTimer on the GUI thread wakes it exactly when the picture changes next
// (no busy waiting, no thread). The picture is stretched over the widget, or repeated at
// its natural size when the image asks for tiling. Transparent pixels show the widget's
// background. Playback stops when the picture is replaced or cleared, when the widget is
// hidden, and when it is destroyed; showing it again starts from the first frame. It can
// be paused and stepped frame by frame; a picture replaced while paused (a rebuild after
// an edit) is held at the same frame.

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "gif/animation_player.h"

namespace zefra::gif {
class GifImage;
}

namespace zefra::app {

class PlaybackView : public QWidget {
  Q_OBJECT

 public:
  explicit PlaybackView(QWidget* parent = nullptr);
  ~PlaybackView() override;

  // Plays `image` (a copy of what is needed is taken; the image may change afterwards).
  void setImage(const gif::GifImage& image);
  void setPlayer(std::shared_ptr<gif::AnimationPlayer> player);
  void clear();

  // Play/Pause: pauses a playing animation, goes on with a paused one, and plays an
  // ended one again from the start.
  void togglePlay();
  void pause();
  void resume();
  // One frame on or back (wrapping), pausing playback.
  void stepForward();
  void stepBack();

  bool hasPicture() const { return static_cast<bool>(player); }
  bool playing() const { return run && run->running() && !run->paused(); }
  bool paused() const { return run && run->paused(); }
  // Frames that take part in playback (0 without a picture).
  int frameCount() const { return player ? player->frameCount() : 0; }
  int currentFrame() const { return run ? run->currentStep().frame : -1; }
  int currentPass() const { return run ? run->currentStep().pass : 0; }
  const QImage& picture() const { return shown; }
  QSize imageSize() const;
  QSize sizeHint() const override;

 Q_SIGNALS:
  void playStarted();
  void frameDraw(int frame);
  void frameDrawn(int frame);
  void playLooped(int pass);
  void playEnded();
  // Playing, paused or ended: playing() or paused() changed.
  void playStateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  class Clock : public gif::PlaybackClock {
   public:
    Clock() { elapsed.start(); }
    std::int64_t nowMs() const override { return elapsed.elapsed(); }
    QElapsedTimer elapsed;
  };
  void start();
  void stop();
  void tick();
  void apply(const gif::PlaybackUpdate& update);

  Clock clock;
  QTimer timer;
  std::shared_ptr<gif::AnimationPlayer> player;
  std::unique_ptr<gif::PlaybackRun> run;
  QImage shown;
  std::uint64_t serial = 0;  // changes whenever playback restarts or the picture changes
};

}  // namespace zefra::app
