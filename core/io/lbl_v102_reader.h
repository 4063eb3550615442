#pragma once
// The project format of version 1.02: 4100-byte records, at most 5 texts and 5 pictures
// per frame, no shapes and no textures. It is read and converted, never written.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/label_project.h"

namespace zefra::io {

inline constexpr std::size_t kV102RecordSize = 4100;
inline constexpr int kV102Slots = 5;

// Converts the records of a 1.02 file into the cleared `project` (designDpi untouched).
// Answers false when the frame count is outside 1..127 or the bytes are too few.
bool readOldLbl(std::span<const std::uint8_t> bytes, model::LabelProject& project);

// "The file " + fileName + " has been created with Zefra 1.02. Probably, it will be
// displayed with some distortions."
std::string v102WarningText(std::string_view fileName);

}  // namespace zefra::io
