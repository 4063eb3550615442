#include "editor/settings_memory_store.h"

namespace zefra::editor {

bool MemorySettingsStore::open(bool create) {
  if (!keyExists) {
    if (!create || readOnly) return false;
    keyExists = true;
  } else if (!create && readOnly) {
    return false;
  }
  ++openCount;
  return true;
}

void MemorySettingsStore::close() {
  if (openCount > 0) --openCount;
}

std::optional<std::string> MemorySettingsStore::value(std::string_view name) const {
  auto it = values.find(name);
  if (!keyExists || it == values.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsStore::setValue(std::string_view name, std::string_view text) {
  // A write without an open, writable key is a caller fault; refusing it keeps the test
  // double honest about what a real store would have done.
  if (openCount == 0 || readOnly) return;
  values.insert_or_assign(std::string(name), std::string(text));
  ++writes;
}

}  // namespace zefra::editor
