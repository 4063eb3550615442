#pragma once
// The one way every zefra-cli command reads its arguments: options start with "--" and
// take their value either as "--name=value" or as the next argument; "--" ends the
// options; a lone "-" is an ordinary argument (standard input or output). An option the
// command does not know, a value given to a flag or a missing value is a usage error
// (exit 2), so a mistyped option never turns into a file name.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command.h"

namespace zefra::cli {

struct OptionDef {
  std::string name;        // without the leading "--"
  bool takesValue = false;
  char shortName = 0;      // also accepted as "-x VALUE" or "-xVALUE"
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // flags map to ""

  bool has(const std::string& name) const { return values.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
};

// Options shared by every command (currently --quiet) are accepted in addition to `known`.
ParsedArgs parseArgs(const CommandArgs& args, const std::vector<OptionDef>& known);

// Throws UsageError unless min <= positional count <= max; `what` describes the expected
// arguments ("a project file and an output PNG file").
void expectPositional(const ParsedArgs& parsed, std::size_t min, std::size_t max, const std::string& what);

// Whole-number option values in a range, with the option named in the error.
int intValue(const std::string& option, const std::string& text, int min, int max);

}  // namespace zefra::cli
