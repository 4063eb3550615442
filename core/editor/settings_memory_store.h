#pragma once
// A settings store held in memory: the store of tests and of a session whose platform
// store is unavailable. It models the two ways a real key can refuse writing: the key
// does not exist yet, or it is read-only.

#include <map>
#include <string>

#include "editor/settings_store.h"

namespace zefra::editor {

class MemorySettingsStore : public SettingsStore {
 public:
  bool open(bool create) override;
  void close() override;
  std::optional<std::string> value(std::string_view name) const override;
  void setValue(std::string_view name, std::string_view text) override;

  bool keyExists = false;
  bool readOnly = false;
  std::map<std::string, std::string, std::less<>> values;
  int openCount = 0;  // opens not yet closed
  int writes = 0;
};

}  // namespace zefra::editor
