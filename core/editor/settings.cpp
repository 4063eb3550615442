#include "editor/settings.h"

#include <charconv>
#include <string>

namespace zefra::editor {

std::optional<int> parseStoredInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int result = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [end, error] = std::from_chars(first, last, result);
  if (error != std::errc{} || end != last) return std::nullopt;
  return result;
}

StoredSettings readSettings(SettingsStore& store) {
  StoredSettings settings;
  SettingsKey key(store, true);
  if (!key.opened()) return settings;
  settings.lastDir = store.value(kLastDirValue).value_or(std::string());
  std::optional<int>* targets[] = {&settings.left, &settings.top, &settings.width, &settings.height};
  const char* names[] = {kLeftValue, kTopValue, kWidthValue, kHeightValue};
  for (int i = 0; i < 4; ++i) {
    std::optional<std::string> text = store.value(names[i]);
    std::optional<int> number = text ? parseStoredInt(*text) : std::nullopt;
    if (!number) break;
    *targets[i] = number;
  }
  return settings;
}

bool writeSettings(SettingsStore& store, std::string_view lastDir, const WindowPlacement& placement) {
  SettingsKey key(store, false);
  if (!key.opened()) return false;
  store.setValue(kLastDirValue, lastDir);
  store.setValue(kLeftValue, std::to_string(placement.left));
  store.setValue(kTopValue, std::to_string(placement.top));
  store.setValue(kWidthValue, std::to_string(placement.width));
  store.setValue(kHeightValue, std::to_string(placement.height));
  return true;
}

}  // namespace zefra::editor
