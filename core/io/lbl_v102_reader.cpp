#include "io/lbl_v102_reader.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"

namespace zefra::io {
namespace {

// Little-endian fields of one 4100-byte record; offsets are constants below the size.
struct V102Record {
  const std::uint8_t* bytes;

  std::uint8_t u8(std::size_t at) const { return bytes[at]; }
  std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(readLittle16(bytes + at)); }
  Color color(std::size_t at) const { return readLittle32(bytes + at); }
  void string(std::size_t at, model::String255& out) const {
    static_assert(sizeof(model::String255) == 256);
    std::memcpy(&out, bytes + at, sizeof out);
  }
};

// Border styles above Raised did not exist in the new format; they become Inset.
std::uint8_t borderStyle(std::uint8_t value) { return value > 2 ? 1 : value; }

void convertFrame(const V102Record& in, model::FrameRecord& f) {
  f.delayMs = in.i16(6);
  f.width = in.i16(16);
  f.height = in.i16(18);
  const std::uint8_t mode = in.u8(20);
  f.gradientOn = mode == 1 ? 1 : 0;
  f.transparent = mode == 2 ? 1 : 0;
  f.borderInnerStyle = borderStyle(in.u8(22));
  f.borderOuterStyle = borderStyle(in.u8(23));
  f.bordersOn = (f.borderInnerStyle > 0 || f.borderOuterStyle > 0) ? 1 : 0;
  f.borderWidth = 0;
  f.bevelWidth = std::max(in.u8(24), in.u8(25));
  f.webSiteColor = in.color(28);
  f.frameColor = in.color(32);
  f.transparentColor = in.color(32);
  f.gradientColor1 = in.color(36);
  f.gradientColor2 = in.color(40);
  f.highlightColor = in.color(52);
  f.shadowColor = in.color(56);
  f.paletteKind = in.u8(68);
  f.colorCountIndex = in.u8(69);
  for (std::size_t i = 0; i < kV102Slots; ++i) {
    in.string(70 + 256 * i, f.text[i]);
    in.string(1350 + 256 * i, f.fontName[i]);
    in.string(2630 + 256 * i, f.pictureFile[i]);
    f.fontSize[i] = in.u8(3910 + i);
    f.fontUnderline[i] = in.u8(3925 + i) == 1 ? 1 : 0;
    f.fontStrikeOut[i] = in.u8(3930 + i) == 1 ? 1 : 0;
    f.fontBold[i] = in.u8(3935 + i) == 1 ? 1 : 0;
    f.fontItalic[i] = in.u8(3940 + i) == 1 ? 1 : 0;
    f.textX[i] = in.i16(3946 + 2 * i);
    f.textY[i] = in.i16(3956 + 2 * i);
    f.pictureX[i] = in.i16(3966 + 2 * i);
    f.pictureY[i] = in.i16(3976 + 2 * i);
    f.fontColor[i] = in.color(3988 + 4 * i);
    f.text3DColor[i] = in.color(4028 + 4 * i);
    // The old program had no text gradients, shadows or border depth settings.
    f.textGradientOn[i] = 0;
    f.textGradientKind[i] = 0;
    f.textGradientColor1[i] = 0;
    f.textGradientColor2[i] = 0;
    f.textBorderWidth[i] = 2;
    f.viewAngle[i] = 60;
    f.shadowDarkness[i] = 0;
  }
}

static_assert(4028 + 4 * (kV102Slots - 1) + 4 <= kV102RecordSize);

}  // namespace

bool readOldLbl(std::span<const std::uint8_t> bytes, model::LabelProject& project) {
  if (bytes.size() < kV102RecordSize) return false;
  const int count = bytes[4];
  if (count < 1 || count > model::kMaxFrames) return false;
  if (bytes.size() < kV102RecordSize * static_cast<std::size_t>(count)) return false;
  for (int k = 1; k <= count; ++k) {
    const V102Record record{bytes.data() + kV102RecordSize * static_cast<std::size_t>(k - 1)};
    convertFrame(record, project.frame(k));
  }
  project.frameCount = static_cast<std::uint8_t>(count);
  project.currentFrame = 1;
  // Record 1 decides the project's transparency and palette; designDpi is not in the file.
  const model::FrameRecord& first = project.frame(1);
  project.settings.transparent = first.transparent;
  project.settings.transparentColor = first.transparentColor;
  project.settings.paletteKind = first.paletteKind;
  project.settings.colorCountIndex = first.colorCountIndex;
  return true;
}

std::string v102WarningText(std::string_view fileName) {
  return "The file " + std::string(fileName) +
         " has been created with Zefra 1.02. Probably, it will be displayed with some distortions.";
}

}  // namespace zefra::io
