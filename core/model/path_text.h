#pragma once
// A file or folder path held by the editor (the project's file name and folder). It
// offers the String255 reading calls so code can treat both alike, but it has no length
// limit: paths here are longer than 255 bytes more often than not, and a cut path would
// make Save write to a different file than the one the user chose.

#include <string>
#include <string_view>

namespace zefra::model {

struct PathText {
  std::string value;

  bool empty() const { return value.empty(); }
  std::string_view view() const { return value; }
  const std::string& str() const { return value; }
  void assign(std::string_view s) { value.assign(s); }
  void clear() { value.clear(); }

  friend bool operator==(const PathText&, const PathText&) = default;
};

}  // namespace zefra::model
