#pragma once
// Watching a picture file while it is edited in another program. All slots of the current
// frame that show the file (the very same name) are watched together. A change of the
// file's time stamp or size means the program saved: the slots are reloaded. A reload
// that fails (the program is still writing, or wrote something unreadable) keeps the
// picture that was shown and is tried again at the next look, since the stamp is only
// taken once a reload succeeded. A file that goes missing is skipped until it is back.
//
// The watch knows nothing of clocks, processes or file systems: the caller looks at the
// file (on a change notice and once a second, as editors often replace a file by renaming
// a new one over it) and hands the stamp in.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/frame_record.h"

namespace zefra::editor {

struct FileStamp {
  std::int64_t modifiedNs = 0;
  std::int64_t size = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of a regular file; nothing when it is missing or cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

// The picture slots (1..10) of `record` whose file name is byte for byte that of `slot`;
// empty when that slot has no file.
std::vector<int> slotsShowingSameFile(const model::FrameRecord& record, int slot);

class PictureWatch {
 public:
  // Starts watching `file` shown in `slots`, replacing whatever was watched. `stamp` is
  // the file's stamp now; a missing file (nullopt) gives up silently and answers false.
  bool start(std::string file, std::vector<int> slots, std::optional<FileStamp> stamp);
  void stop();
  bool active() const { return watching; }
  const std::string& file() const { return path; }
  const std::vector<int>& slots() const { return watchedSlots; }

  // A look at the file: true when the slots need reloading (the file is there and its
  // stamp differs from the last one taken).
  bool changed(const std::optional<FileStamp>& now) const;
  // The slots were reloaded from the file with stamp `now`: the stamp is taken. Not
  // called after a failed reload, so the next look tries again.
  void reloaded(const FileStamp& now) { lastStamp = now; }

 private:
  bool watching = false;
  std::string path;
  std::vector<int> watchedSlots;
  FileStamp lastStamp;
};

}  // namespace zefra::editor
