#pragma once
// One frame of a label. The in-memory layout is the file record byte for byte
// (10852 bytes, little-endian), so loading and saving are plain block copies and the
// offsets below are checked at compile time. Layer fields are arrays of 10 with slot 1
// at index 0.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/color.h"
#include "model/string255.h"

namespace zefra::model {

inline constexpr int kSlots = 10;
inline constexpr int kMaxFrames = 127;
inline constexpr std::size_t kFrameRecordSize = 10852;
inline constexpr std::uint8_t kSignature[4] = {0x05, 0x4C, 0x42, 0x31};  // byte 5, "LB1"

// The largest label the program draws. The editor never makes one wider or taller than the
// screen, but a project file can say anything up to 32767 x 32767 (3 GB per frame): such a
// file is refused on reading instead of being allocated for every frame of an export.
inline constexpr int kMaxLabelSide = 8192;
inline constexpr long kMaxLabelPixels = 4096L * 4096L;

constexpr bool isDrawableLabelSize(int width, int height) {
  return width >= 1 && height >= 1 && width <= kMaxLabelSide && height <= kMaxLabelSide &&
         static_cast<long>(width) * height <= kMaxLabelPixels;
}

enum class GradientStyle : std::uint8_t {
  Horizontal = 0,
  Vertical,
  BottomLeftCorner,
  BottomRightCorner,
  TopLeftCorner,
  TopRightCorner,
  DiagonalFalling,
  DiagonalRising,
  Pyramid,
};
enum class BorderStyle : std::uint8_t { None = 0, Inset = 1, Raised = 2 };
enum class PaletteKind : std::uint8_t { Windows = 0, Netscape = 1, Grayscale = 2 };
enum class TextGradientKind : std::uint8_t { Vertical = 0, Horizontal = 1 };
enum class ShapeStyle : std::uint8_t { None = 0, Rectangle = 1, RndRectangle = 2 };

struct FrameRecord {
  std::uint8_t signature[4];      // 0   frame 1 only, set just before saving
  std::uint8_t frameCount;        // 4   frame 1 only, set just before saving
  std::uint8_t pad5;              // 5
  std::int16_t designDpi;         // 6   frame 1 only
  std::int16_t delayMs;           // 8
  std::uint8_t pad10[2];          // 10
  Color webSiteColor;             // 12
  Color frameColor;               // 16
  std::int16_t width;             // 20
  std::int16_t height;            // 22
  std::uint8_t transparent;       // 24  frame 1 only
  std::uint8_t pad25[3];          // 25
  Color transparentColor;         // 28  frame 1 only
  std::uint8_t gradientOn;        // 32
  std::uint8_t gradientStyle;     // 33  GradientStyle
  std::uint8_t pad34[2];          // 34
  Color gradientColor1;           // 36
  Color gradientColor2;           // 40
  std::uint8_t bordersOn;         // 44
  std::uint8_t borderInnerStyle;  // 45  BorderStyle
  std::uint8_t borderOuterStyle;  // 46  BorderStyle
  std::uint8_t borderWidth;       // 47
  std::uint8_t bevelWidth;        // 48
  std::uint8_t pad49[3];          // 49
  Color borderColor;              // 52
  Color highlightColor;           // 56
  Color shadowColor;              // 60
  std::uint8_t paletteKind;       // 64  frame 1 only, PaletteKind
  std::uint8_t colorCountIndex;   // 65  frame 1 only: 0=256, 1=8, 2=16, 3=32, 4=64, 5=128

  String255 text[kSlots];                   // 66
  String255 fontName[kSlots];               // 2626
  std::uint8_t fontSize[kSlots];            // 5186
  Color fontColor[kSlots];                  // 5196
  std::uint8_t fontUnderline[kSlots];       // 5236
  std::uint8_t fontStrikeOut[kSlots];       // 5246
  std::uint8_t fontBold[kSlots];            // 5256
  std::uint8_t fontItalic[kSlots];          // 5266
  std::int16_t textX[kSlots];               // 5276
  std::int16_t textY[kSlots];               // 5296
  std::uint8_t textGradientOn[kSlots];      // 5316
  std::uint8_t textGradientKind[kSlots];    // 5326 TextGradientKind
  Color textGradientColor1[kSlots];         // 5336
  Color textGradientColor2[kSlots];         // 5376
  std::int16_t viewAngle[kSlots];           // 5416
  std::uint8_t textBorderWidth[kSlots];     // 5436
  std::int16_t shadowDarkness[kSlots];      // 5446
  std::uint8_t pad5466[2];                  // 5466
  Color text3DColor[kSlots];                // 5468
  String255 textureFile[kSlots];            // 5508
  String255 pictureFile[kSlots];            // 8068
  std::int16_t pictureX[kSlots];            // 10628
  std::int16_t pictureY[kSlots];            // 10648
  std::uint8_t shapeStyle[kSlots];          // 10668 ShapeStyle
  std::int16_t shapeX[kSlots];              // 10678
  std::int16_t shapeY[kSlots];              // 10698
  std::int16_t shapeWidth[kSlots];          // 10718
  std::int16_t shapeHeight[kSlots];         // 10738
  std::uint8_t pad10758[2];                 // 10758
  Color shapeFillColor[kSlots];             // 10760
  std::uint8_t shapeBorderWidth[kSlots];    // 10800
  std::uint8_t pad10810[2];                 // 10810
  Color shapeBorderColor[kSlots];           // 10812
};

static_assert(std::endian::native == std::endian::little, "records are stored in host order");
static_assert(sizeof(FrameRecord) == kFrameRecordSize);
static_assert(offsetof(FrameRecord, designDpi) == 6);
static_assert(offsetof(FrameRecord, delayMs) == 8);
static_assert(offsetof(FrameRecord, webSiteColor) == 12);
static_assert(offsetof(FrameRecord, width) == 20);
static_assert(offsetof(FrameRecord, transparent) == 24);
static_assert(offsetof(FrameRecord, transparentColor) == 28);
static_assert(offsetof(FrameRecord, gradientOn) == 32);
static_assert(offsetof(FrameRecord, gradientColor1) == 36);
static_assert(offsetof(FrameRecord, bordersOn) == 44);
static_assert(offsetof(FrameRecord, bevelWidth) == 48);
static_assert(offsetof(FrameRecord, borderColor) == 52);
static_assert(offsetof(FrameRecord, shadowColor) == 60);
static_assert(offsetof(FrameRecord, paletteKind) == 64);
static_assert(offsetof(FrameRecord, colorCountIndex) == 65);
static_assert(offsetof(FrameRecord, text) == 66);
static_assert(offsetof(FrameRecord, fontName) == 2626);
static_assert(offsetof(FrameRecord, fontSize) == 5186);
static_assert(offsetof(FrameRecord, fontColor) == 5196);
static_assert(offsetof(FrameRecord, fontUnderline) == 5236);
static_assert(offsetof(FrameRecord, fontStrikeOut) == 5246);
static_assert(offsetof(FrameRecord, fontBold) == 5256);
static_assert(offsetof(FrameRecord, fontItalic) == 5266);
static_assert(offsetof(FrameRecord, textX) == 5276);
static_assert(offsetof(FrameRecord, textY) == 5296);
static_assert(offsetof(FrameRecord, textGradientOn) == 5316);
static_assert(offsetof(FrameRecord, textGradientKind) == 5326);
static_assert(offsetof(FrameRecord, textGradientColor1) == 5336);
static_assert(offsetof(FrameRecord, textGradientColor2) == 5376);
static_assert(offsetof(FrameRecord, viewAngle) == 5416);
static_assert(offsetof(FrameRecord, textBorderWidth) == 5436);
static_assert(offsetof(FrameRecord, shadowDarkness) == 5446);
static_assert(offsetof(FrameRecord, text3DColor) == 5468);
static_assert(offsetof(FrameRecord, textureFile) == 5508);
static_assert(offsetof(FrameRecord, pictureFile) == 8068);
static_assert(offsetof(FrameRecord, pictureX) == 10628);
static_assert(offsetof(FrameRecord, pictureY) == 10648);
static_assert(offsetof(FrameRecord, shapeStyle) == 10668);
static_assert(offsetof(FrameRecord, shapeX) == 10678);
static_assert(offsetof(FrameRecord, shapeY) == 10698);
static_assert(offsetof(FrameRecord, shapeWidth) == 10718);
static_assert(offsetof(FrameRecord, shapeHeight) == 10738);
static_assert(offsetof(FrameRecord, shapeFillColor) == 10760);
static_assert(offsetof(FrameRecord, shapeBorderWidth) == 10800);
static_assert(offsetof(FrameRecord, shapeBorderColor) == 10812);

// Records are their file image, so two are the same when their bytes are: what a save
// would write for one it writes for the other.
inline bool sameBytes(const FrameRecord& a, const FrameRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace zefra::model
