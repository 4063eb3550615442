#pragma once
// Recovery copies: while a project has unsaved changes the editor keeps a copy of it in
// the user's data folder, so a crash, a kill or a power cut costs at most the last few
// seconds of work. A copy is a project file written by the project's own writer (the
// format never changes) plus a small text sidecar with the path the project came from
// and the names of the pictures and textures it uses.
//
// Every running editor owns one copy, named after its process id and start time, and
// holds an advisory lock (flock) on a lock file beside it for as long as it runs. The
// kernel drops the lock when the process ends however it ends, so a copy whose lock can
// be taken belongs to an editor that is gone: only those are offered, and the editor
// offering one keeps its lock until it has recovered or discarded it, so two editors
// started together never offer the same copy.
//
// Files are written into the recovery folder only; nothing here ever writes the file the
// project came from.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/label_project.h"

namespace zefra::editor {

// $XDG_DATA_HOME/zefra/recovery when that is an absolute path, else
// $HOME/.local/share/zefra/recovery; empty when neither can be had.
std::filesystem::path recoveryFolder(const char* xdgDataHome, const char* home);
// The same from this process's environment.
std::filesystem::path recoveryFolderFromEnvironment();

// The distinct picture and texture names of frames 1..frameCount, as the records hold
// them, in order of first use.
std::vector<std::string> pictureNames(const model::LabelProject& project);

// The sidecar's text and its reading; a sidecar that is not one answers false.
struct RecoveryInfo {
  std::string originalPath;  // empty: the project had never been saved
  std::int64_t savedAt = 0;  // seconds since the epoch
  int frames = 0;
  std::vector<std::string> pictures;
};
std::string formatRecoveryInfo(const RecoveryInfo& info);
bool parseRecoveryInfo(std::string_view text, RecoveryInfo& info);

class RecoveryLock;

// A copy left by an editor that no longer runs. While any RecoveryCopy value for it
// exists, this process holds its lock and no other editor offers it.
struct RecoveryCopy {
  std::string name;                // the files' common stem
  std::filesystem::path project;   // the project file of the copy
  RecoveryInfo info;
  std::shared_ptr<RecoveryLock> claim;
};

class RecoveryStore {
 public:
  // `name` is the stem of this store's copy; the default is unique to the store.
  explicit RecoveryStore(std::filesystem::path folder, std::string name = uniqueCopyName());
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  // "zefra-<pid>-<process start time in ms>", with "-<n>" after it from the second call
  // on, so two editors in one process keep apart too.
  static std::string uniqueCopyName();

  const std::filesystem::path& folder() const { return dir; }
  std::filesystem::path projectPath() const;  // where this process's copy goes
  bool hasCopy() const { return written; }

  // Writes (or replaces) this process's copy of `project`, stamped with `now` (seconds
  // since the epoch). The project itself is not touched. Throws std::system_error when
  // the folder or a file cannot be written, and std::invalid_argument when the copy
  // would land on the project's own file.
  void write(const model::LabelProject& project, std::int64_t now);
  // Removes this process's copy, if any.
  void remove();

  // The copies of editors that no longer run, newest first, each claimed for this
  // process. A copy whose editor died before it wrote the project is removed; one whose
  // sidecar is damaged is offered as a project that was never saved.
  std::vector<RecoveryCopy> orphanedCopies() const;
  // Removes the files of a claimed copy.
  void discard(const RecoveryCopy& copy) const;

 private:
  std::filesystem::path pathFor(std::string_view extension) const;

  std::filesystem::path dir;
  std::string stem;
  std::unique_ptr<RecoveryLock> ownLock;
  bool written = false;
};

}  // namespace zefra::editor
