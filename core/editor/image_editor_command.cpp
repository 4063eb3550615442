#include "editor/image_editor_command.h"

namespace zefra::editor {

std::optional<std::vector<std::string>> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && quote == '"' && i + 1 < line.size()) {
        word += line[++i];
      } else {
        word += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote != 0) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  return words;
}

LaunchCommand imageEditorCommand(std::string_view setting, const std::string& file,
                                 const std::function<bool(const std::string&)>& installed) {
  const std::optional<std::vector<std::string>> words = splitCommandLine(setting);
  if (words && !words->empty()) {
    LaunchCommand command;
    command.program = words->front();
    bool placed = false;
    for (std::size_t i = 1; i < words->size(); ++i) {
      std::string argument = (*words)[i];
      for (std::size_t at = argument.find("%f"); at != std::string::npos; at = argument.find("%f", at + file.size())) {
        argument.replace(at, 2, file);
        placed = true;
      }
      command.arguments.push_back(std::move(argument));
    }
    if (!placed) command.arguments.push_back(file);
    return command;
  }
  for (const std::string& program : paintPrograms()) {
    if (installed(program)) return LaunchCommand{program, {file}, false};
  }
  return LaunchCommand{{}, {}, true};
}

std::string readImageEditorSetting(SettingsStore& store) {
  SettingsKey key(store, false);
  if (!key.opened()) return {};
  return store.value(kImageEditorValue).value_or(std::string());
}

}  // namespace zefra::editor
