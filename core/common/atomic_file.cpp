#include "common/atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

namespace zefra::common {
namespace {

[[noreturn]] void throwSystemError(int error, const std::string& action, const std::filesystem::path& path) {
  throw std::system_error(error, std::generic_category(), action + " " + path.string());
}

// The temporary files being written, where a signal handler may read them: fixed slots,
// each claimed with an atomic exchange and published only once its name is complete.
// Everything the handler touches is async-signal-safe (atomics, unlink, write).
constexpr int kCleanupSlots = 64;
constexpr std::size_t kMaxTemporaryName = 4096;
struct CleanupSlot {
  std::atomic<int> state{0};  // 0 free, 1 being filled or emptied, 2 holds a name
  char name[kMaxTemporaryName]{};
};
// Constant-initialised, so the 256 KB of slots start as untouched zero pages: a run-time
// constructor storing each slot's state cost every command 64 page faults at start-up.
constinit CleanupSlot cleanupSlots[kCleanupSlots];
std::atomic<bool> tellOnSigint{false};

int listTemporaryFile(const std::string& name) {
  if (name.size() >= kMaxTemporaryName) return -1;
  for (int i = 0; i < kCleanupSlots; ++i) {
    int expected = 0;
    if (!cleanupSlots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(cleanupSlots[i].name, name.c_str(), name.size() + 1);
    cleanupSlots[i].state.store(2);
    return i;
  }
  return -1;  // more writes at once than slots: this one is not cleaned up on a signal
}

void unlistTemporaryFile(int slot) {
  if (slot < 0) return;
  cleanupSlots[slot].state.store(1);
  cleanupSlots[slot].state.store(0);
}

extern "C" void removeTemporaryFilesAndExit(int signal) {
  for (CleanupSlot& slot : cleanupSlots)
    if (slot.state.load() == 2) ::unlink(slot.name);
  if (signal == SIGINT && tellOnSigint.load()) {
    static const char message[] = "\nInterrupted; the unfinished output file was removed.\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message, sizeof message - 1);
  }
  // Ends as the signal would have, so the caller sees which one it was.
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

// Owns the temporary file until it has been renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) : target(target) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    // Hidden and unique, beside the target so rename() never crosses file systems. The
    // name is short rather than derived from the target's, so a target whose own name
    // uses up the file system's limit can still be written.
    const std::string pattern = (folder / ".zefra-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // A signal between creating the file and listing it would leave it behind: the
    // cleanup signals wait until it is listed.
    const std::string absoluteFolder = std::filesystem::absolute(folder).string();
    sigset_t cleanupSignals, previous;
    sigemptyset(&cleanupSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) sigaddset(&cleanupSignals, signal);
    ::pthread_sigmask(SIG_BLOCK, &cleanupSignals, &previous);
    descriptor = ::mkstemp(name.data());
    const int error = errno;
    if (descriptor >= 0) {
      path = name.data();
      slot = listTemporaryFile((std::filesystem::path(absoluteFolder) / path.filename()).string());
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (descriptor < 0) throwSystemError(error, "Cannot create a file in", folder);
  }

  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  ~TemporaryFile() {
    if (descriptor >= 0) ::close(descriptor);
    if (!committed) ::unlink(path.c_str());
    unlistTemporaryFile(slot);
  }

  void write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        throwSystemError(errno, "Cannot write", target);
      }
      bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
  }

  void commit() {
    // mkstemp creates the file 0600; give it the target's mode, or what a plain
    // create would give under the current umask.
    struct stat existing {};
    mode_t mode;
    if (::stat(target.c_str(), &existing) == 0) {
      mode = existing.st_mode & 07777;
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    if (::fchmod(descriptor, mode) != 0) throwSystemError(errno, "Cannot write", target);
    if (::fsync(descriptor) != 0) throwSystemError(errno, "Cannot write", target);
    int result = ::close(descriptor);
    descriptor = -1;
    if (result != 0) throwSystemError(errno, "Cannot write", target);
    if (::rename(path.c_str(), target.c_str()) != 0) throwSystemError(errno, "Cannot replace", target);
    committed = true;
    // The name is the target's now: a signal must not remove it.
    unlistTemporaryFile(slot);
    slot = -1;
    // Make the rename itself durable; a failure here does not undo a complete write.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }

 private:
  std::filesystem::path target;
  std::filesystem::path path;
  int descriptor = -1;
  int slot = -1;
  bool committed = false;
};

}  // namespace

void removeTemporaryFilesOnSignals(bool tellOnInterrupt) {
  tellOnSigint.store(tellOnInterrupt);
  constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
  struct sigaction action {};
  action.sa_handler = removeTemporaryFilesAndExit;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kSignals) {
    // A signal the parent chose to ignore (nohup) stays ignored.
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  TemporaryFile file(target);
  file.write(bytes);
  file.commit();
}

void writeFileAtomically(const std::filesystem::path& target,
                         const std::function<void(const ByteSink&)>& produce) {
  TemporaryFile file(target);
  // Producers such as the GIF writer hand over small pieces; gather them so the
  // file sees few large writes.
  constexpr std::size_t kBufferSize = 64 * 1024;
  std::vector<std::uint8_t> buffer;
  buffer.reserve(kBufferSize);
  ByteSink sink = [&](std::span<const std::uint8_t> piece) {
    if (buffer.size() + piece.size() > kBufferSize) {
      file.write(buffer);
      buffer.clear();
      if (piece.size() >= kBufferSize) {
        file.write(piece);
        return;
      }
    }
    buffer.insert(buffer.end(), piece.begin(), piece.end());
  };
  produce(sink);
  file.write(buffer);
  file.commit();
}

}  // namespace zefra::common
