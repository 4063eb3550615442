#pragma once
// A full disk, simulated: runs `write` in a child process whose files may not grow past
// `limitBytes`, and answers how it ended: 0 when `write` threw, 1 when it returned,
// 2 when it died some other way. The parent's files are then checked by the caller.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <exception>
#include <functional>

namespace zefra::testing {

inline int writeUnderFileSizeLimit(rlim_t limitBytes, const std::function<void()>& write) {
  const pid_t child = ::fork();
  if (child < 0) return 2;
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{limitBytes, limitBytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      write();
    } catch (const std::exception&) {
      ::_exit(0);
    }
    ::_exit(1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 2;
  return WEXITSTATUS(status);
}

}  // namespace zefra::testing
