#pragma once
// Frame tools beyond the basic frame commands: moving the current frame one place left or
// right, and tweening (inserting frames that pass smoothly from the current frame to the
// next). Each is one undoable step of the Editor and keeps to the 127-frame limit.

#include <array>
#include <optional>
#include <string_view>

#include "editor/editor.h"
#include "model/frame_record.h"

namespace zefra::editor {

inline constexpr std::string_view kMoveFrameLeftLabel = "Move Frame Left";
inline constexpr std::string_view kMoveFrameRightLabel = "Move Frame Right";
inline constexpr std::string_view kTweenFramesLabel = "Tween Frames";
inline constexpr std::string_view kTweenNeedsTwoFramesMessage =
    "Tweening needs a second frame to pass to: insert a frame first.";
inline constexpr std::string_view kTweenTargetMessage =
    "The frame to tween to must come after the frame to tween from.";

// How the in-between frames are spread over the way from one frame to the next, as a
// curve of the time t (0..1): Linear t, In t^2 (starts slowly), Out 1-(1-t)^2 (ends
// slowly), InOut 3t^2-2t^3 (both).
enum class Easing { Linear, In, Out, InOut };
// The names the editor shows, in the order of the enum.
inline constexpr std::array<std::string_view, 4> kEasingCaptions = {"Linear", "Ease In", "Ease Out", "Ease In-Out"};
// The names the command line takes: "linear", "in", "out", "in-out".
inline constexpr std::array<std::string_view, 4> kEasingNames = {"linear", "in", "out", "in-out"};
std::optional<Easing> easingFromName(std::string_view name);

struct TweenOptions {
  int count = 0;  // frames to make
  Easing easing = Easing::Linear;
  bool keepDelays = false;  // every new frame takes the delay of the frame tweened from
  // 0: insert between the current frame and the next. Otherwise a later frame to tween to;
  // the frames between the current one and it are replaced by the new ones.
  int toFrame = 0;
};

// The current frame swaps places with the one before (after) it and stays current, so
// pressing the command again keeps moving the same frame. The first frame cannot move
// left nor the last right: those answer applied == false without a message.
Change moveFrameLeft(Editor& editor);
Change moveFrameRight(Editor& editor);

// Inserts `count` frames between the current frame and the next one (after the last
// frame the next one is frame 1, as the animation loops). Every numeric field that differs
// between the two is interpolated; everything else is copied from the current frame. The
// first inserted frame becomes current. Refused with kMaxFramesMessage when the project
// would pass 127 frames, with kTweenNeedsTwoFramesMessage for a one-frame project; a
// count below 1 does nothing.
Change tweenFrames(Editor& editor, int count);
// The same with a choice of easing and delays, or re-tweening the frames between the
// current frame and options.toFrame in place (one undo step either way). A target that
// is not after the current frame is refused with kTweenTargetMessage; the frame limit
// counts the frames that remain after the replaced ones are gone.
Change tweenFrames(Editor& editor, const TweenOptions& options);

// Frame `step` (1..steps) of `steps` frames between `from` and `to`. A numeric field gets
// from + (to - from) x e(step / (steps + 1)) for the easing curve e, rounded to the
// nearest integer with halves to even (exact integer arithmetic, so equal ends always
// give that value back, and mirrored curves give mirrored values). Colours are
// interpolated channel by channel; a system colour at either end is not a mixable RGB
// value, so it is copied from `from`. The view angle goes the plain numeric way (0 to 300
// passes 150), the way its spin counts. Texts, names, files, styles, switches and the
// fields that belong to frame 1 only are copied from `from`, and so are the label size
// and the web site colour, which are the same in every frame.
model::FrameRecord tweenRecord(const model::FrameRecord& from, const model::FrameRecord& to, int step, int steps,
                               Easing easing = Easing::Linear);

}  // namespace zefra::editor
