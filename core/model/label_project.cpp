#include "model/label_project.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace zefra::model {
namespace {

// Zeroes every field from frameCount onward, keeping designDpi and the pad bytes.
void clearRecord(FrameRecord& record) {
  const std::int16_t designDpi = record.designDpi;
  const FrameRecord kept = record;
  std::memset(reinterpret_cast<std::uint8_t*>(&record) + offsetof(FrameRecord, frameCount), 0,
              sizeof(FrameRecord) - offsetof(FrameRecord, frameCount));
  record.frameCount = 1;
  record.designDpi = designDpi;
  record.pad5 = kept.pad5;
  std::memcpy(record.pad10, kept.pad10, sizeof record.pad10);
  std::memcpy(record.pad25, kept.pad25, sizeof record.pad25);
  std::memcpy(record.pad34, kept.pad34, sizeof record.pad34);
  std::memcpy(record.pad49, kept.pad49, sizeof record.pad49);
  std::memcpy(record.pad5466, kept.pad5466, sizeof record.pad5466);
  std::memcpy(record.pad10758, kept.pad10758, sizeof record.pad10758);
  std::memcpy(record.pad10810, kept.pad10810, sizeof record.pad10810);
}

void setNewValues(FrameRecord& f) {
  f.frameCount = 1;
  f.delayMs = kNewDelayMs;
  f.webSiteColor = kNewWebSiteColor;
  f.frameColor = kNewFrameColor;
  f.width = kNewWidth;
  f.height = kNewHeight;
  f.transparent = 0;
  f.transparentColor = kNewTransparentColor;
  f.gradientOn = 0;
  f.gradientStyle = 0;
  f.gradientColor1 = rgb(255, 0, 135);
  f.gradientColor2 = rgb(0, 0, 255);
  f.bordersOn = 0;
  f.borderInnerStyle = static_cast<std::uint8_t>(BorderStyle::Inset);
  f.borderOuterStyle = static_cast<std::uint8_t>(BorderStyle::Raised);
  f.borderWidth = 0;
  f.bevelWidth = 1;
  f.borderColor = rgb(136, 136, 136);
  f.highlightColor = rgb(216, 216, 216);
  f.shadowColor = rgb(90, 90, 90);
  f.paletteKind = 0;
  f.colorCountIndex = 0;
  for (int i = 0; i < kSlots; ++i) {
    f.text[i].clear();
    f.fontName[i].assign("Arial");
    f.fontSize[i] = 26;
    f.fontColor[i] = rgb(0, 0, 0);
    f.fontUnderline[i] = 0;
    f.fontStrikeOut[i] = 0;
    f.fontBold[i] = 0;
    f.fontItalic[i] = 0;
    f.textX[i] = 0;
    f.textY[i] = 0;
    f.textGradientOn[i] = 1;
    f.textGradientKind[i] = 0;
    f.textGradientColor1[i] = rgb(255, 0, 0);
    f.textGradientColor2[i] = rgb(255, 255, 0);
    f.viewAngle[i] = 60;
    f.textBorderWidth[i] = 2;
    f.shadowDarkness[i] = 70;
    f.text3DColor[i] = rgb(0, 255, 0);
    f.textureFile[i].clear();
    f.pictureFile[i].clear();
    f.pictureX[i] = 0;
    f.pictureY[i] = 0;
    f.shapeStyle[i] = 0;
    f.shapeX[i] = 0;
    f.shapeY[i] = 0;
    f.shapeWidth[i] = 40;
    f.shapeHeight[i] = 20;
    f.shapeFillColor[i] = rgb(255, 255, 255);
    f.shapeBorderWidth[i] = 1;
    f.shapeBorderColor[i] = rgb(0, 0, 255);
  }
}

}  // namespace

FrameRecord& LabelProject::frame(int k) {
  if (k < 1 || k > kMaxFrames) throw std::out_of_range("frame " + std::to_string(k) + " out of 1..127");
  return records[static_cast<std::size_t>(k - 1)];
}

const FrameRecord& LabelProject::frame(int k) const {
  if (k < 1 || k > kMaxFrames) throw std::out_of_range("frame " + std::to_string(k) + " out of 1..127");
  return records[static_cast<std::size_t>(k - 1)];
}

void LabelProject::clear() {
  for (auto& record : records) clearRecord(record);
  frameCount = 1;
  settings = ProjectSettings{.designDpi = settings.designDpi};
  for (auto& file : loadedPictureFile) file.clear();
}

void LabelProject::applyNewDefaults() {
  currentFrame = 1;
  frameCount = 1;
  currentText = currentPicture = currentShape = 1;
  lockFrames = true;
  settings = ProjectSettings{.transparent = 0,
                             .transparentColor = kNewTransparentColor,
                             .paletteKind = 0,
                             .colorCountIndex = 0,
                             .designDpi = screenDpi};
  FrameRecord& first = frame(1);
  setNewValues(first);
  first.designDpi = screenDpi;
}

void LabelProject::storeSettingsInRecord1() {
  FrameRecord& first = frame(1);
  std::memcpy(first.signature, kSignature, sizeof kSignature);
  first.frameCount = frameCount;
  first.designDpi = settings.designDpi;
  first.transparent = settings.transparent;
  first.transparentColor = settings.transparentColor;
  first.paletteKind = settings.paletteKind;
  first.colorCountIndex = settings.colorCountIndex;
}

void LabelProject::takeSettingsFromRecord1() {
  const FrameRecord& first = frame(1);
  settings.designDpi = first.designDpi;
  settings.transparent = first.transparent;
  settings.transparentColor = first.transparentColor;
  settings.paletteKind = first.paletteKind;
  settings.colorCountIndex = first.colorCountIndex;
}

FrameRecord newFrameRecord(std::int16_t designDpi) {
  FrameRecord record{};
  setNewValues(record);
  record.designDpi = designDpi;
  return record;
}

}  // namespace zefra::model
