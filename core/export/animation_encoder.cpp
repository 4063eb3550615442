#include "export/animation_encoder.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "colour/color_histogram.h"
#include "export/frame_mapper.h"
#include "export/frame_packer.h"
#include "export/ordered_workers.h"

namespace zefra::exporter {

namespace {

void checkSize(const raster::FastBitmap& bitmap, int width, int height, int frameNumber) {
  if (bitmap.width() != width || bitmap.height() != height) {
    throw std::runtime_error("Frame " + std::to_string(frameNumber) + " was rendered at " +
                             std::to_string(bitmap.width()) + " x " + std::to_string(bitmap.height()) +
                             " instead of " + std::to_string(width) + " x " + std::to_string(height));
  }
}

int threadCount(const EncodeOptions& options) {
  if (options.threads > 0) return options.threads;
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
}

// The frame sources of the drawing threads: the caller's, then one more from the
// options' maker for each thread that draws at the same time as the others.
class SourcePool {
 public:
  SourcePool(const FrameSource& first, const std::function<FrameSource()>& make) : make(make) { idle.push_back(&first); }

  const FrameSource* take() {
    std::lock_guard<std::mutex> guard(lock);
    if (idle.empty()) {
      made.push_back(std::make_unique<FrameSource>(make()));
      return made.back().get();
    }
    const FrameSource* source = idle.back();
    idle.pop_back();
    return source;
  }
  void giveBack(const FrameSource* source) {
    std::lock_guard<std::mutex> guard(lock);
    idle.push_back(source);
  }

 private:
  const std::function<FrameSource()>& make;
  std::mutex lock;
  std::vector<const FrameSource*> idle;
  std::vector<std::unique_ptr<FrameSource>> made;
};

// Pass one when the frames fit the memory budget: each frame is drawn once, on worker
// threads, while this thread counts their colours in frame order.
std::vector<raster::FastBitmap> drawAndCount(const EncodeTarget& target, const FrameSource& frames,
                                             const EncodeOptions& options, colour::ColorHistogram& histogram,
                                             const ExportProgress& progress) {
  const int count = target.frameCount;
  std::vector<raster::FastBitmap> kept(static_cast<std::size_t>(count));
  SourcePool sources(frames, options.threadSource);
  const int drawing = options.threadSource ? threadCount(options) : 1;
  OrderedWorkers workers(count, [&](int i) {
    const FrameSource* source = sources.take();
    raster::FastBitmap bitmap;
    try {
      bitmap = (*source)(i + 1);
    } catch (...) {
      sources.giveBack(source);
      throw;
    }
    sources.giveBack(source);
    checkSize(bitmap, target.width, target.height, i + 1);
    kept[static_cast<std::size_t>(i)] = std::move(bitmap);
  }, drawing);
  for (int i = 0; i < count; ++i) {
    workers.waitFor(i);
    countColours(target, kept[static_cast<std::size_t>(i)], histogram);
    if (progress) progress(ExportStage::Rendering, i + 1, count);
  }
  return kept;
}

// Pass one when they do not: every frame is drawn, counted and dropped.
void countEachFrame(const EncodeTarget& target, const FrameSource& frames, colour::ColorHistogram& histogram,
                    const ExportProgress& progress) {
  for (int i = 1; i <= target.frameCount; ++i) {
    const raster::FastBitmap bitmap = frames(i);
    checkSize(bitmap, target.width, target.height, i);
    countColours(target, bitmap, histogram);
    if (progress) progress(ExportStage::Rendering, i, target.frameCount);
  }
}

// Mapped frames handed from the mapping thread to the packing one, a few at a time.
class MappedQueue {
 public:
  void push(MappedFrame frame) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return waiting.size() < kDepth || closed; });
    if (closed) return;
    waiting.push_back(std::move(frame));
    changed.notify_all();
  }
  // Rethrows what the mapping thread threw.
  MappedFrame pop() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return !waiting.empty() || error; });
    if (waiting.empty()) std::rethrow_exception(error);
    MappedFrame frame = std::move(waiting.front());
    waiting.pop_front();
    changed.notify_all();
    return frame;
  }
  void fail(std::exception_ptr e) {
    std::lock_guard<std::mutex> guard(lock);
    error = e;
    changed.notify_all();
  }
  // The packing side gives up: a waiting push returns, later ones drop their frame.
  void close() {
    std::lock_guard<std::mutex> guard(lock);
    closed = true;
    changed.notify_all();
  }
  bool isClosed() {
    std::lock_guard<std::mutex> guard(lock);
    return closed;
  }

 private:
  static constexpr std::size_t kDepth = 4;
  std::mutex lock;
  std::condition_variable changed;
  std::deque<MappedFrame> waiting;
  std::exception_ptr error;
  bool closed = false;
};

void packFrame(FramePacker& packer, const MappedFrame& frame, const FittedPalette& fitted, int delayMs) {
  ScreenPicture picture;
  picture.indices = &frame.indices;
  picture.localTable = !frame.localTable.empty();
  picture.table = picture.localTable ? &frame.localTable : &fitted.table;
  picture.transparentIndex = frame.transparentIndex;
  picture.delayCs = delayCentiseconds(delayMs);
  packer.add(picture);
}

// Pass two: frame i (0-based) comes from next(i), is mapped and packed in order. With more
// than one thread the mapping runs on its own thread, a few frames ahead of the packing.
std::uint64_t mapAndPack(const EncodeTarget& target, const std::function<raster::FastBitmap(int)>& next,
                         FrameMapper& mapper, const FittedPalette& fitted, FramePacker& packer,
                         const std::vector<int>& delaysMs, int threads, const ExportProgress& progress) {
  std::uint64_t clearPixels = 0;
  const auto pack = [&](const MappedFrame& frame, int i) {
    clearPixels += frame.clearPixels;
    packFrame(packer, frame, fitted, delaysMs[static_cast<std::size_t>(i)]);
    if (progress) progress(ExportStage::Assembling, i + 1, target.frameCount);
  };
  if (threads <= 1 || target.frameCount == 1) {
    for (int i = 0; i < target.frameCount; ++i) pack(mapper.map(next(i)), i);
    return clearPixels;
  }
  MappedQueue queue;
  std::thread mapping([&] {
    try {
      for (int i = 0; i < target.frameCount && !queue.isClosed(); ++i) queue.push(mapper.map(next(i)));
    } catch (...) {
      queue.fail(std::current_exception());
    }
  });
  try {
    for (int i = 0; i < target.frameCount; ++i) pack(queue.pop(), i);
  } catch (...) {
    queue.close();
    mapping.join();
    throw;
  }
  mapping.join();
  return clearPixels;
}

}  // namespace

Color targetColorFor(model::PaletteKind kind, Color color) {
  const int r = redOf(color), g = greenOf(color), b = blueOf(color);
  switch (kind) {
    case model::PaletteKind::Netscape: {
      // The nearest cube level, as the classic cube lookup rounds.
      auto step = [](int c) { return static_cast<std::uint8_t>((c + 25) / 51 * 51); };
      return rgb(step(r), step(g), step(b));
    }
    case model::PaletteKind::Grayscale: {
      const auto y = static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b) >> 8);
      return rgb(y, y, y);
    }
    default:
      return color & 0xFFFFFF;
  }
}

ExportReport encodeAnimation(int frameCount, int width, int height, const FrameSource& frames,
                             const std::vector<int>& delaysMs, const ExportSettings& settings, gif::GifImage& image,
                             const ExportProgress& progress, EncodeReport* details, const EncodeOptions& options) {
  if (frameCount < 1) throw std::invalid_argument("A project has at least one frame");
  if (static_cast<int>(delaysMs.size()) != frameCount) throw std::invalid_argument("One delay per frame is needed");
  if (width < 1 || height < 1) throw std::runtime_error("Invalid image dimensions");
  const EncodeTarget target = encodeTargetOf(frameCount, width, height, settings);

  // Pass one: the colours of the whole animation, from frames kept for pass two when they
  // fit the budget.
  const bool keep = static_cast<double>(target.framePixels()) * 3.0 * frameCount <=
                    static_cast<double>(options.frameMemoryBudget);
  colour::ColorHistogram histogram;
  std::vector<raster::FastBitmap> kept;
  if (keep) {
    kept = drawAndCount(target, frames, options, histogram, progress);
  } else {
    countEachFrame(target, frames, histogram, progress);
  }
  const FittedPalette fitted = fitPalette(target, histogram);

  image.resetImage();
  image.compressionKind = gif::CompressionKind::Lzw;
  image.setScreenWidth(width);
  image.setScreenHeight(height);
  image.globalTable().importColors(fitted.table);

  // Pass two: each frame mapped to the palette and packed into the image.
  FrameMapper mapper(target, fitted);
  FramePacker packer(image, width, height);
  const auto next = [&](int i) {
    if (keep) return std::move(kept[static_cast<std::size_t>(i)]);
    raster::FastBitmap bitmap = frames(i + 1);
    checkSize(bitmap, width, height, i + 1);
    return bitmap;
  };
  const std::uint64_t transparentPixels =
      mapAndPack(target, next, mapper, fitted, packer, delaysMs, threadCount(options), progress);
  packer.finish(loopBlockCount(settings));
  image.releaseCaches();

  ExportReport report;
  report.paletteSourceFrame = 1;
  report.sharedPalette = true;
  if (settings.transparent) report.transparentColor = settings.transparentColor;
  if (details) {
    details->framesWritten = packer.framesWritten();
    details->colors = static_cast<int>(fitted.palette.size());
    details->transparentPixels = transparentPixels;
    details->localTables = mapper.localTables();
  }
  return report;
}

ExportReport encodeProject(const model::LabelProject& project, const ExportSettings& settings,
                           const FrameSource& frames, gif::GifImage& image, const ExportProgress& progress,
                           EncodeReport* details, const EncodeOptions& options) {
  const int frameCount = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  std::vector<int> delays;
  for (int i = 1; i <= frameCount; ++i) delays.push_back(project.frame(i).delayMs);
  return encodeAnimation(frameCount, project.frame(1).width, project.frame(1).height, frames, delays, settings, image,
                         progress, details, options);
}

}  // namespace zefra::exporter
