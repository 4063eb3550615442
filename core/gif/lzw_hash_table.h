#pragma once
// The LZW encoder's string table: 8009 open-addressed 32-bit slots holding
// (key << 12) | code, where key = (prefix code << 8) | pixel. A slot whose upper 20 bits
// are all ones is free; no real key reaches that value because prefix codes stay below
// 4095. Collisions step back by a fixed distance derived from the first slot, which
// visits every slot because 8009 is prime.

#include <array>
#include <cstdint>
#include <cstring>

namespace zefra::gif {

class LzwHashTable {
 public:
  static constexpr int kSlots = 8009;
  static constexpr std::uint32_t kFreeKey = 0xFFFFF;

  LzwHashTable() { std::memset(slots.data(), 0xFF, sizeof(slots)); }

  // Frees every slot. Only the slots filled since the last clear are reset when they are
  // few, so a small frame or a short run between clear codes costs no whole-table wipe.
  void clear() {
    if (filledCount > static_cast<int>(filled.size()) / 2) {
      std::memset(slots.data(), 0xFF, sizeof(slots));
    } else {
      for (int i = 0; i < filledCount; ++i) slots[filled[static_cast<std::size_t>(i)]] = 0xFFFFFFFF;
    }
    filledCount = 0;
  }

  // The code stored for key, or -1.
  int find(std::uint32_t key) const {
    int s = firstSlot(key);
    const int d = s == 0 ? 1 : kSlots - s;
    for (;;) {
      const std::uint32_t slot = slots[static_cast<std::size_t>(s)];
      const std::uint32_t stored = slot >> 12;
      if (stored == key) return static_cast<int>(slot & 0xFFF);
      if (stored == kFreeKey) return -1;
      s -= d;
      if (s < 0) s += kSlots;
    }
  }

  // The code stored for key, or -1 with freeSlot set to where the key would go.
  int findOrFreeSlot(std::uint32_t key, int& freeSlot) const {
    int s = firstSlot(key);
    const int d = s == 0 ? 1 : kSlots - s;
    for (;;) {
      const std::uint32_t slot = slots[static_cast<std::size_t>(s)];
      const std::uint32_t stored = slot >> 12;
      if (stored == key) return static_cast<int>(slot & 0xFFF);
      if (stored == kFreeKey) {
        freeSlot = s;
        return -1;
      }
      s -= d;
      if (s < 0) s += kSlots;
    }
  }
  void insertAt(int slot, std::uint32_t key, int code) {
    slots[static_cast<std::size_t>(slot)] = (key << 12) | static_cast<std::uint32_t>(code);
    remember(slot);
  }

  void insert(std::uint32_t key, int code) {
    int s = firstSlot(key);
    const int d = s == 0 ? 1 : kSlots - s;
    while ((slots[static_cast<std::size_t>(s)] >> 12) != kFreeKey) {
      s -= d;
      if (s < 0) s += kSlots;
    }
    slots[static_cast<std::size_t>(s)] = (key << 12) | static_cast<std::uint32_t>(code);
    remember(s);
  }

  static int firstSlot(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % kSlots); }

 private:
  // Past the list's length every slot is wiped on the next clear anyway.
  void remember(int slot) {
    if (filledCount < static_cast<int>(filled.size())) filled[static_cast<std::size_t>(filledCount)] = static_cast<std::uint16_t>(slot);
    ++filledCount;
  }

  std::array<std::uint32_t, kSlots> slots;
  std::array<std::uint16_t, 4096> filled;  // slots filled since the last clear, in order
  int filledCount = 0;
};

}  // namespace zefra::gif
