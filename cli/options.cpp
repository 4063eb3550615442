#include "options.h"

#include <algorithm>

namespace zefra::cli {

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

ParsedArgs parseArgs(const CommandArgs& args, const std::vector<OptionDef>& known) {
  static const std::vector<OptionDef> kCommon = {{"quiet", false}};
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name;
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) != 0) {
      const auto shortOption =
          std::find_if(known.begin(), known.end(), [&](const OptionDef& s) { return s.shortName != 0 && s.shortName == arg[1]; });
      if (shortOption == known.end()) throw UsageError{"unknown option " + arg};
      name = shortOption->name;
      if (arg.size() > 2) inlineValue = arg.substr(2);
    } else {
      name = arg.substr(2);
      if (const auto eq = name.find('='); eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name.erase(eq);
      }
    }
    const auto matches = [&](const OptionDef& s) { return s.name == name; };
    auto option = std::find_if(known.begin(), known.end(), matches);
    if (option == known.end()) {
      option = std::find_if(kCommon.begin(), kCommon.end(), matches);
      if (option == kCommon.end()) throw UsageError{"unknown option --" + name};
    }
    std::string value;
    if (option->takesValue) {
      if (inlineValue) {
        value = *inlineValue;
      } else {
        if (i + 1 >= args.size()) throw UsageError{"--" + name + " needs a value"};
        value = args[++i];
      }
    } else if (inlineValue) {
      throw UsageError{"--" + name + " takes no value"};
    }
    if (parsed.values.count(name) != 0 && option->takesValue) throw UsageError{"--" + name + " is given twice"};
    parsed.values[name] = value;
  }
  return parsed;
}

void expectPositional(const ParsedArgs& parsed, std::size_t min, std::size_t max, const std::string& what) {
  const std::size_t n = parsed.positional.size();
  if (n < min || n > max) throw UsageError{"expects " + what};
}

int intValue(const std::string& option, const std::string& text, int min, int max) {
  const std::string expected =
      option + " expects a whole number from " + std::to_string(min) + " to " + std::to_string(max) + ", not \"" + text + "\"";
  if (text.empty() || text.size() > 9) throw UsageError{expected};
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '-') {
    negative = true;
    i = 1;
  }
  if (i == text.size()) throw UsageError{expected};
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') throw UsageError{expected};
    value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value < min || value > max) throw UsageError{expected};
  return static_cast<int>(value);
}

}  // namespace zefra::cli
