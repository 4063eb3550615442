#include "preview/playback_view.h"

#include <QPainter>

#include "gif/gif_image.h"

namespace zefra::app {

PlaybackView::PlaybackView(QWidget* parent) : QWidget(parent) {
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  connect(&timer, &QTimer::timeout, this, &PlaybackView::tick);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

PlaybackView::~PlaybackView() { stop(); }

void PlaybackView::setImage(const gif::GifImage& image) {
  setPlayer(image.frames().empty() ? nullptr : std::make_shared<gif::AnimationPlayer>(image));
}

void PlaybackView::setPlayer(std::shared_ptr<gif::AnimationPlayer> newPlayer) {
  const bool hold = paused();
  const int heldFrame = currentFrame();
  stop();
  ++serial;
  player = std::move(newPlayer);
  run.reset();
  shown = QImage();
  updateGeometry();
  if (player && isVisible()) {
    start();
    if (hold && run && player->frameCount() > 1) {
      pause();
      // Step n of the first pass shows frame n.
      apply(run->seekStep(std::min(heldFrame, player->frameCount() - 1)));
    }
  }
  update();
  Q_EMIT playStateChanged();
}

void PlaybackView::togglePlay() {
  if (playing()) {
    pause();
  } else if (paused()) {
    resume();
  } else if (player) {
    start();
  }
}

void PlaybackView::pause() {
  if (!run || !run->running() || run->paused()) return;
  timer.stop();
  run->pause();
  Q_EMIT playStateChanged();
}

void PlaybackView::resume() {
  if (!paused()) return;
  apply(run->resume());
  Q_EMIT playStateChanged();
}

void PlaybackView::stepForward() {
  if (!run) return;
  pause();
  apply(run->stepForward());
  Q_EMIT playStateChanged();
}

void PlaybackView::stepBack() {
  if (!run) return;
  pause();
  apply(run->stepBack());
  Q_EMIT playStateChanged();
}

void PlaybackView::clear() { setPlayer(nullptr); }

QSize PlaybackView::imageSize() const { return player ? QSize(player->width(), player->height()) : QSize(); }

QSize PlaybackView::sizeHint() const { return player ? imageSize() : QSize(468, 60); }

void PlaybackView::start() {
  stop();
  if (!player) return;
  ++serial;
  run = std::make_unique<gif::PlaybackRun>(player, clock);
  apply(run->start());
  Q_EMIT playStateChanged();
}

void PlaybackView::stop() {
  timer.stop();
  if (run) run->stop();
}

void PlaybackView::tick() {
  if (run) apply(run->update());
}

void PlaybackView::apply(const gif::PlaybackUpdate& u) {
  const std::uint64_t current = serial;
  for (gif::PlaybackEvent e : u.events) {
    switch (e) {
      case gif::PlaybackEvent::PlayStart: Q_EMIT playStarted(); break;
      case gif::PlaybackEvent::FrameDraw: Q_EMIT frameDraw(u.frame); break;
      case gif::PlaybackEvent::FrameDrawn:
        if (u.pictureChanged) {
          const gif::RgbaImage& pic = run->picture();
          shown = QImage(pic.pixels.data(), pic.width, pic.height, pic.width * 4, QImage::Format_RGBA8888).copy();
          update();
        }
        Q_EMIT frameDrawn(u.frame);
        break;
      case gif::PlaybackEvent::PlayLoop: Q_EMIT playLooped(u.pass); break;
      case gif::PlaybackEvent::PlayEnd:
        Q_EMIT playEnded();
        Q_EMIT playStateChanged();
        break;
    }
    if (serial != current) return;  // a handler replaced, cleared or restarted the picture
  }
  if (u.waitMs) timer.start(static_cast<int>(std::min<std::int64_t>(*u.waitMs, 1 << 30)));
}

void PlaybackView::paintEvent(QPaintEvent*) {
  if (shown.isNull()) return;
  QPainter p(this);
  if (player && player->options().tile) {
    for (int y = 0; y < height(); y += shown.height())
      for (int x = 0; x < width(); x += shown.width()) p.drawImage(x, y, shown);
  } else {
    p.drawImage(rect(), shown);
  }
}

void PlaybackView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (player && !playing()) start();
}

void PlaybackView::hideEvent(QHideEvent* event) {
  stop();
  QWidget::hideEvent(event);
}

}  // namespace zefra::app
