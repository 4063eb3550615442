#pragma once
// Importing an animated GIF as frames of the project: every frame of the animation, as a
// viewer shows it (drawn over what the frames before it left, after their disposal), is
// written as a 24-bit BMP picture and becomes a new frame that shows that picture at
// (0, 0) for the GIF's delay. Pixels the animation leaves transparent take the frame's
// background colour, as the GIF would show on that colour.
//
// The pictures are stored in the given folder (beside the project) as
// "<GIF name>_<frame number, 3 digits>.bmp"; BMP, so that they reload like any picture
// the user loads. A file of that name holding other pixels is never overwritten: the
// next free name "<GIF name>_<nnn>-<k>.bmp" is taken instead. A name taken by something
// that is not a regular file (a folder, FIFO or device) is passed over unread.
//
// The GIF's screen must make a picture Zefra reads back and a label can show (at most
// model::kMaxLabelSide a side and model::kMaxLabelPixels): it is checked from the header,
// before a frame is decoded or composed, and the frames are composed and written one at
// a time.

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "gif/frame_composer.h"
#include "model/label_project.h"

namespace zefra::editor {

inline constexpr std::string_view kImportGifLabel = "Import GIF";

// One frame of an animation as a viewer shows it.
struct ComposedGifFrame {
  gif::RgbaImage picture;
  int delayMs = 0;  // at least 30, as the editor keeps every delay
};

// The frames of one pass of the animation, composed with disposal and transparency by the
// animation player. Throws gif::GifError (or std::system_error) when the file cannot be
// read.
std::vector<ComposedGifFrame> composeGifFrames(const std::filesystem::path& gif);

// A project that is still new and empty: one frame, and nothing on it but its background
// (no text, picture or shape in use, no gradient, no borders). Importing into it replaces
// that frame and gives the label the GIF's size.
bool isNewAndEmpty(const model::LabelProject& project);

// "<folder>/<gif stem>_<nnn>.bmp" for frame `frame` (1-based).
std::filesystem::path importedPicturePath(const std::filesystem::path& folder, const std::filesystem::path& gif,
                                          int frame);

// What an import needs to know of the project, taken on the thread that owns the editor
// so the slow part can run on another.
struct GifImportPlan {
  bool replace = false;         // the project is new and empty: its frame is replaced
  int kept = 0;                 // frames kept before the imported ones
  model::FrameRecord base;      // the record every imported frame starts from
  int labelWidth = 0, labelHeight = 0;
};
GifImportPlan planGifImport(const model::LabelProject& project);

// Progress (frames written of all) and a flag another thread sets to stop the import.
struct GifImportControl {
  std::function<void(int done, int total)> progress;
  const std::atomic<bool>* cancel = nullptr;
};

// The slow part: the GIF read and composed, the pictures written; the project untouched.
// `refusal` holds the message when nothing may be imported (pictures this call wrote are
// removed again then), and is kCancelledImport when the control's flag was set.
struct PreparedGifImport {
  std::string refusal;
  std::vector<model::FrameRecord> records;
  std::vector<std::string> pictures;
  std::vector<std::filesystem::path> created;  // pictures this import wrote
  bool replace = false;
  bool resizes = false;
  int kept = 0;
};
inline constexpr std::string_view kCancelledImport = "The GIF import was cancelled.";
PreparedGifImport prepareGifImport(const GifImportPlan& plan, const std::filesystem::path& gif,
                                   const std::filesystem::path& pictureFolder, const GifImportControl& control = {});

// Removes the pictures a prepared import wrote, for an import that is not applied.
void discardGifImport(PreparedGifImport& prepared);

struct GifImportResult {
  Change change;  // applied == false with the message when nothing was imported
  std::vector<std::string> pictures;  // the picture of each imported frame, in order
  bool resized = false;               // the label took the GIF's size
};

// Appends the frames of `gif` (or replaces a new and empty project's frame with them) as
// one undoable step; the first imported frame becomes current. Refused with
// kMaxFramesMessage when the frames do not fit into 127, and with a message naming the
// file when it cannot be read or a picture cannot be written (pictures written by this
// call are removed again then).
GifImportResult importGif(Editor& editor, const std::filesystem::path& gif, const std::filesystem::path& pictureFolder);

// The quick part on the editor's thread: the prepared frames become one undoable step.
// A refused preparation, or a project changed so the frames no longer fit, is refused
// with the pictures removed.
GifImportResult applyGifImport(Editor& editor, PreparedGifImport prepared);

}  // namespace zefra::editor
