#include <algorithm>
#include <exception>
#include <cstdio>
#include <iostream>
#include <new>

#include "command.h"
#include "terminal_text.h"
#include "common/atomic_file.h"
#include "io/lbl_reader.h"

namespace zefra::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

namespace {

void printHelp(std::ostream& out) {
  auto sorted = commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  out << "Usage: zefra-cli COMMAND [ARGS...]\n\n"
         "Exports, renders and inspects Zefra banner projects (.lbl) and GIF files.\n\n"
         "Commands:\n";
  for (const auto& c : sorted) out << "  " << c.usage << "\n      " << c.summary << "\n";
  out << "\n  --help      show this text\n  --version   show the version\n";
}

}  // namespace
}  // namespace zefra::cli

namespace {

// Help and version text that never arrived (a full disk, a closed pipe) is a failure too.
int standardOutputResult(const std::string& what) {
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0) {
    std::cerr << "zefra-cli" << what << ": cannot write to standard output\n";
    return 1;
  }
  return 0;
}

int run(const std::vector<std::string>& args);

}  // namespace

int main(int argc, char** argv) {
  using namespace zefra::cli;
  const TerminalFilter safeOut(std::cout);
  const TerminalFilter safeErr(std::cerr);
  zefra::common::removeTemporaryFilesOnSignals(true);
  return run(std::vector<std::string>(argv + 1, argv + argc));
}

namespace {

int run(const std::vector<std::string>& args) {
  using namespace zefra::cli;
  if (args.empty()) {
    printHelp(std::cerr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    printHelp(std::cout);
    return standardOutputResult("");
  }
  if (args[0] == "--version") {
    std::cout << "zefra-cli " << ZEFRA_VERSION << "\n";
    return standardOutputResult("");
  }
  const auto& all = commands();
  auto it = std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == args[0]; });
  if (it == all.end()) {
    std::cerr << "zefra-cli: unknown command '" << args[0] << "' (see zefra-cli --help)\n";
    return 2;
  }
  CommandArgs rest(args.begin() + 1, args.end());
  if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
    std::cout << "Usage: zefra-cli " << it->usage << "\n" << it->summary << "\n";
    return standardOutputResult(" " + it->name);
  }
  try {
    const int code = it->run(rest);
    // Output that never arrived (a full disk, a closed pipe) is a failure, not success.
    return standardOutputResult(" " + it->name) != 0 ? 1 : code;
  } catch (const UsageError& e) {
    std::cerr << "zefra-cli " << it->name << ": " << e.message << "\nUsage: zefra-cli " << it->usage << "\n";
    return 2;
  } catch (const zefra::io::LblReadError& e) {
    std::cerr << "zefra-cli " << it->name << ": " << e.detail() << "\n";
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << "zefra-cli " << it->name << ": not enough memory\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "zefra-cli " << it->name << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace
