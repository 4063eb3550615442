#pragma once
// The signature, logical screen descriptor and global colour table of a GIF file.

#include <array>
#include <cstdint>
#include <string>

#include "gif/color_map.h"
#include "gif/gif_item.h"

namespace zefra::gif {

class GifHeader final : public GifItem {
 public:
  explicit GifHeader(GifImage* image);

  // The 7 descriptor bytes as stored: width, height (u16), packed, background, aspect.
  const std::array<std::uint8_t, 7>& descriptor() const { return bytes; }
  int width() const { return bytes[0] | (bytes[1] << 8); }
  int height() const { return bytes[2] | (bytes[3] << 8); }
  std::uint8_t packed() const { return bytes[4]; }
  std::uint8_t backgroundIndex() const { return bytes[5]; }
  std::uint8_t aspectRatio() const { return bytes[6]; }
  // Sizes are stored as u16; they are not checked against the frames here (GifImage does).
  void setWidth(int width);
  void setHeight(int height);
  void setPacked(std::uint8_t value) { bytes[4] = value; }
  void setBackgroundIndex(std::uint8_t value) { bytes[5] = value; }
  void setAspectRatio(std::uint8_t value) { bytes[6] = value; }
  void setDescriptor(const std::array<std::uint8_t, 7>& value) { bytes = value; }

  GlobalColorMap& globalTable() { return table; }
  const GlobalColorMap& globalTable() const { return table; }
  // The global table's colour at the background index.
  Color backgroundColor() const { return table.entryColor(bytes[5]); }

  // Zero descriptor, empty global table.
  void clear();
  // The packed byte as the writer stores it, from the global table and all frames.
  std::uint8_t computePacked() const;

  // The three version characters of the file this header was read from ("87a", "89a" or
  // whatever stood there; empty when not read). Writing ignores it: the version written is
  // the one the content needs.
  std::string loadedVersion;

  GifVersion requiredVersion() const override;
  // Signature and version (the highest version of header and frames), descriptor with the
  // packed byte recomputed, global table.
  void saveToStream(GifStream& stream) const override;
  // Signature (tolerating a 4-byte prefix), descriptor and global table.
  void loadFromStream(GifInput& input) override;

 private:
  std::array<std::uint8_t, 7> bytes{};
  GlobalColorMap table;
};

}  // namespace zefra::gif
