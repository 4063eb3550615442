#include "render/picture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <compare>
#include <cstdint>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>

#include "io/bmp_reader.h"
#include "io/png_reader.h"

namespace zefra::render {

namespace {

// A file as it is on disk now: another name for it finds the same entry, and a change
// of its content (size or time) makes a new one.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedNs = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino, info.st_size,
                      std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
}

// Pictures refused once, with the reason. A project may name the same refused file in
// every slot of every frame, and refusing a large GIF can mean decoding it; it is read
// once per process (an export, an editor session) as long as the file stays unchanged.
class RefusedPictures {
 public:
  std::optional<std::string> find(const FileIdentity& id) {
    const std::lock_guard guard(lock);
    const auto it = reasons.find(id);
    if (it == reasons.end()) return std::nullopt;
    return it->second;
  }
  void add(const FileIdentity& id, const std::string& reason) {
    const std::lock_guard guard(lock);
    if (reasons.size() >= kMaxEntries) reasons.clear();
    reasons.emplace(id, reason);
  }

 private:
  static constexpr std::size_t kMaxEntries = 4096;
  std::mutex lock;
  std::map<FileIdentity, std::string> reasons;
};

RefusedPictures& refusedPictures() {
  static RefusedPictures refused;
  return refused;
}

Picture readPicture(const std::filesystem::path& path);

}  // namespace

Picture loadPicture(const std::filesystem::path& path) {
  const std::optional<FileIdentity> before = identityOf(path);
  if (before) {
    if (std::optional<std::string> reason = refusedPictures().find(*before)) throw PictureError(*reason);
  }
  try {
    return readPicture(path);
  } catch (const std::bad_alloc&) {
    throw;  // may well succeed another time
  } catch (const std::exception& e) {
    // Remembered only when the file did not change while it was read.
    if (before && identityOf(path) == before) refusedPictures().add(*before, e.what());
    throw;
  }
}

namespace {

std::string lowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

Picture readPngPicture(const std::filesystem::path& path) {
  io::PngPicture png = io::readPngPictureFile(path, static_cast<std::uint64_t>(kMaxPicturePixels));
  Picture p;
  p.image = std::move(png.image);
  const auto& opacity = png.alpha.values;
  // A file that merely carries an alpha channel is drawn as quickly as a BMP.
  if (std::any_of(opacity.begin(), opacity.end(), [](std::uint8_t a) { return a != 255; })) p.alpha = std::move(png.alpha);
  return p;
}

Picture readPicture(const std::filesystem::path& path) {
  const std::string ext = lowerExtension(path);
  if (ext == ".gif") return loadGifPicture(path);
  if (ext == ".png") return readPngPicture(path);
  if (ext == ".bmp") {
    Picture p;
    p.image = io::readBmpFile(path);
    return p;
  }
  throw PictureError("Unknown picture file extension (" + path.extension().string() + ")");
}

}  // namespace

bool isPictureFileName(const std::filesystem::path& path) {
  const std::string ext = lowerExtension(path);
  return std::any_of(std::begin(kPictureExtensions), std::end(kPictureExtensions), [&](const char* known) { return ext == known; });
}

}  // namespace zefra::render
