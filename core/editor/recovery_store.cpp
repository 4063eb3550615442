#include "editor/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "common/atomic_file.h"
#include "io/lbl_writer.h"

namespace zefra::editor {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInfoHeader = "zefra-recovery 1";
constexpr std::string_view kPrefix = "zefra-";
// A sidecar holds a path and a few dozen names; anything larger is not one.
constexpr std::uintmax_t kMaxInfoBytes = 1 << 20;

std::string escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      ++i;
      out += text[i] == 'n' ? '\n' : text[i];
    } else {
      out += text[i];
    }
  }
  return out;
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool readSmallFile(const fs::path& path, std::string& text) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxInfoBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(size));
  return static_cast<std::uintmax_t>(in.gcount()) == size;
}

void removeQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

}  // namespace

// An open lock file whose exclusive flock this process holds. The descriptor is closed
// on exec, so a program the editor starts (an image editor) never keeps the lock alive
// after the editor is gone.
class RecoveryLock {
 public:
  // Takes the lock of `path`, creating the file when it is missing. Answers null when
  // another process holds it; `created` tells whether this call made the file.
  static std::unique_ptr<RecoveryLock> take(const fs::path& path, bool& created) {
    created = false;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      created = fd >= 0;
      if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      if (created) ::unlink(path.c_str());
      created = false;
      return nullptr;
    }
    return std::unique_ptr<RecoveryLock>(new RecoveryLock(fd, path));
  }
  ~RecoveryLock() { ::close(fd); }
  RecoveryLock(const RecoveryLock&) = delete;
  RecoveryLock& operator=(const RecoveryLock&) = delete;

  // Removes the lock file while still holding the lock, so nobody takes it in between.
  void removeFile() const { ::unlink(path.c_str()); }

 private:
  RecoveryLock(int fd, fs::path path) : fd(fd), path(std::move(path)) {}
  int fd;
  fs::path path;
};

fs::path recoveryFolder(const char* xdgDataHome, const char* home) {
  // A relative XDG_DATA_HOME is invalid and must be ignored.
  if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute()) {
    return fs::path(xdgDataHome) / "zefra" / "recovery";
  }
  if (home && *home) return fs::path(home) / ".local" / "share" / "zefra" / "recovery";
  return {};
}

fs::path recoveryFolderFromEnvironment() {
  return recoveryFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::vector<std::string> pictureNames(const model::LabelProject& project) {
  std::vector<std::string> names;
  const auto note = [&names](const model::String255& name) {
    if (name.empty()) return;
    std::string text(name.view());
    if (std::find(names.begin(), names.end(), text) == names.end()) names.push_back(std::move(text));
  };
  for (int k = 1; k <= project.frameCount; ++k) {
    const model::FrameRecord& r = project.frame(k);
    for (const model::String255& name : r.pictureFile) note(name);
    for (const model::String255& name : r.textureFile) note(name);
  }
  return names;
}

std::string formatRecoveryInfo(const RecoveryInfo& info) {
  std::string text(kInfoHeader);
  text += "\noriginal " + escape(info.originalPath);
  text += "\nsaved " + std::to_string(info.savedAt);
  text += "\nframes " + std::to_string(info.frames);
  for (const std::string& name : info.pictures) text += "\npicture " + escape(name);
  text += '\n';
  return text;
}

bool parseRecoveryInfo(std::string_view text, RecoveryInfo& info) {
  info = RecoveryInfo{};
  bool headerSeen = false;
  bool originalSeen = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!headerSeen) {
      if (line != kInfoHeader) return false;
      headerSeen = true;
      continue;
    }
    const std::size_t space = line.find(' ');
    const std::string_view key = line.substr(0, space);
    const std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (key == "original") {
      info.originalPath = unescape(value);
      originalSeen = true;
    } else if (key == "saved") {
      if (!parseNumber(value, info.savedAt)) return false;
    } else if (key == "frames") {
      if (!parseNumber(value, info.frames)) return false;
    } else if (key == "picture") {
      info.pictures.push_back(unescape(value));
    }
    // Other keys belong to a later version and are passed over.
  }
  return headerSeen && originalSeen;
}

RecoveryStore::RecoveryStore(fs::path folder, std::string name) : dir(std::move(folder)), stem(std::move(name)) {}

RecoveryStore::~RecoveryStore() = default;

std::string RecoveryStore::uniqueCopyName() {
  static const std::string process = [] {
    const auto started = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return std::string(kPrefix) + std::to_string(::getpid()) + "-" + std::to_string(started.count());
  }();
  static std::atomic<int> calls{0};
  const int n = ++calls;
  return n == 1 ? process : process + "-" + std::to_string(n);
}

fs::path RecoveryStore::pathFor(std::string_view extension) const { return dir / (stem + std::string(extension)); }

fs::path RecoveryStore::projectPath() const { return pathFor(".lbl"); }

void RecoveryStore::write(const model::LabelProject& project, std::int64_t now) {
  if (dir.empty()) throw std::invalid_argument("There is no folder for recovery copies.");
  const fs::path target = projectPath();
  std::error_code ec;
  if (!project.fileName.empty() && fs::equivalent(target, project.fileName.str(), ec)) {
    throw std::invalid_argument("The recovery copy would replace the project's own file.");
  }
  if (!fs::is_directory(dir)) {
    fs::create_directories(dir);
    // The copies hold the user's unsaved work: for the user's eyes only.
    fs::permissions(dir, fs::perms::owner_all, ec);
  }
  if (!ownLock) {
    bool created = false;
    ownLock = RecoveryLock::take(pathFor(".lock"), created);
    if (!ownLock) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                              "Lock " + pathFor(".lock").string());
    }
  }
  RecoveryInfo info;
  info.originalPath = project.fileName.str();
  info.savedAt = now;
  info.frames = project.frameCount;
  info.pictures = pictureNames(project);
  const std::string text = formatRecoveryInfo(info);
  // The sidecar goes first: a copy cut short between the two files is then one without
  // a project, which the listing cleans up, never a project without its original path.
  common::writeFileAtomically(pathFor(".info"),
                              {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  // The writer settles relative names and record 1 in what it writes: work on a copy so
  // the project being edited stays exactly as it is.
  auto copy = std::make_unique<model::LabelProject>(project);
  io::writeLblFile(target, *copy);
  written = true;
}

void RecoveryStore::remove() {
  if (!ownLock) return;
  removeQuietly(pathFor(".info"));
  removeQuietly(pathFor(".lbl"));
  ownLock->removeFile();
  ownLock.reset();
  written = false;
}

std::vector<RecoveryCopy> RecoveryStore::orphanedCopies() const {
  std::vector<RecoveryCopy> copies;
  std::error_code ec;
  fs::directory_iterator entries(dir, ec);
  if (ec) return copies;
  std::vector<std::string> stems;
  for (const fs::directory_entry& entry : entries) {
    const fs::path& path = entry.path();
    const std::string name = path.stem().string();
    if (path.extension() == ".info" && name.starts_with(kPrefix) && name != stem) stems.push_back(name);
  }
  for (const std::string& name : stems) {
    const fs::path lockPath = dir / (name + ".lock");
    bool created = false;
    std::shared_ptr<RecoveryLock> claim = RecoveryLock::take(lockPath, created);
    if (!claim) continue;  // its editor still runs, or another editor offers it now
    RecoveryCopy copy;
    copy.name = name;
    copy.project = dir / (name + ".lbl");
    copy.claim = claim;
    std::string text;
    // Read after the lock is held: an owner that removed its copy meanwhile is seen.
    const bool hasInfo = readSmallFile(dir / (name + ".info"), text);
    if (!hasInfo && !fs::exists(dir / (name + ".info"), ec)) {
      if (created) claim->removeFile();
      continue;
    }
    if (!fs::is_regular_file(copy.project, ec)) {
      // Its editor died before it wrote a project: nothing to offer, nothing to keep.
      discard(copy);
      continue;
    }
    if (!hasInfo || !parseRecoveryInfo(text, copy.info)) {
      // A damaged sidecar must not cost the work: offer the project as never saved, from
      // the time its file was written.
      copy.info = RecoveryInfo{};
      const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(copy.project, ec));
      if (!ec) copy.info.savedAt = std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count();
    }
    copies.push_back(std::move(copy));
  }
  std::stable_sort(copies.begin(), copies.end(),
                   [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.info.savedAt > b.info.savedAt; });
  return copies;
}

void RecoveryStore::discard(const RecoveryCopy& copy) const {
  removeQuietly(dir / (copy.name + ".info"));
  removeQuietly(dir / (copy.name + ".lbl"));
  if (copy.claim) copy.claim->removeFile();
}

}  // namespace zefra::editor
