#pragma once
// The quicksort the colour tables are ordered with. It is not stable, and which of several
// equal keys ends up first decides the colour table order written to files, so this exact
// partitioning (middle element as pivot, recursion on the left part, loop on the right)
// is kept instead of a library sort.

#include <cstddef>
#include <utility>
#include <vector>

namespace zefra::gif {

// Sorts items[low..high] by decreasing key(item).
template <class T, class Key>
void sortDecreasing(std::vector<T>& items, std::ptrdiff_t low, std::ptrdiff_t high, Key key) {
  while (low < high) {
    std::ptrdiff_t i = low;
    std::ptrdiff_t j = high;
    const auto pivot = key(items[static_cast<std::size_t>((low + high) / 2)]);
    do {
      while (key(items[static_cast<std::size_t>(i)]) > pivot) ++i;
      while (key(items[static_cast<std::size_t>(j)]) < pivot) --j;
      if (i <= j) {
        std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) sortDecreasing(items, low, j, key);
    low = i;
  }
}

template <class T, class Key>
void sortDecreasing(std::vector<T>& items, Key key) {
  if (items.size() > 1) sortDecreasing(items, 0, static_cast<std::ptrdiff_t>(items.size()) - 1, key);
}

}  // namespace zefra::gif
