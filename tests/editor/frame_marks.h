#pragma once
// Reading back the frame order of an Editor whose frames carry their first position as
// delay k * 10, and listing the frames of a FrameSet.
#include <vector>

#include "editor/editor.h"

namespace zefra::editor {

// The frame marks in order, as delay / 10.
inline std::vector<int> order(const Editor& editor) {
  std::vector<int> marks;
  for (int k = 1; k <= editor.project().frameCount; ++k) marks.push_back(editor.project().frame(k).delayMs / 10);
  return marks;
}

inline std::vector<int> frameList(const FrameSet& set) {
  std::vector<int> frames;
  for (std::size_t k = 0; k < set.size(); ++k)
    if (set.test(k)) frames.push_back(static_cast<int>(k));
  return frames;
}

}  // namespace zefra::editor
