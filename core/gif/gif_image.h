#pragma once
// An in-memory GIF file, animated or not: the header (logical screen and global colour
// table) and the ordered frames, each with its extensions. Built by the export from
// bitmaps, filled by the reader, written by the writer and drawn by playback.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gif/gif_frame.h"
#include "gif/gif_header.h"
#include "gif/gif_item_list.h"
#include "gif/gif_types.h"

namespace zefra::raster {
class FastBitmap;
}

namespace zefra::colour {
class IndexedBitmap;
}

namespace zefra::gif {

using colour::IndexedBitmap;

class GifImage {
 public:
  using WarningHandler = std::function<void(const GifItem* sender, int severity, const std::string& message)>;
  using ProgressHandler = std::function<void(ProgressStage stage, int percent, const std::string& message)>;

  GifImage();
  ~GifImage();
  GifImage(const GifImage&) = delete;
  GifImage& operator=(const GifImage&) = delete;

  FrameList& frames() { return frameList; }
  const FrameList& frames() const { return frameList; }
  GifHeader& header() { return *screenHeader; }
  const GifHeader& header() const { return *screenHeader; }
  GlobalColorMap& globalTable() { return screenHeader->globalTable(); }
  const GlobalColorMap& globalTable() const { return screenHeader->globalTable(); }

  int width() const { return screenHeader->width(); }
  int height() const { return screenHeader->height(); }
  // Stop with "Image width too small for contained frames" / "Image height too small for
  // contained frames" when a frame would stick out.
  void setScreenWidth(int width);
  void setScreenHeight(int height);

  // Settings (defaults as for a new image). drawFlags, playbackSpeed (percent) and
  // backdropColor steer playback (see gif/playback_options.h).
  std::uint16_t drawFlags = 0x060F;
  ReductionMode reductionMode = ReductionMode::NetscapeCube;
  std::uint32_t reductionBitCount = 8;
  DitherKind ditherKind = DitherKind::Nearest;
  CompressionKind compressionKind = CompressionKind::Lzw;
  std::uint32_t playbackSpeed = 100;
  Color backdropColor = 0x1FFFFFFF;
  PixelLimits limits;

  // Without a warning handler warnings are dropped.
  WarningHandler warningHandler;
  ProgressHandler progressHandler;
  // Called whenever the image changed in a way that needs redrawing.
  std::function<void()> changeHandler;

  // Deletes every frame, empties the global table, zeroes the screen descriptor.
  void resetImage();

  // Appends a frame and answers its index.
  int addFrame(std::unique_ptr<GifFrame> frame);
  int addFrame(const IndexedBitmap& bitmap);
  int addFrame(const raster::FastBitmap& bitmap);

  // Copies header, settings and every frame ("Copying..." progress per frame).
  void assign(const GifImage& source);
  void assign(const IndexedBitmap& bitmap);
  void assign(const raster::FastBitmap& bitmap);

  // A single frame's local colours move to an empty global table.
  void releaseCaches();

  void reportWarning(const GifItem* sender, const std::string& message) const;
  void notifyChanged();
  void progress(ProgressStage stage, int percent, const std::string& message) const;

  // Header, frames, trailer ("Unsupported GIF version" without frames).
  void saveToStream(GifStream& stream) const;
  void saveToFile(const std::filesystem::path& path) const;
  std::vector<std::uint8_t> saveToBytes() const;

  // Replaces the content with the GIF at the input's position. On error the input position
  // is restored, the items read before the failing one stay, and the error passes on.
  void loadFromStream(GifInput& input);
  void loadFromBytes(std::span<const std::uint8_t> bytes);
  void loadFromFile(const std::filesystem::path& path);

  // Highest version among header and frames.
  GifVersion requiredVersion() const;

 private:
  // Stops a load with "Image exceeds the pixel limit" when `additional` pixels would
  // take the frames over the limit; constant time while loading.
  void checkImagePixels(std::uint64_t additional) const;
  // Stops a load whose header announces a screen past limits.maxScreenPixels/maxScreenSide.
  void checkScreenSize() const;
  // Called by a frame for each extension it reads; stops a load past the limit.
  void countLoadedExtension();
  friend class GifFrame;

  // Running totals of a load in progress, so each new frame and extension is checked
  // against the limits without going over everything read before it.
  struct LoadTotals {
    bool active = false;
    std::uint64_t pixels = 0;
    std::uint64_t extensions = 0;
  };
  LoadTotals loadTotals;

  FrameList frameList;
  std::unique_ptr<GifHeader> screenHeader;
};

}  // namespace zefra::gif
