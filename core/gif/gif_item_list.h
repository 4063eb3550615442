#pragma once
// Ordered, owning lists of GIF items (frames of an image, extensions of a frame).
// Deleting an entry frees it; clearing deletes front to back in time linear in the
// length; extract() takes an entry out without freeing it and hands ownership to the caller.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "gif/gif_stream.h"

namespace zefra::gif {

class GifFrame;
class GifExtension;

template <class Item>
class GifItemList {
 public:
  GifItemList() = default;
  GifItemList(const GifItemList&) = delete;
  GifItemList& operator=(const GifItemList&) = delete;
  ~GifItemList() { clear(); }

  int count() const { return static_cast<int>(items.size()); }
  bool empty() const { return items.empty(); }
  Item& operator[](int i) const { return *items[static_cast<std::size_t>(i)]; }
  Item& front() const { return *items.front(); }
  Item& back() const { return *items.back(); }

  int add(std::unique_ptr<Item> item) {
    items.push_back(std::move(item));
    return count() - 1;
  }
  void insert(int index, std::unique_ptr<Item> item) {
    items.insert(items.begin() + index, std::move(item));
  }
  int indexOf(const Item* item) const {
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].get() == item) return static_cast<int>(i);
    return -1;
  }
  std::unique_ptr<Item> extract(int index) {
    std::unique_ptr<Item> item = std::move(items[static_cast<std::size_t>(index)]);
    items.erase(items.begin() + index);
    return item;
  }
  // The entry leaves the list before it is destroyed, so its destructor sees a list
  // without it.
  void erase(int index) { extract(index).reset(); }
  // Front to back, each entry leaving the list before it is destroyed, like erase(0)
  // repeated, but taken from the back of a reversed vector so a list of a million
  // extensions is not moved a million times.
  void clear() {
    std::reverse(items.begin(), items.end());
    while (!items.empty()) {
      std::unique_ptr<Item> item = std::move(items.back());
      items.pop_back();
      item.reset();
    }
  }
  void move(int from, int to) {
    auto item = extract(from);
    insert(to, std::move(item));
  }

  void saveToStream(GifStream& stream) const {
    for (const auto& item : items) item->saveToStream(stream);
  }

  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }

 private:
  std::vector<std::unique_ptr<Item>> items;
};

using FrameList = GifItemList<GifFrame>;
using ExtensionList = GifItemList<GifExtension>;

}  // namespace zefra::gif
