#pragma once
// The editable fields of a project, one typed entry per control of the property pages:
// which field (and which slot list picks its slot), which frames an edit reaches, the
// range a control offers, the undo label, and the objectName of the control that edits
// it. The panels bind their controls to these entries and write through
// Editor::setField(), so every Lock Frames rule, range and undo label is decided here
// and tested without a window.
//
// Numbers, colours, flags and choices travel as `long`; texts and file names as text.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/color.h"
#include "model/frame_record.h"
#include "model/label_project.h"

namespace zefra::editor {

// Which frames a field edit reaches.
enum class EditScope {
  CurrentFrame,  // the current frame only
  FollowLock,    // the current frame while Lock Frames is on, every frame while it is off
  AllFrames,     // every frame (fields that are the same in every frame, such as the size)
  Project,       // a project-wide setting (GIF properties), not a frame field
};

enum class Field {
  // General page
  Width, Height, Delay, WebSiteColor, FrameColor,
  GradientOn, GradientStyle, GradientColor1, GradientColor2,
  BordersOn, BorderInnerStyle, BorderOuterStyle, BevelWidth, BorderWidth, BorderColor, HighlightColor, ShadowColor,
  // Pictures/Shapes page
  ShapeStyle, ShapeX, ShapeY, ShapeWidth, ShapeHeight, ShapeFillColor, ShapeBorderColor, ShapeBorderWidth,
  PictureFile, PictureX, PictureY,
  // 3D Text page
  Text, TextX, TextY, FontColor, FontSize, ViewAngle, ShadowDarkness, TextBorderWidth, Text3DColor,
  TextGradientOn, TextGradientKind, TextGradientColor1, TextGradientColor2, TextureFile,
  // GIF Properties page (project-wide)
  Transparent, TransparentColor, PaletteKind, ColorCount,
};
inline constexpr int kFieldCount = static_cast<int>(Field::ColorCount) + 1;

enum class FieldKind {
  Number,  // a spin box or number edit
  Color,   // a colour button: a Color value
  Flag,    // a check box: 0 or 1
  Choice,  // a list or radio group: the index of `options`
  Text,    // the text of a text slot, up to 255 bytes
  File,    // a picture or texture path, up to 255 bytes
};

// Which of the three slot lists picks the slot an entry edits.
enum class SlotList { None, Shape, Picture, Text };

// Where a range's bounds come from when they are not fixed numbers.
enum class RangeRule {
  Fixed,           // minimum..maximum as listed
  ScreenWidth,     // -screen width..screen width
  ScreenHeight,    // -screen height..screen height
  WorkAreaWidth,   // minimum..width of the canvas work area
  WorkAreaHeight,  // minimum..height of the canvas work area
  BevelMaximum,    // minimum..what fits beside the border (borderLimits().bevelMax)
  BorderMaximum,   // minimum..what fits inside the bevels (borderLimits().borderMax)
};

struct FieldEntry {
  Field field;
  std::string_view control;  // objectName of the control ("SE3", "RZPanelFrBack")
  FieldKind kind;
  SlotList slot;
  EditScope scope;
  long minimum;
  long maximum;
  RangeRule rule;
  std::string_view undoLabel;  // "Undo " + this
  std::span<const std::string_view> options;  // captions of a Choice, by value
};

// Every entry, in the order of Field.
std::span<const FieldEntry> fieldTable();
const FieldEntry& fieldEntry(Field field);
// The entry a control edits, by its objectName; nullptr when it edits no field.
const FieldEntry* fieldOfControl(std::string_view control);

// What the range rules measure on the display; zero where unknown (the rule then falls
// back to what the record field can hold).
struct RangeContext {
  int screenWidth = 0;
  int screenHeight = 0;
  int workAreaWidth = 0;
  int workAreaHeight = 0;
};

struct FieldRange {
  long minimum = 0;
  long maximum = 0;
};

// The range a control offers for `field` given the current record.
FieldRange fieldRange(Field field, const model::FrameRecord& record, const RangeContext& context = {});

// The slot (1..10) an entry edits in `project`; 0 for fields without a slot.
int slotOf(const model::LabelProject& project, Field field);

// The value a control shows: of the current frame and the selected slot, or of the
// project settings. fieldNumber for every kind but Text and File, fieldText for those.
long fieldNumber(const model::LabelProject& project, Field field);
std::string fieldText(const model::LabelProject& project, Field field);

// Writes `value` (already within range) into `record` at slot `slot` (1..10), with
// what goes with it (a border colour brings its bevel colours).
void writeField(model::FrameRecord& record, Field field, int slot, long value);
void writeField(model::FrameRecord& record, Field field, int slot, std::string_view text);
// Copies what an edit of `field` at `slot` hands on to other frames: the field, the
// fields written with it, and for the shape colours the colours of all ten slots.
void copyField(const model::FrameRecord& from, model::FrameRecord& to, Field field, int slot);

// Project-wide settings behind the GIF Properties entries.
long settingNumber(const model::ProjectSettings& settings, Field field);
void writeSetting(model::ProjectSettings& settings, Field field, long value);

}  // namespace zefra::editor
