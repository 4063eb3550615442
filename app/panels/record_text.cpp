#include "panels/record_text.h"

#include <QList>
#include <unordered_map>

#include "text3d/font_rasterizer.h"

namespace zefra::app {

QString fromRecordText(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (char byte : bytes) {
    const char32_t ch = text3d::codePageToUnicode(static_cast<std::uint8_t>(byte));
    text.append(QString::fromUcs4(&ch, 1));
  }
  return text;
}

std::string toRecordText(const QString& text) {
  static const std::unordered_map<char32_t, char> codes = [] {
    std::unordered_map<char32_t, char> map;
    for (int code = 255; code >= 1; --code) map[text3d::codePageToUnicode(static_cast<std::uint8_t>(code))] = static_cast<char>(code);
    return map;
  }();
  std::string bytes;
  for (const uint ch : text.toUcs4()) {
    const auto found = codes.find(ch);
    bytes.push_back(found != codes.end() ? found->second : '?');
  }
  return bytes;
}

}  // namespace zefra::app
