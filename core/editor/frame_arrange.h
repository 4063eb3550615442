#pragma once
// Commands on the frames selected in the frame strip: moving them to another place,
// duplicating, deleting and reversing them, and giving them one delay. Each is one
// undoable step of the Editor; the frames they leave behind stay selected where that
// helps to go on (the moved block, the copies).

#include <string_view>

#include "editor/editor.h"

namespace zefra::editor {

inline constexpr std::string_view kMoveFramesLabel = "Move Frames";
inline constexpr std::string_view kDuplicateFramesLabel = "Duplicate Frames";
inline constexpr std::string_view kDeleteFramesLabel = "Delete Frames";
inline constexpr std::string_view kReverseFramesLabel = "Reverse Frames";
inline constexpr std::string_view kSetDelayLabel = "Set Delay";

// The frames of `frames`, in their order, go to the place before frame `before` (1..
// frameCount + 1, numbered as before the move); they stay selected and the current frame
// keeps its record. Nothing happens when they already stand there.
Change moveFrames(Editor& editor, const FrameSet& frames, int before);
// Copies of the selected frames, in their order, right after the last of them; the
// copies become the selection. Refused with kMaxFramesMessage past 127 frames.
Change duplicateFrames(Editor& editor);
// Removes the selected frames (one alone as Delete Frame does); refused with
// kCannotDeleteFrameMessage when no frame would be left.
Change deleteFrames(Editor& editor);
// Several selected frames swap places among themselves, first with last; with one
// selected the whole animation is reversed as Reverse Frame Order does.
Change reverseSelectedFrames(Editor& editor);
// Every selected frame gets the delay `ms`, kept within the delay field's range.
Change setFrameDelays(Editor& editor, int ms);

}  // namespace zefra::editor
