#pragma once
// The per-user settings store seen as one key holding named text values. The editor keeps
// its window placement, last project folder and recent files there; the desktop program
// backs it with its platform store, tests with a map. Integers are stored as decimal text
// so every backend can hold them and a value edited by hand is checked on the way in.

#include <optional>
#include <string>
#include <string_view>

namespace zefra::editor {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Opens the key. With `create` a missing key is made; without it a missing or read-only
  // key makes the call fail, and then nothing may be written.
  virtual bool open(bool create) = 0;
  virtual void close() = 0;

  // The value's text, or nothing when the value does not exist.
  virtual std::optional<std::string> value(std::string_view name) const = 0;
  virtual void setValue(std::string_view name, std::string_view text) = 0;
};

// Opens a store for the length of a scope and closes it again on every way out.
class SettingsKey {
 public:
  SettingsKey(SettingsStore& store, bool create) : store(store), isOpen(store.open(create)) {}
  ~SettingsKey() {
    if (isOpen) store.close();
  }
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;

  bool opened() const { return isOpen; }

 private:
  SettingsStore& store;
  bool isOpen;
};

}  // namespace zefra::editor
