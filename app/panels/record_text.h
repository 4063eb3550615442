#pragma once
// Texts in a record are bytes of the Western (1252) code page, as the text renderer reads
// them; the widgets hold Unicode. A character the code page lacks becomes "?".

#include <QString>
#include <string>
#include <string_view>

namespace zefra::app {

QString fromRecordText(std::string_view bytes);
std::string toRecordText(const QString& text);

}  // namespace zefra::app
