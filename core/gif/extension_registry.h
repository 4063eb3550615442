#pragma once
// The two process-wide tables the reader uses to pick an extension class: by label, and
// for application extensions by their 11-byte identifier. Both are searched from the
// last entry, so an entry added later overrides an earlier one with the same key.

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "gif/application_extension.h"
#include "gif/gif_extension.h"

namespace zefra::gif {

class ExtensionRegistry {
 public:
  // Filled with plain text (0x01), graphic control (0xF9), comment (0xFE) and
  // application (0xFF), in this order.
  static ExtensionRegistry& instance();
  void add(std::uint8_t label, const ExtensionClass* cls);
  const ExtensionClass* find(std::uint8_t label) const;

 private:
  ExtensionRegistry();
  mutable std::mutex lock;
  std::vector<std::pair<std::uint8_t, const ExtensionClass*>> entries;
};

class ApplicationExtensionRegistry {
 public:
  // Filled with "NETSCAPE2.0" and "ANIMEXTS1.0", both the loop extension.
  static ApplicationExtensionRegistry& instance();
  void add(const ApplicationId& id, const ExtensionClass* cls);
  // Exact (case-sensitive) comparison of all 11 bytes.
  const ExtensionClass* find(const ApplicationId& id) const;

 private:
  ApplicationExtensionRegistry();
  mutable std::mutex lock;
  std::vector<std::pair<ApplicationId, const ExtensionClass*>> entries;
};

// The reader's choice for an extension whose label is next in the input (the '!' already
// consumed): registry lookup refined by resolveSubclass until stable. The input position is
// unchanged afterwards. nullptr when no class can read it.
const ExtensionClass* findExtensionClass(GifInput& input);

}  // namespace zefra::gif
