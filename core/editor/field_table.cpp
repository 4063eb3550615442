#include "editor/field_table.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <variant>

#include "editor/panel_rules.h"
#include "model/field_options.h"

namespace zefra::editor {

namespace {

using K = FieldKind;
using S = SlotList;
using E = EditScope;
using R = RangeRule;

constexpr long kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr long kInt16Max = std::numeric_limits<std::int16_t>::max();
constexpr long kColorMax = 0xFFFFFF;
constexpr std::size_t kTextLimit = model::String255::kCapacity;

constexpr std::span<const std::string_view> kNoOptions{};
constexpr std::span<const std::string_view> kGradientStyles{model::kGradientStyleNames};
constexpr std::span<const std::string_view> kBorderStyles{model::kBorderStyleNames};
constexpr std::span<const std::string_view> kShapeStyles{model::kShapeStyleNames};
constexpr std::span<const std::string_view> kTextGradients{model::kTextGradientNames};
constexpr std::span<const std::string_view> kPaletteKinds{model::kPaletteKindNames};

// Colour counts are chosen by radio buttons RB5..RB10 whose value is the colour count
// index; the table names the group by its first button.
constexpr std::array<FieldEntry, kFieldCount> kTable = {{
    {Field::Width, "CWidth", K::Number, S::None, E::AllFrames, 1, model::kMaxLabelSide, R::Fixed, "Width", kNoOptions},
    {Field::Height, "CHeight", K::Number, S::None, E::AllFrames, 1, model::kMaxLabelSide, R::Fixed, "Height", kNoOptions},
    {Field::Delay, "CDelay", K::Number, S::None, E::FollowLock, 30, kInt16Max, R::Fixed, "Delay Time", kNoOptions},
    {Field::WebSiteColor, "RZPanelWebSite", K::Color, S::None, E::AllFrames, 0, kColorMax, R::Fixed, "WebSite Color", kNoOptions},
    {Field::FrameColor, "RZPanelFrBack", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Frame Color", kNoOptions},
    {Field::GradientOn, "ChBox1", K::Flag, S::None, E::FollowLock, 0, 1, R::Fixed, "Add Gradient", kNoOptions},
    {Field::GradientStyle, "CBox1", K::Choice, S::None, E::FollowLock, 0, 8, R::Fixed, "Gradient Style", kGradientStyles},
    {Field::GradientColor1, "RZGR1", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Gradient Color1", kNoOptions},
    {Field::GradientColor2, "RZGR2", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Gradient Color2", kNoOptions},
    {Field::BordersOn, "ChBox3", K::Flag, S::None, E::FollowLock, 0, 1, R::Fixed, "Add Borders", kNoOptions},
    {Field::BorderInnerStyle, "CBox4", K::Choice, S::None, E::FollowLock, 0, 2, R::Fixed, "Border Inner Style", kBorderStyles},
    {Field::BorderOuterStyle, "CBox5", K::Choice, S::None, E::FollowLock, 0, 2, R::Fixed, "Border Outer Style", kBorderStyles},
    {Field::BevelWidth, "SE9", K::Number, S::None, E::FollowLock, 1, 255, R::BevelMaximum, "Bevel Width", kNoOptions},
    {Field::BorderWidth, "SE10", K::Number, S::None, E::FollowLock, 0, 255, R::BorderMaximum, "Border Width", kNoOptions},
    {Field::BorderColor, "RzBorderCL", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Border Color", kNoOptions},
    {Field::HighlightColor, "RzH", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Highlight Color", kNoOptions},
    {Field::ShadowColor, "RzS", K::Color, S::None, E::FollowLock, 0, kColorMax, R::Fixed, "Shadow Color", kNoOptions},
    {Field::ShapeStyle, "CBox8", K::Choice, S::Shape, E::FollowLock, 0, 2, R::Fixed, "Shape Style", kShapeStyles},
    {Field::ShapeX, "SE11", K::Number, S::Shape, E::FollowLock, kInt16Min, kInt16Max, R::ScreenWidth, "Shape X", kNoOptions},
    {Field::ShapeY, "SE12", K::Number, S::Shape, E::FollowLock, kInt16Min, kInt16Max, R::ScreenHeight, "Shape Y", kNoOptions},
    {Field::ShapeWidth, "SE13", K::Number, S::Shape, E::FollowLock, 0, kInt16Max, R::WorkAreaWidth, "Shape Width", kNoOptions},
    {Field::ShapeHeight, "SE14", K::Number, S::Shape, E::FollowLock, 0, kInt16Max, R::WorkAreaHeight, "Shape Height", kNoOptions},
    {Field::ShapeFillColor, "RzShapeCL", K::Color, S::Shape, E::FollowLock, 0, kColorMax, R::Fixed, "Shape Color", kNoOptions},
    {Field::ShapeBorderColor, "RzShapeBCL", K::Color, S::Shape, E::FollowLock, 0, kColorMax, R::Fixed, "Shape Border Color", kNoOptions},
    {Field::ShapeBorderWidth, "SE15", K::Number, S::Shape, E::FollowLock, 1, 20, R::Fixed, "Shape Border Width", kNoOptions},
    {Field::PictureFile, "RzB5", K::File, S::Picture, E::FollowLock, 0, 0, R::Fixed, "Picture", kNoOptions},
    {Field::PictureX, "SE3", K::Number, S::Picture, E::FollowLock, kInt16Min, kInt16Max, R::ScreenWidth, "Picture X", kNoOptions},
    {Field::PictureY, "SE4", K::Number, S::Picture, E::FollowLock, kInt16Min, kInt16Max, R::ScreenHeight, "Picture Y", kNoOptions},
    {Field::Text, "ETxt", K::Text, S::Text, E::FollowLock, 0, 0, R::Fixed, "Text", kNoOptions},
    {Field::TextX, "SE1", K::Number, S::Text, E::FollowLock, kInt16Min, kInt16Max, R::ScreenWidth, "Text X", kNoOptions},
    {Field::TextY, "SE2", K::Number, S::Text, E::FollowLock, kInt16Min, kInt16Max, R::ScreenHeight, "Text Y", kNoOptions},
    {Field::FontColor, "RzFont", K::Color, S::Text, E::FollowLock, 0, kColorMax, R::Fixed, "Font Color", kNoOptions},
    {Field::FontSize, "SE8", K::Number, S::Text, E::FollowLock, 1, 72, R::Fixed, "Font Size", kNoOptions},
    {Field::ViewAngle, "SE7", K::Number, S::Text, E::FollowLock, 0, 360, R::Fixed, "View Angle", kNoOptions},
    {Field::ShadowDarkness, "SE6", K::Number, S::Text, E::FollowLock, 0, 255, R::Fixed, "Shadow", kNoOptions},
    {Field::TextBorderWidth, "SE5", K::Number, S::Text, E::FollowLock, 0, 20, R::Fixed, "3D Border Width", kNoOptions},
    {Field::Text3DColor, "RzBorder", K::Color, S::Text, E::FollowLock, 0, kColorMax, R::Fixed, "3D Text Color", kNoOptions},
    {Field::TextGradientOn, "ChBox2", K::Flag, S::Text, E::FollowLock, 0, 1, R::Fixed, "Add Color Gradient", kNoOptions},
    {Field::TextGradientKind, "CBox2", K::Choice, S::Text, E::FollowLock, 0, 1, R::Fixed, "Text Gradient Style", kTextGradients},
    {Field::TextGradientColor1, "RzTGR1", K::Color, S::Text, E::FollowLock, 0, kColorMax, R::Fixed, "Text Gradient Color1", kNoOptions},
    {Field::TextGradientColor2, "RzTGr2", K::Color, S::Text, E::FollowLock, 0, kColorMax, R::Fixed, "Text Gradient Color2", kNoOptions},
    {Field::TextureFile, "RzB2", K::File, S::Text, E::FollowLock, 0, 0, R::Fixed, "Texture", kNoOptions},
    {Field::Transparent, "ChBox4", K::Flag, S::None, E::Project, 0, 1, R::Fixed, "Transparent GIF", kNoOptions},
    {Field::TransparentColor, "RzTransp", K::Color, S::None, E::Project, 0, kColorMax, R::Fixed, "Transparent Color", kNoOptions},
    {Field::PaletteKind, "RB1", K::Choice, S::None, E::Project, 0, 2, R::Fixed, "Palette", kPaletteKinds},
    {Field::ColorCount, "RB5", K::Choice, S::None, E::Project, 0, 5, R::Fixed, "Colors", kNoOptions},
}};

constexpr bool tableInFieldOrder() {
  for (std::size_t i = 0; i < kTable.size(); ++i) {
    if (static_cast<std::size_t>(kTable[i].field) != i) return false;
  }
  return true;
}
static_assert(tableInFieldOrder(), "fieldEntry() indexes the table by Field");

// Where a field lives in a record: one storage type per alternative.
using FieldRef = std::variant<std::uint8_t*, std::int16_t*, Color*, model::String255*>;

FieldRef fieldRef(model::FrameRecord& r, Field field, std::size_t i) {
  switch (field) {
    case Field::Width: return &r.width;
    case Field::Height: return &r.height;
    case Field::Delay: return &r.delayMs;
    case Field::WebSiteColor: return &r.webSiteColor;
    case Field::FrameColor: return &r.frameColor;
    case Field::GradientOn: return &r.gradientOn;
    case Field::GradientStyle: return &r.gradientStyle;
    case Field::GradientColor1: return &r.gradientColor1;
    case Field::GradientColor2: return &r.gradientColor2;
    case Field::BordersOn: return &r.bordersOn;
    case Field::BorderInnerStyle: return &r.borderInnerStyle;
    case Field::BorderOuterStyle: return &r.borderOuterStyle;
    case Field::BevelWidth: return &r.bevelWidth;
    case Field::BorderWidth: return &r.borderWidth;
    case Field::BorderColor: return &r.borderColor;
    case Field::HighlightColor: return &r.highlightColor;
    case Field::ShadowColor: return &r.shadowColor;
    case Field::ShapeStyle: return &r.shapeStyle[i];
    case Field::ShapeX: return &r.shapeX[i];
    case Field::ShapeY: return &r.shapeY[i];
    case Field::ShapeWidth: return &r.shapeWidth[i];
    case Field::ShapeHeight: return &r.shapeHeight[i];
    case Field::ShapeFillColor: return &r.shapeFillColor[i];
    case Field::ShapeBorderColor: return &r.shapeBorderColor[i];
    case Field::ShapeBorderWidth: return &r.shapeBorderWidth[i];
    case Field::PictureFile: return &r.pictureFile[i];
    case Field::PictureX: return &r.pictureX[i];
    case Field::PictureY: return &r.pictureY[i];
    case Field::Text: return &r.text[i];
    case Field::TextX: return &r.textX[i];
    case Field::TextY: return &r.textY[i];
    case Field::FontColor: return &r.fontColor[i];
    case Field::FontSize: return &r.fontSize[i];
    case Field::ViewAngle: return &r.viewAngle[i];
    case Field::ShadowDarkness: return &r.shadowDarkness[i];
    case Field::TextBorderWidth: return &r.textBorderWidth[i];
    case Field::Text3DColor: return &r.text3DColor[i];
    case Field::TextGradientOn: return &r.textGradientOn[i];
    case Field::TextGradientKind: return &r.textGradientKind[i];
    case Field::TextGradientColor1: return &r.textGradientColor1[i];
    case Field::TextGradientColor2: return &r.textGradientColor2[i];
    case Field::TextureFile: return &r.textureFile[i];
    case Field::Transparent:
    case Field::TransparentColor:
    case Field::PaletteKind:
    case Field::ColorCount: break;
  }
  throw std::invalid_argument("not a frame field");
}

std::size_t slotIndex(int slot) { return static_cast<std::size_t>(std::clamp(slot, 1, model::kSlots) - 1); }

long readNumber(const model::FrameRecord& record, Field field, int slot) {
  // fieldRef hands out a writable pointer; reading through it changes nothing.
  const FieldRef ref = fieldRef(const_cast<model::FrameRecord&>(record), field, slotIndex(slot));
  return std::visit(
      [](auto* p) -> long {
        if constexpr (std::is_same_v<decltype(p), model::String255*>) {
          return 0;
        } else {
          return static_cast<long>(*p);
        }
      },
      ref);
}


}  // namespace

std::span<const FieldEntry> fieldTable() { return kTable; }

const FieldEntry& fieldEntry(Field field) { return kTable.at(static_cast<std::size_t>(field)); }

const FieldEntry* fieldOfControl(std::string_view control) {
  for (const FieldEntry& entry : kTable) {
    if (entry.control == control) return &entry;
  }
  return nullptr;
}

FieldRange fieldRange(Field field, const model::FrameRecord& record, const RangeContext& context) {
  const FieldEntry& entry = fieldEntry(field);
  FieldRange range{entry.minimum, entry.maximum};
  const auto narrowTo = [&](long low, long high) {
    range.minimum = std::max(range.minimum, low);
    range.maximum = std::max(range.minimum, std::min(range.maximum, high));
  };
  switch (entry.rule) {
    case RangeRule::Fixed: break;
    case RangeRule::ScreenWidth:
      if (context.screenWidth > 0) narrowTo(-context.screenWidth, context.screenWidth);
      break;
    case RangeRule::ScreenHeight:
      if (context.screenHeight > 0) narrowTo(-context.screenHeight, context.screenHeight);
      break;
    case RangeRule::WorkAreaWidth:
      if (context.workAreaWidth > 0) narrowTo(entry.minimum, context.workAreaWidth);
      break;
    case RangeRule::WorkAreaHeight:
      if (context.workAreaHeight > 0) narrowTo(entry.minimum, context.workAreaHeight);
      break;
    case RangeRule::BevelMaximum: narrowTo(entry.minimum, borderLimits(record, record.width, record.height).bevelMax); break;
    case RangeRule::BorderMaximum:
      narrowTo(entry.minimum, borderLimits(record, record.width, record.height).borderMax);
      break;
  }
  return range;
}

int slotOf(const model::LabelProject& project, Field field) {
  switch (fieldEntry(field).slot) {
    case SlotList::None: return 0;
    case SlotList::Shape: return project.currentShape;
    case SlotList::Picture: return project.currentPicture;
    case SlotList::Text: return project.currentText;
  }
  return 0;
}

long fieldNumber(const model::LabelProject& project, Field field) {
  if (fieldEntry(field).scope == EditScope::Project) return settingNumber(project.settings, field);
  return readNumber(project.current(), field, slotOf(project, field));
}

std::string fieldText(const model::LabelProject& project, Field field) {
  const FieldRef ref = fieldRef(const_cast<model::FrameRecord&>(project.current()), field,
                                slotIndex(slotOf(project, field)));
  const auto* text = std::get_if<model::String255*>(&ref);
  return text ? (*text)->str() : std::string();
}

void writeField(model::FrameRecord& record, Field field, int slot, long value) {
  const FieldRef ref = fieldRef(record, field, slotIndex(slot));
  std::visit(
      [value](auto* p) {
        using T = std::remove_pointer_t<decltype(p)>;
        if constexpr (!std::is_same_v<T, model::String255>) *p = static_cast<T>(value);
      },
      ref);
  if (field == Field::BorderColor) {
    const BevelColors bevel = derivedBevelColors(static_cast<Color>(value));
    record.highlightColor = bevel.highlight;
    record.shadowColor = bevel.shadow;
  }
}

void writeField(model::FrameRecord& record, Field field, int slot, std::string_view text) {
  const FieldRef ref = fieldRef(record, field, slotIndex(slot));
  if (auto* const* s = std::get_if<model::String255*>(&ref)) (*s)->assign(text.substr(0, kTextLimit));
}

void copyField(const model::FrameRecord& from, model::FrameRecord& to, Field field, int slot) {
  const std::size_t i = slotIndex(slot);
  switch (field) {
    case Field::GradientOn:
    case Field::GradientStyle:
      to.gradientOn = from.gradientOn;
      to.gradientStyle = from.gradientStyle;
      return;
    case Field::TextGradientOn:
      to.textGradientOn[i] = from.textGradientOn[i];
      to.textGradientKind[i] = from.textGradientKind[i];
      return;
    case Field::BorderColor:
      to.borderColor = from.borderColor;
      to.highlightColor = from.highlightColor;
      to.shadowColor = from.shadowColor;
      return;
    case Field::ShapeFillColor:
      std::copy(std::begin(from.shapeFillColor), std::end(from.shapeFillColor), std::begin(to.shapeFillColor));
      return;
    case Field::ShapeBorderColor:
      std::copy(std::begin(from.shapeBorderColor), std::end(from.shapeBorderColor), std::begin(to.shapeBorderColor));
      return;
    default: break;
  }
  const FieldRef source = fieldRef(const_cast<model::FrameRecord&>(from), field, i);
  const FieldRef target = fieldRef(to, field, i);
  std::visit([&target](auto* p) { *std::get<decltype(p)>(target) = *p; }, source);
}

long settingNumber(const model::ProjectSettings& settings, Field field) {
  switch (field) {
    case Field::Transparent: return settings.transparent;
    case Field::TransparentColor: return static_cast<long>(settings.transparentColor);
    case Field::PaletteKind: return settings.paletteKind;
    case Field::ColorCount: return settings.colorCountIndex;
    default: throw std::invalid_argument("not a project setting");
  }
}

void writeSetting(model::ProjectSettings& settings, Field field, long value) {
  switch (field) {
    case Field::Transparent: settings.transparent = static_cast<std::uint8_t>(value); return;
    case Field::TransparentColor: settings.transparentColor = static_cast<Color>(value); return;
    case Field::PaletteKind: settings.paletteKind = static_cast<std::uint8_t>(value); return;
    case Field::ColorCount: settings.colorCountIndex = static_cast<std::uint8_t>(value); return;
    default: throw std::invalid_argument("not a project setting");
  }
}

}  // namespace zefra::editor
