#pragma once
// Sub-commands of zefra-cli. Every command file defines one static CommandRegistration,
// so adding a command is adding a file.

#include <functional>
#include <string>
#include <vector>

namespace zefra::cli {

using CommandArgs = std::vector<std::string>;

struct Command {
  std::string name;
  std::string usage;    // one line, e.g. "info FILE.lbl"
  std::string summary;  // what it does, for --help
  std::function<int(const CommandArgs&)> run;  // exit code
};

std::vector<Command>& commands();

struct CommandRegistration {
  explicit CommandRegistration(Command command) { commands().push_back(std::move(command)); }
};

// Thrown by commands for bad usage; main prints the message and the command's usage line.
struct UsageError {
  std::string message;
};

}  // namespace zefra::cli
