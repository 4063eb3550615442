#include "gif/gif_image.h"

#include <cctype>
#include <fstream>
#include <string>
#include <system_error>

#include "colour/indexed_bitmap.h"
#include "common/input_file.h"
#include "gif/gif_error.h"
#include "gif/gif_stream.h"
#include "raster/fast_bitmap.h"

namespace zefra::gif {

GifImage::GifImage() : screenHeader(std::make_unique<GifHeader>(this)) { resetImage(); }

GifImage::~GifImage() {
  // Frames refer to the header's table through the image, so they go first.
  frameList.clear();
}

void GifImage::resetImage() {
  frameList.clear();
  screenHeader->clear();
}

void GifImage::setScreenWidth(int width) {
  if (width < 0 || width > 65535) throw GifError("Invalid image dimensions");
  for (const auto& frame : frameList)
    if (frame->left() + frame->width() > width) throw GifError("Image width too small for contained frames");
  if (width == screenHeader->width()) return;
  screenHeader->setWidth(width);
  notifyChanged();
}

void GifImage::setScreenHeight(int height) {
  if (height < 0 || height > 65535) throw GifError("Invalid image dimensions");
  for (const auto& frame : frameList)
    if (frame->top() + frame->height() > height) throw GifError("Image height too small for contained frames");
  if (height == screenHeader->height()) return;
  screenHeader->setHeight(height);
  notifyChanged();
}

int GifImage::addFrame(std::unique_ptr<GifFrame> frame) {
  if (!frame || frame->image() != this) throw GifError("Object type not supported for operation");
  const int index = frameList.add(std::move(frame));
  notifyChanged();
  return index;
}

int GifImage::addFrame(const IndexedBitmap& bitmap) {
  auto frame = std::make_unique<GifFrame>(this);
  frame->assign(bitmap);
  return addFrame(std::move(frame));
}

int GifImage::addFrame(const raster::FastBitmap& bitmap) {
  auto frame = std::make_unique<GifFrame>(this);
  frame->assign(bitmap);
  return addFrame(std::move(frame));
}

void GifImage::assign(const GifImage& source) {
  if (&source == this) return;
  resetImage();
  screenHeader->setDescriptor(source.header().descriptor());
  globalTable().assign(source.globalTable());
  playbackSpeed = source.playbackSpeed;
  backdropColor = source.backdropColor;
  drawFlags = source.drawFlags;
  reductionMode = source.reductionMode;
  ditherKind = source.ditherKind;
  const int total = source.frames().count();
  for (int i = 0; i < total; ++i) {
    auto frame = std::make_unique<GifFrame>(this);
    frame->assign(&source.frames()[i]);
    frameList.add(std::move(frame));
    progress(ProgressStage::Running, (i + 1) * 100 / total, "Copying...");
  }
  notifyChanged();
}

void GifImage::assign(const IndexedBitmap& bitmap) {
  resetImage();
  addFrame(bitmap);
}

void GifImage::assign(const raster::FastBitmap& bitmap) {
  resetImage();
  addFrame(bitmap);
}

void GifImage::releaseCaches() {
  if (globalTable().empty() && frameList.count() == 1) {
    GifFrame& only = frameList[0];
    globalTable().assign(only.localColorMap());
    only.localColorMap().reset();
  }
}

void GifImage::reportWarning(const GifItem* sender, const std::string& message) const {
  if (warningHandler) warningHandler(sender, kWarningSeverity, message);
}

void GifImage::notifyChanged() {
  if (changeHandler) changeHandler();
}

void GifImage::progress(ProgressStage stage, int percent, const std::string& message) const {
  if (progressHandler) progressHandler(stage, percent, message);
}

GifVersion GifImage::requiredVersion() const {
  if (screenHeader->requiredVersion() == GifVersion::Gif89a) return GifVersion::Gif89a;
  for (const auto& frame : frameList)
    if (frame->requiredVersion() == GifVersion::Gif89a) return GifVersion::Gif89a;
  return GifVersion::Gif87a;
}

void GifImage::saveToStream(GifStream& stream) const {
  progress(ProgressStage::Starting, 0, "Saving...");
  try {
    if (frameList.empty()) throw GifError("Unsupported GIF version");
    screenHeader->saveToStream(stream);
    const int total = frameList.count();
    for (int i = 0; i < total; ++i) {
      frameList[i].saveToStream(stream);
      progress(ProgressStage::Running, (i + 1) * 100 / total, "Saving...");
    }
    GifTrailer trailer(const_cast<GifImage*>(this));
    trailer.saveToStream(stream);
  } catch (...) {
    progress(ProgressStage::Ending, 0, "Saving...");
    throw;
  }
  progress(ProgressStage::Ending, 100, "Saving...");
}

std::vector<std::uint8_t> GifImage::saveToBytes() const {
  std::vector<std::uint8_t> bytes;
  VectorGifStream stream(bytes);
  saveToStream(stream);
  return bytes;
}

void GifImage::saveToFile(const std::filesystem::path& path) const {
  // Written beside the target and renamed into place, so a failed save never destroys
  // the file that was there.
  common::writeFileAtomically(path, [this](const common::ByteSink& sink) {
    SinkGifStream stream(sink);
    saveToStream(stream);
  });
}

void GifImage::checkImagePixels(std::uint64_t additional) const {
  std::uint64_t total = additional;
  if (loadTotals.active) {
    total += loadTotals.pixels;
  } else {
    for (const auto& frame : frameList) total += frame->pixelCount();
  }
  if (total > limits.maxImagePixels) throw GifError("Image exceeds the pixel limit");
}

void GifImage::checkScreenSize() const {
  const int w = width(), h = height();
  if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > limits.maxScreenPixels || w > limits.maxScreenSide ||
      h > limits.maxScreenSide) {
    throw GifError("Screen of " + std::to_string(w) + " x " + std::to_string(h) + " pixels exceeds the limit (" +
                   std::to_string(limits.maxScreenSide) + " a side, " + std::to_string(limits.maxScreenPixels) +
                   " pixels)");
  }
}

void GifImage::countLoadedExtension() {
  if (!loadTotals.active) return;
  if (++loadTotals.extensions > limits.maxExtensions)
    throw GifError("Too many extensions (more than " + std::to_string(limits.maxExtensions) + ")");
}

void GifImage::loadFromStream(GifInput& input) {
  resetImage();
  const std::size_t start = input.position();
  progress(ProgressStage::Starting, 0, "Loading...");
  loadTotals = LoadTotals{true, 0, 0};
  struct EndTotals {
    LoadTotals& totals;
    ~EndTotals() { totals.active = false; }
  } endTotals{loadTotals};
  try {
    screenHeader->loadFromStream(input);
    checkScreenSize();
    for (;;) {
      std::uint8_t b = 0;
      bool more = false;
      while ((more = input.readByte(b)) && b == 0x00) {
      }
      if (!more) break;
      input.stepBack();
      if (b == 0x3B) break;
      if (b != 0x21 && b != 0x2C) {
        reportWarning(screenHeader.get(), "Unknown GIF block type");
        break;
      }
      if (static_cast<std::uint64_t>(frameList.count()) >= limits.maxFrames)
        throw GifError("Too many frames (more than " + std::to_string(limits.maxFrames) + ")");
      auto frame = std::make_unique<GifFrame>(this);
      frame->loadFromStream(input);
      loadTotals.pixels += frame->pixelCount();
      frameList.add(std::move(frame));
      progress(ProgressStage::Running, input.size() ? static_cast<int>(input.position() * 100 / input.size()) : 100,
               "Loading...");
    }
    GifTrailer trailer(this);
    trailer.loadFromStream(input);
  } catch (...) {
    input.seek(start);
    progress(ProgressStage::Ending, 0, "Loading...");
    throw;
  }
  progress(ProgressStage::Ending, 100, "Loading...");
  notifyChanged();
}

void GifImage::loadFromBytes(std::span<const std::uint8_t> bytes) {
  GifInput input(bytes);
  loadFromStream(input);
}

void GifImage::loadFromFile(const std::filesystem::path& path) {
  // The signature (at the start, or after the 4-byte length some producers put first) is
  // checked on the first bytes alone, so a large file of another kind is refused unread.
  const auto checkSignature = [](std::span<const std::uint8_t> head) {
    const auto gifAt = [&](std::size_t at) {
      return head.size() >= at + 3 && std::toupper(head[at]) == 'G' && std::toupper(head[at + 1]) == 'I' &&
             std::toupper(head[at + 2]) == 'F';
    };
    // Too short to tell: the reader reports the premature end.
    if (head.size() < 3 || (head.size() < 7 && !gifAt(0))) return;
    if (!gifAt(0) && !gifAt(4)) throw GifError("Invalid GIF signature");
  };
  const FileBytes file = readInputFile(path, limits.maxFileBytes, 10, checkSignature);
  loadFromBytes(file.bytes());
}

}  // namespace zefra::gif
