#pragma once
// Base of every part of a GIF file held in a GifImage: header, frames, extensions and the
// trailer. Items write and read themselves, so the file order is the order of the lists
// that hold them. An item refers to its image without owning it.

#include <string>

#include "gif/gif_types.h"

namespace zefra::gif {

class GifImage;
class GifStream;
class GifInput;

class GifItem {
 public:
  explicit GifItem(GifImage* image) : owner(image) {}
  virtual ~GifItem() = default;
  GifItem(const GifItem&) = delete;
  GifItem& operator=(const GifItem&) = delete;

  GifImage* image() const { return owner; }

  // The lowest file version able to hold this item.
  virtual GifVersion requiredVersion() const { return GifVersion::Gif87a; }
  // Forwards to the image's warning handler (silent without image or handler).
  virtual void reportWarning(const std::string& message) const;

  virtual void saveToStream(GifStream& stream) const = 0;
  virtual void loadFromStream(GifInput& input) = 0;

 private:
  GifImage* owner;
};

// The one-byte end of a GIF file.
class GifTrailer final : public GifItem {
 public:
  using GifItem::GifItem;
  void saveToStream(GifStream& stream) const override;
  // Reads one byte; anything but ';' warns "Invalid Image trailer", the end of input is fine.
  void loadFromStream(GifInput& input) override;
};

}  // namespace zefra::gif
