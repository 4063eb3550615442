#pragma once
// Changing a banner's size for another ad slot: the standard slot sizes, and the resize
// that takes the content along, either scaled to the new size (fonts, shapes, borders and
// pictures; pictures are resampled into new files) or kept at its size and moved by an
// anchor. Both reach every frame and make one undoable step.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "model/label_project.h"
#include "render/text_layer_painter.h"

namespace zefra::editor {

inline constexpr std::string_view kResizeBannerLabel = "Resize Banner";

struct BannerSize {
  std::string_view name;
  int width = 0;
  int height = 0;
};

// The standard ad slot sizes, Full Banner (468 x 60) first.
std::span<const BannerSize> standardBannerSizes();
// "Leaderboard 728 x 90".
std::string bannerSizeText(const BannerSize& size);
// "728x90" (an x or X, no spaces) within the drawable label sizes; nothing otherwise.
std::optional<BannerSize> parseBannerSize(std::string_view text);

enum class Anchor { TopLeft, Top, TopRight, Left, Center, Right, BottomLeft, Bottom, BottomRight };

// "top-left", "top", "top-right", "left", "center", "right", "bottom-left", "bottom",
// "bottom-right" (the names the command line takes; "centre" is read as well).
std::optional<Anchor> anchorNamed(std::string_view name);
std::string_view anchorName(Anchor anchor);
std::span<const Anchor> allAnchors();

struct ResizeRequest {
  int width = 0;
  int height = 0;
  std::optional<Anchor> anchor;  // none: scale the content
  // Where resampled pictures are written; empty: beside the picture they come from.
  std::filesystem::path pictureFolder;
  // The folder the project is saved in (empty: its file's folder); pictures written there
  // are stored by their bare name.
  std::filesystem::path projectFolder;
  // Measures texts (not owned). A font does not grow exactly in proportion to its size, so
  // with a measure a text keeps the centre of its drawn box where the mapping puts it, so
  // centred text stays centred, and a text that stood inside the banner stays inside;
  // without one its corner is mapped like any position.
  render::TextLayerPainter* textMeasure = nullptr;
};

struct ResizedFrames {
  std::vector<model::FrameRecord> records;  // frames 1..frameCount at the new size
  std::vector<std::string> writtenPictures;  // files this resize created
  std::vector<std::string> notes;            // pictures that could not follow, and why
};

// The scale factor of the content: min(W'/W, H'/H).
double contentScale(int fromWidth, int fromHeight, int toWidth, int toHeight);

// The project's frames at the requested size; the project is only read. Scaling maps a
// position x to x*s + (W' - W*s)/2 (y likewise) and scales font sizes, shape sizes and the
// border, bevel, shape border and 3D border widths by s, rounded and kept within their
// limits (a zero stays zero). Each picture is resampled by s into NAME-<W'>x<H'>.bmp in the
// picture folder, written once however many frames use it; an existing file of that name
// with other content is never replaced (a number is added instead). An anchor keeps every
// size and moves each position by the anchor's share of the size difference. Throws
// std::invalid_argument for a size that cannot be drawn and std::system_error when a
// picture cannot be written.
ResizedFrames resizeFrames(const model::LabelProject& project, const ResizeRequest& request);

// resizeFrames() applied to the editor's project as one undo step labelled
// kResizeBannerLabel. Pictures go beside the project file (beside each picture while the
// project is untitled) unless the request names a folder.
struct ResizeOutcome {
  Change change;
  std::vector<std::string> writtenPictures;
  std::vector<std::string> notes;
};
ResizeOutcome resizeProject(Editor& editor, ResizeRequest request);

}  // namespace zefra::editor
