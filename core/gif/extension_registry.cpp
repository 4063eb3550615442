#include "gif/extension_registry.h"

#include "gif/gif_stream.h"
#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"

namespace zefra::gif {

ExtensionRegistry::ExtensionRegistry() {
  entries = {{0x01, &PlainTextExtension::kClass},
             {0xF9, &GraphicControlExtension::kClass},
             {0xFE, &CommentExtension::kClass},
             {0xFF, &ApplicationExtension::kClass}};
}

ExtensionRegistry& ExtensionRegistry::instance() {
  static ExtensionRegistry registry;
  return registry;
}

void ExtensionRegistry::add(std::uint8_t label, const ExtensionClass* cls) {
  std::lock_guard guard(lock);
  entries.emplace_back(label, cls);
}

const ExtensionClass* ExtensionRegistry::find(std::uint8_t label) const {
  std::lock_guard guard(lock);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (it->first == label) return it->second;
  return nullptr;
}

ApplicationExtensionRegistry::ApplicationExtensionRegistry() {
  entries = {{applicationId("NETSCAPE2.0"), &LoopExtension::kClass},
             {applicationId("ANIMEXTS1.0"), &LoopExtension::kClass}};
}

ApplicationExtensionRegistry& ApplicationExtensionRegistry::instance() {
  static ApplicationExtensionRegistry registry;
  return registry;
}

void ApplicationExtensionRegistry::add(const ApplicationId& id, const ExtensionClass* cls) {
  std::lock_guard guard(lock);
  entries.emplace_back(id, cls);
}

const ExtensionClass* ApplicationExtensionRegistry::find(const ApplicationId& id) const {
  std::lock_guard guard(lock);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (it->first == id) return it->second;
  return nullptr;
}

const ExtensionClass* findExtensionClass(GifInput& input) {
  const std::size_t start = input.position();
  std::uint8_t label = 0;
  const ExtensionClass* cls = nullptr;
  if (input.readByte(label)) {
    cls = ExtensionRegistry::instance().find(label);
    // Each refinement looks at the bytes after the label afresh. A class answering a
    // different class hands over; the chain is short, but a registered class that kept
    // answering others must not loop for ever.
    for (int step = 0; cls && step < 16; ++step) {
      input.seek(start + 1);
      const ExtensionClass* refined = cls->resolveSubclass(*cls, input);
      if (refined == cls) break;
      cls = refined;
    }
  }
  input.seek(start);
  return cls;
}

}  // namespace zefra::gif
