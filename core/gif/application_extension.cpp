#include "gif/application_extension.h"

#include <algorithm>
#include <string>

#include "common/byte_order.h"
#include "gif/extension_registry.h"
#include "gif/gif_error.h"
#include "gif/gif_stream.h"

namespace zefra::gif {

namespace {

// The reader's look at the block-size byte decides which application class reads on.
const ExtensionClass* resolveApplication(const ExtensionClass& self, GifInput& input) {
  std::uint8_t size = 0;
  if (!input.readByte(size)) return &self;  // the base class then reports the short block
  if (size == 10) {
    std::uint8_t skipped[10];
    return input.read(skipped, 10) == 10 ? &UnknownApplicationExtension::kClass : nullptr;
  }
  if (size == 11) {
    ApplicationId id{};
    if (input.read(id.data(), id.size()) == id.size()) {
      const ExtensionClass* registered = ApplicationExtensionRegistry::instance().find(id);
      return registered ? registered : &UnknownApplicationExtension::kClass;
    }
    return &self;
  }
  // No application writes another block size; viewers show such files, so the block is
  // kept as an unknown application's rather than refused.
  return &UnknownApplicationExtension::kClass;
}

void readExactly(GifInput& input, std::uint8_t* target, std::size_t count) {
  if (input.read(target, count) < count) throw GifError("Premature end of data");
}

void skipExactly(GifInput& input, std::size_t count) {
  if (input.remaining() < count) throw GifError("Premature end of data");
  input.skip(count);
}

}  // namespace

ApplicationId applicationId(std::string_view text) {
  ApplicationId id{};
  std::copy_n(text.begin(), std::min(text.size(), id.size()), id.begin());
  return id;
}

const ExtensionClass ApplicationExtension::kClass{
    0xFF, [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<ApplicationExtension>(f); },
    resolveApplication};

const ExtensionClass LoopExtension::kClass{
    0xFF, [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<LoopExtension>(f); },
    resolveToSelf};

const ExtensionClass UnknownApplicationExtension::kClass{
    0xFF,
    [](GifFrame& f) -> std::unique_ptr<GifExtension> { return std::make_unique<UnknownApplicationExtension>(f); },
    resolveToSelf};

void ApplicationExtension::saveBody(GifStream& stream) const {
  if (writesShortIdentifier()) {
    // The eleventh identifier byte is the first sub-block's length, written with it.
    stream.writeByte(10);
    stream.write(identifier.data(), identifier.size() - 1);
  } else {
    stream.writeByte(11);
    stream.write(identifier.data(), identifier.size());
  }
  saveData(stream);
  stream.writeByte(0);
}

void ApplicationExtension::loadBody(GifInput& input) {
  std::uint8_t size = 0;
  if (!input.readByte(size)) throw GifError("Premature end of data");
  readShortIdentifier = size == 10;
  if (size != 10 && size != 11) {
    reportWarning("Application Extension block of " + std::to_string(size) + " bytes read as 11");
    identifier.fill(0);
    const std::size_t n = std::min<std::size_t>(size, identifier.size());
    readExactly(input, identifier.data(), n);
    skipExactly(input, size - n);
  } else if (size == 10) {
    // A 10-byte identifier: the byte after it completes the stored identifier and is read
    // again as the first sub-block length.
    identifier.fill(0);
    const std::size_t n = input.read(identifier.data(), identifier.size());
    if (n < 10) throw GifError("Premature end of data");
    if (n == 11) input.stepBack(1);
  } else {
    readExactly(input, identifier.data(), identifier.size());
  }
  loadData(input);
}

void ApplicationExtension::saveData(GifStream&) const {}

void ApplicationExtension::loadData(GifInput& input) { skipSubBlocks(input); }

LoopExtension::LoopExtension(GifFrame& frame) : ApplicationExtension(frame) {
  identifier = applicationId("NETSCAPE2.0");
}

void LoopExtension::saveData(GifStream& stream) const {
  stream.writeByte(3);
  stream.writeByte(1);
  stream.writeU16(loopCount);
  if (bufferHint != 0) {
    stream.writeByte(5);
    stream.writeByte(2);
    stream.writeU32(bufferHint);
  }
}

void LoopExtension::loadData(GifInput& input) {
  std::uint8_t length = 0;
  // The end of the input counts as the terminating zero length.
  while (input.readByte(length) && length != 0) {
    std::uint8_t id = 0;
    if (!input.readByte(id)) throw GifError("Premature end of data");
    if (((id & 7) == 1 && length < 3) || ((id & 7) == 2 && length < 5)) {
      // Too short for its kind: passed over, as viewers do.
      reportWarning("NETSCAPE sub-block " + std::to_string(id & 7) + " of " + std::to_string(length) +
                    " bytes skipped");
      skipExactly(input, length - 1u);
    } else if ((id & 7) == 1) {
      std::uint8_t b[2];
      readExactly(input, b, 2);
      loopCount = readLittle16(b);
      skipExactly(input, length - 3u);
    } else if ((id & 7) == 2) {
      std::uint8_t b[4];
      readExactly(input, b, 4);
      bufferHint = readLittle32(b);
      skipExactly(input, length - 5u);
    } else {
      skipExactly(input, length - 1u);
    }
  }
}

// Read from a 10-byte block, the identifier may well complete to a known one ("NETSCAPE2."
// and a first sub-block of 48 bytes spell "NETSCAPE2.0"): written as an 11-byte block it
// would be read back as that kind and its sub-blocks parsed as such. Written as it was
// read, it reads back as itself.
bool UnknownApplicationExtension::writesShortIdentifier() const {
  return readShortIdentifier && !blocks.empty() && blocks.front().bytes.size() == identifier.back();
}

void UnknownApplicationExtension::saveData(GifStream& stream) const {
  for (const DataSubBlock& block : blocks) {
    std::size_t done = 0;
    while (done < block.bytes.size()) {
      const std::size_t n = std::min<std::size_t>(255, block.bytes.size() - done);
      stream.writeByte(static_cast<std::uint8_t>(n));
      stream.write(block.bytes.data() + done, n);
      done += n;
    }
  }
}

void UnknownApplicationExtension::loadData(GifInput& input) {
  blocks.clear();
  std::uint8_t length = 0;
  while (input.readByte(length) && length != 0) {
    const auto bytes = input.take(length);
    if (bytes.size() < length) throw GifError("Premature end of data");
    blocks.push_back(DataSubBlock{std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
  }
}

}  // namespace zefra::gif
