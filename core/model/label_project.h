#pragma once
// The editor's project state: the fixed array of 127 frame records, edited in place,
// and the handful of fields the editor keeps beside it. One instance lives as long as the
// editor; it is about 1.4 MB, so create it on the heap (std::make_unique<LabelProject>()).

#include <array>
#include <cstdint>
#include <string>

#include "common/color.h"
#include "model/frame_record.h"
#include "model/path_text.h"
#include "model/string255.h"

namespace zefra::model {

// Settings that belong to the project rather than to a frame. In the file they live in
// the frame-1-only fields of record 1; in memory they are kept here so that inserting,
// deleting or reversing frames never moves them.
struct ProjectSettings {
  std::uint8_t transparent = 0;  // 1 = write a transparent GIF
  Color transparentColor = 0;
  std::uint8_t paletteKind = 0;      // PaletteKind
  std::uint8_t colorCountIndex = 0;  // 0=256, 1=8, 2=16, 3=32, 4=64, 5=128 colours
  std::int16_t designDpi = 0;        // screen DPI when the project was created

  friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

// Default values of a new project's first frame (all ten slots of each layer alike).
inline constexpr std::int16_t kNewDelayMs = 100;
inline constexpr Color kNewWebSiteColor = rgb(0, 170, 170);
inline constexpr Color kNewFrameColor = rgb(136, 136, 136);
inline constexpr std::int16_t kNewWidth = 468;
inline constexpr std::int16_t kNewHeight = 60;
inline constexpr Color kNewTransparentColor = rgb(136, 136, 136);

struct LabelProject {
  // Frames 1..127 at index 0..126; use frame(k). Records past frameCount keep whatever
  // they held and are never shown or saved.
  std::array<FrameRecord, kMaxFrames> records{};

  std::uint8_t frameCount = 1;    // 1..127
  std::uint8_t currentFrame = 1;  // 1..frameCount
  std::int16_t currentText = 1;     // 1..10, the slot selected on the text panel
  std::int16_t currentPicture = 1;  // 1..10
  std::int16_t currentShape = 1;    // 1..10

  ProjectSettings settings;

  PathText fileName;    // full path of the project file; empty until Save as or a load
  PathText projectDir;  // folder of the last opened or saved project
  bool modified = false;
  bool lockFrames = true;  // set = edits change only the current frame
  std::string appDir;      // the program's folder, with a trailing separator
  std::int16_t screenDpi = 96;
  std::array<String255, kSlots> loadedPictureFile{};  // per picture slot, 1 at index 0
  std::array<std::int32_t, kSlots> pictureFileTime{};

  // Frame k, 1-based (1..127). Throws std::out_of_range outside that range.
  FrameRecord& frame(int k);
  const FrameRecord& frame(int k) const;
  FrameRecord& current() { return frame(currentFrame); }
  const FrameRecord& current() const { return frame(currentFrame); }

  // The cleared state: in all 127 records every field from frameCount onward becomes zero
  // (strings empty) and frameCount 1; signature, designDpi and pad bytes stay as they
  // are. The project's frame count becomes 1, its settings are zeroed except designDpi,
  // and the loaded picture files are forgotten. Hiding the canvas objects is the
  // renderer's half of clearing.
  void clear();

  // Steps of the New command after clear(): one frame, current slots 1, Lock Frames
  // on, designDpi = screenDpi, default project settings and the New values in frame 1.
  void applyNewDefaults();

  // Copies the project settings and the identification (signature, frameCount) into the
  // frame-1-only fields of record 1, as they are written to a file.
  void storeSettingsInRecord1();
  // Takes the project settings from the frame-1-only fields of record 1.
  void takeSettingsFromRecord1();
};

// Returns a record holding the New values in every field the New command sets, the
// frame-1-only fields included (signature zero).
FrameRecord newFrameRecord(std::int16_t designDpi);

}  // namespace zefra::model
