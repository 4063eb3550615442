#pragma once
// Draws frame thumbnails on a worker thread of its own, so a strip of 127 frames never
// holds up typing: each request replaces whatever still waits, and every thumbnail comes
// back, on the thread that owns this object, under the key the caller gave its record.

#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "model/frame_record.h"
#include "render/frame_canvas.h"
#include "text3d/glyph_cache.h"

namespace zefra::app {

class ThumbnailRenderer : public QObject {
  Q_OBJECT

 public:
  struct Job {
    std::uint64_t key = 0;
    model::FrameRecord record{};
  };

  explicit ThumbnailRenderer(QObject* parent = nullptr);
  ~ThumbnailRenderer() override;  // drops what waits and waits for the frame being drawn

  // Draws each record scaled to fit `box`; what was asked before and is not drawn yet is
  // forgotten (ask again for what is still wanted).
  void request(std::vector<Job> jobs, const render::CanvasSettings& settings, QSize box);
  // Thumbnails requested and not delivered yet.
  int waiting() const;
  // Picture and texture files are read again for the next thumbnails (they changed on disk).
  void rereadFiles();

 Q_SIGNALS:
  void drawn(quint64 key, const QImage& thumbnail);

 private:
  void run();

  std::thread worker;
  mutable std::mutex lock;
  std::condition_variable wake;
  std::vector<Job> pending;  // guarded by lock
  render::CanvasSettings pendingSettings;
  QSize pendingBox;
  std::uint64_t generation = 0;  // guarded by lock; a new request makes older jobs stale
  int undelivered = 0;           // guarded by lock
  bool quitting = false;
  bool reread = false;  // guarded by lock
  // Glyphs for this worker only: the program's shared cache serves the GUI thread.
  text3d::GlyphCache glyphs;
};

// A key that changes whenever a byte of the record does.
std::uint64_t recordKey(const model::FrameRecord& record);

}  // namespace zefra::app
