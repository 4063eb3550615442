#pragma once
// Human-readable output of zefra-cli goes to terminals, and much of it comes from files:
// project texts, picture names, names in warnings. A control character in such text could
// move the cursor, set the window title or clear the screen, so standard output and
// standard error pass through a filter that shows C0 controls (but newline and tab), DEL
// and stray bytes 0x80-0x9F as "\x1b", and the C1 controls U+0080-U+009F as "\u009b".
// Printable UTF-8 and other bytes pass unchanged; JSON output, whose strings escape
// these already, passes unchanged too.

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace zefra::cli {

// `text` as the filter shows it.
std::string terminalText(const std::string& text);

// Puts the filter in front of `stream` until the returned object is destroyed.
class TerminalFilter {
 public:
  explicit TerminalFilter(std::ostream& stream);
  ~TerminalFilter();
  TerminalFilter(const TerminalFilter&) = delete;
  TerminalFilter& operator=(const TerminalFilter&) = delete;

 private:
  std::ostream& stream;
  std::streambuf* original;
  std::unique_ptr<std::streambuf> filter;
};

}  // namespace zefra::cli
