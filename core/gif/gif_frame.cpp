#include "gif/gif_frame.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/byte_order.h"
#include "gif/extension_registry.h"
#include "gif/frame_encoder.h"
#include "gif/gif_error.h"
#include "gif/gif_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/lzw_decoder.h"
#include "raster/fast_bitmap.h"

namespace zefra::gif {

namespace {

constexpr int kMaxDimension = 65535;

void checkDimension(int value) {
  if (value < 0 || value > kMaxDimension) throw GifError("Invalid image dimensions");
}

std::string hexByte(std::uint8_t value) {
  const char* digits = "0123456789ABCDEF";
  return {digits[value >> 4], digits[value & 15]};
}

}  // namespace

GifFrame::GifFrame(GifImage* image) : GifItem(image), localMap(image, this) {}

GifFrame::~GifFrame() { clearFrame(); }

void GifFrame::setPlacement(int newLeft, int newTop, int newWidth, int newHeight) {
  checkDimension(newLeft);
  checkDimension(newTop);
  checkDimension(newWidth);
  checkDimension(newHeight);
  // The logical screen is stored in 16 bits as well, so the frame has to fit in it.
  if (newLeft + newWidth > kMaxDimension || newTop + newHeight > kMaxDimension)
    throw GifError("Invalid image dimensions");
  const bool sizeChanged = newWidth != width() || newHeight != height();
  if (sizeChanged) {
    const std::uint64_t area = static_cast<std::uint64_t>(newWidth) * static_cast<std::uint64_t>(newHeight);
    if (image() && area > image()->limits.maxFramePixels) throw GifError("Frame exceeds the pixel limit");
    PixelIndices fresh(static_cast<std::size_t>(area), 0);
    pixelData.swap(fresh);
  }
  placement = {static_cast<std::uint16_t>(newLeft), static_cast<std::uint16_t>(newTop),
               static_cast<std::uint16_t>(newWidth), static_cast<std::uint16_t>(newHeight)};
  if (!image()) return;
  GifHeader& header = image()->header();
  bool warned = false;
  if (newLeft + newWidth > header.width()) {
    if (header.width() > 0) {
      reportWarning("Image width too small for contained frames");
      warned = true;
    }
    header.setWidth(newLeft + newWidth);
  }
  if (newTop + newHeight > header.height()) {
    if (header.height() > 0) {
      reportWarning("Image height too small for contained frames");
      warned = true;
    }
    header.setHeight(newTop + newHeight);
  }
  if (warned) reportWarning("Image exceeds Logical Screen size");
}

void GifFrame::setPixels(std::vector<std::uint8_t> indices) {
  if (indices.size() != static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()))
    throw std::invalid_argument("GifFrame::setPixels: size is not width * height");
  pixelData.assign(indices.begin(), indices.end());
}

void GifFrame::releasePixels() {
  pixelData.clear();
  pixelData.shrink_to_fit();
}

std::uint8_t* GifFrame::rowPointer(int y) {
  if (y < 0 || y >= height()) throw GifError("Invalid pixel coordinates");
  if (pixelData.empty()) {
    if (width() == 0 || height() == 0) throw GifError("Image is empty");
    pixelData.assign(static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()), 0);
  }
  return pixelData.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width());
}

std::uint8_t GifFrame::pixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) throw GifError("Invalid pixel coordinates");
  if (pixelData.empty()) throw GifError("Image is empty");
  return pixelData[static_cast<std::size_t>(y) * static_cast<std::size_t>(width()) + static_cast<std::size_t>(x)];
}

void GifFrame::setPixelAt(int x, int y, std::uint8_t index) {
  if (x < 0 || x >= width()) throw GifError("Invalid pixel coordinates");
  rowPointer(y)[x] = index;
}

const ColorMap& GifFrame::effectiveColorMap() const {
  if (!localMap.empty()) return localMap;
  if (image() && !image()->globalTable().empty()) return image()->globalTable();
  return localMap;
}

ColorMap& GifFrame::effectiveColorMap() {
  return const_cast<ColorMap&>(static_cast<const GifFrame*>(this)->effectiveColorMap());
}

void GifFrame::clearFrame() {
  extList.clear();
  localMap.reset();
  pixelData.clear();
  pixelData.shrink_to_fit();
  placement[2] = 0;
  placement[3] = 0;
  hasTransparency = false;
  graphicControl = nullptr;
}

void GifFrame::assign(const GifFrame* source) {
  if (source == this) return;
  clearFrame();
  if (!source) return;
  if (!source->empty()) {
    placement = source->placement;
    packedByte = source->packedByte;
    hasTransparency = source->hasTransparency;
    pixelData = source->pixelData;
    localMap.assign(source->localMap);
  }
  // Through the byte form, so every copy is created for (and a copied graphic control
  // links to) this frame. Extensions are kept even for an empty source: trailing
  // extensions of a file live in such a frame.
  std::vector<std::uint8_t> bytes;
  VectorGifStream out(bytes);
  source->extList.saveToStream(out);
  GifInput in(bytes);
  loadExtensions(in);
  if (source->hasTransparency && !source->empty()) hasTransparency = true;
}

int GifFrame::codeBits() const {
  if (!localMap.empty()) return localMap.pixelBits();
  int bits = image() ? image()->globalTable().pixelBits() : 0;
  if (image())
    for (const auto& frame : image()->frames()) bits = std::max(bits, frame->localColorMap().pixelBits());
  return bits;
}

int GifFrame::allowedColors() const {
  if (!localMap.empty()) return localMap.count();
  return 1 << codeBits();
}

std::uint8_t GifFrame::descriptorPacked() const {
  if (!localMap.empty()) {
    // A frame with its own table is written non-interlaced (and encoded that way).
    unsigned packed = 0x80 | (static_cast<unsigned>(localMap.pixelBits() - 1) & 7u);
    if (localMap.sorted()) packed |= 0x20;
    return static_cast<std::uint8_t>(packed);
  }
  return static_cast<std::uint8_t>(packedByte & 0x58);
}

GifVersion GifFrame::requiredVersion() const {
  if (localMap.sorted()) return GifVersion::Gif89a;
  for (const auto& ext : extList)
    if (ext->requiredVersion() == GifVersion::Gif89a) return GifVersion::Gif89a;
  return GifVersion::Gif87a;
}

void GifFrame::saveToStream(GifStream& stream) const {
  extList.saveToStream(stream);
  if (empty()) return;
  const std::uint8_t packed = descriptorPacked();
  stream.writeByte(0x2C);
  stream.writeU16(placement[0]);
  stream.writeU16(placement[1]);
  stream.writeU16(placement[2]);
  stream.writeU16(placement[3]);
  stream.writeByte(packed);
  localMap.saveToStream(stream);
  const CompressionKind kind = image() ? image()->compressionKind : CompressionKind::Lzw;
  compressFrame(stream, codeBits(), allowedColors(), pixelData.data(), (packed & 0x40) != 0, height(), width(), kind);
}

void GifFrame::loadFromStream(GifInput& input) {
  clearFrame();
  loadExtensions(input);
  std::uint8_t next = 0;
  if (!input.readByte(next)) return;
  input.stepBack();
  if (next == 0x3B || next == 0x00) return;  // extensions without an image
  loadImage(input);
}

void GifFrame::loadExtensions(GifInput& input) {
  std::uint8_t b = 0;
  if (!input.readByte(b)) return;
  while (b != 0x2C && b != 0x3B) {
    if (b != GifExtension::kIntroducer) {
      reportWarning("Invalid extension introducer");
      input.stepBack();
      return;
    }
    const ExtensionClass* cls = findExtensionClass(input);
    if (image()) image()->countLoadedExtension();
    if (!cls) {
      // Viewers pass over labels they do not know; so does the reader, keeping nothing.
      std::uint8_t label = 0;
      input.readByte(label);
      reportWarning("Unknown extension type 0x" + hexByte(label) + " skipped");
      skipSubBlocks(input);
      if (!input.readByte(b)) return;
      continue;
    }
    input.stepBack();
    std::unique_ptr<GifExtension> ext = cls->create(*this);
    ext->loadFromStream(input);
    extList.add(std::move(ext));
    if (!input.readByte(b)) return;
  }
  input.stepBack();
}

void GifFrame::loadImage(GifInput& input) {
  std::uint8_t d[10];
  if (input.read(d, 10) < 10) throw GifError("Premature end of data");
  int w = readLittle16(d + 5);
  int h = readLittle16(d + 7);
  if (w == 0 || h == 0) {
    reportWarning("Image exceeds Logical Screen size");
    if (image()) {
      w = image()->width();
      h = image()->height();
    }
  }
  const std::uint64_t area = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
  if (image()) {
    if (area > image()->limits.maxFramePixels) throw GifError("Frame exceeds the pixel limit");
    image()->checkImagePixels(area);
  }
  placement = {readLittle16(d + 1), readLittle16(d + 3),
               static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h)};
  packedByte = d[9];
  if (packedByte & 0x80) localMap.loadFromStream(input, 2 << (packedByte & 7));

  // Pixels the data does not reach show the transparent index when there is one.
  const std::uint8_t fill = (hasTransparency && graphicControl) ? graphicControl->transparentIndex() : 0;
  const auto count = static_cast<std::size_t>(area);

  LzwDecoder decoder;
  const LzwDecoder::WarningSink warn = [this](const std::string& message) { reportWarning(message); };
  if (!interlaced() || h <= 1) {
    // Not zero-filled first: the decoder writes every pixel it reaches, the rest is filled.
    pixelData.resize(count);
    const std::size_t decoded = decoder.decode(input, pixelData, warn);
    std::fill(pixelData.begin() + static_cast<std::ptrdiff_t>(decoded), pixelData.end(), fill);
  } else {
    // Decode in coding order, then put the rows where they belong.
    pixelData.assign(count, fill);
    PixelIndices coded(count);
    const std::size_t decoded = decoder.decode(input, coded, warn);
    const std::size_t rowBytes = static_cast<std::size_t>(w);
    std::size_t from = 0;
    forEachInterlacedRow(h, [&](int y) {
      if (from >= decoded) return;
      const std::size_t n = std::min(rowBytes, decoded - from);
      std::copy_n(coded.data() + from, n, pixelData.data() + static_cast<std::size_t>(y) * rowBytes);
      from += rowBytes;
    });
  }
}

}  // namespace zefra::gif
