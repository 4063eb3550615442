#pragma once
// Running zefra-cli from tests the way a shell script does: arguments through /bin/sh,
// standard output and standard error captured apart, the exit code as the shell sees it.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "io/lbl_test_files.h"

namespace zefra::testing {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string shellQuoted(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// `prefix` goes before the program (e.g. "ulimit -v 200000;" or "timeout 20"); stderr is
// collected in a file of `dir`. The program runs in `dir`, so a relative name a command
// writes (an option taken for a file name, a default output) lands there, never in the
// folder the tests were started from.
inline CliResult runZefraCli(const TempDir& dir, const std::string& arguments, const std::string& prefix = "") {
  const std::string errFile = (dir / "cli-stderr.txt").string();
  const std::string command = "cd " + shellQuoted(dir.path.string()) + " && " + prefix + " " +
                              shellQuoted(ZEFRA_CLI_PATH) + " " + arguments + " 2>" + shellQuoted(errFile);
  CliResult run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto err = readBytes(errFile);
  run.err.assign(err.begin(), err.end());
  return run;
}

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace zefra::testing
