#include "widgets/thumbnail_renderer.h"

#include <QMetaObject>
#include <functional>
#include <utility>
#include <string_view>

#include "render/text_layer_renderer.h"

namespace zefra::app {

std::uint64_t recordKey(const model::FrameRecord& record) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

ThumbnailRenderer::ThumbnailRenderer(QObject* parent) : QObject(parent) {
  glyphs.setUseDiskCache(false);
  worker = std::thread([this] { run(); });
}

ThumbnailRenderer::~ThumbnailRenderer() {
  {
    std::lock_guard<std::mutex> guard(lock);
    quitting = true;
    pending.clear();
  }
  wake.notify_all();
  worker.join();
}

void ThumbnailRenderer::request(std::vector<Job> jobs, const render::CanvasSettings& settings, QSize box) {
  {
    std::lock_guard<std::mutex> guard(lock);
    ++generation;
    undelivered = static_cast<int>(jobs.size());
    pending = std::move(jobs);
    pendingSettings = settings;
    pendingBox = box;
  }
  wake.notify_all();
}

void ThumbnailRenderer::rereadFiles() {
  std::lock_guard<std::mutex> guard(lock);
  reread = true;
}

int ThumbnailRenderer::waiting() const {
  std::lock_guard<std::mutex> guard(lock);
  return undelivered;
}

void ThumbnailRenderer::run() {
  std::unique_ptr<render::TextLayerRenderer> texts;
  int textDpi = 0;
  render::FrameCanvas canvas;
  for (;;) {
    Job job;
    QSize box;
    std::uint64_t ticket = 0;
    {
      std::unique_lock<std::mutex> guard(lock);
      wake.wait(guard, [this] { return quitting || !pending.empty(); });
      if (quitting) return;
      // The frame in view comes first: the strip lists them in order, so take from the front.
      job = pending.front();
      pending.erase(pending.begin());
      canvas.setSettings(pendingSettings);
      box = pendingBox;
      ticket = generation;
      if (std::exchange(reread, false)) canvas.clear();
    }
    const int dpi = canvas.settings().screenDpi > 0 ? canvas.settings().screenDpi : 96;
    if (!texts || dpi != textDpi) {
      texts = std::make_unique<render::TextLayerRenderer>(dpi, glyphs);
      textDpi = dpi;
      canvas.setTextLayerPainter(texts.get());
    }
    canvas.draw(job.record);
    const raster::FastBitmap& bitmap = canvas.bitmap();
    QImage thumbnail;
    if (!bitmap.empty()) {
      const QImage full(bitmap.bits(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.stride()),
                        QImage::Format_BGR888);
      thumbnail = full.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QMetaObject::invokeMethod(
        this,
        [this, key = job.key, thumbnail, ticket] {
          {
            // A thumbnail of an older request is still right for its record; only the
            // newest request is counted.
            std::lock_guard<std::mutex> guard(lock);
            if (ticket == generation) --undelivered;
          }
          Q_EMIT drawn(key, thumbnail);
        },
        Qt::QueuedConnection);
  }
}

}  // namespace zefra::app
