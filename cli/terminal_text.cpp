#include "terminal_text.h"

#include <cstdio>
#include <string_view>

#include "json_text.h"

namespace zefra::cli {
namespace {

void appendEscaped(std::string& out, const char* format, unsigned value) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, format, value);
  out += escaped;
}

// Escapes the complete characters at the start of `pending` into `out` and answers how
// many bytes it used; a sequence cut off at the end waits for more unless `final`.
std::size_t escapeInto(std::string& out, std::string_view pending, bool final) {
  std::size_t i = 0;
  while (i < pending.size()) {
    const auto c = static_cast<unsigned char>(pending[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
        appendEscaped(out, "\\x%02x", c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    const std::size_t n = utf8SequenceLength(pending.substr(i));
    if (n == 0) {
      // Possibly the start of a sequence whose rest has not arrived yet.
      const std::size_t expected = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
      if (!final && c >= 0xC2 && c <= 0xF4 && pending.size() - i < expected) break;
      if (c < 0xA0) {
        appendEscaped(out, "\\x%02x", c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    const auto second = static_cast<unsigned char>(pending[i + 1]);
    if (c == 0xC2 && second < 0xA0) {
      appendEscaped(out, "\\u%04x", second);
    } else {
      out.append(pending.substr(i, n));
    }
    i += n;
  }
  return i;
}

class EscapingBuffer : public std::streambuf {
 public:
  explicit EscapingBuffer(std::streambuf* target) : target(target) {}
  ~EscapingBuffer() override { flushPending(true); }

 protected:
  int_type overflow(int_type ch) override {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    pending += traits_type::to_char_type(ch);
    if (pending.size() >= 4096 && !flushPending(false)) return traits_type::eof();
    return ch;
  }
  std::streamsize xsputn(const char* data, std::streamsize count) override {
    pending.append(data, static_cast<std::size_t>(count));
    if (pending.size() >= 4096 && !flushPending(false)) return 0;
    return count;
  }
  int sync() override { return flushPending(false) && target->pubsync() == 0 ? 0 : -1; }

 private:
  bool flushPending(bool final) {
    std::string out;
    const std::size_t used = escapeInto(out, pending, final);
    pending.erase(0, used);
    const auto size = static_cast<std::streamsize>(out.size());
    return target->sputn(out.data(), size) == size;
  }

  std::streambuf* target;
  std::string pending;
};

}  // namespace

std::string terminalText(const std::string& text) {
  std::string out;
  escapeInto(out, text, true);
  return out;
}

TerminalFilter::TerminalFilter(std::ostream& stream)
    : stream(stream), original(stream.rdbuf()), filter(std::make_unique<EscapingBuffer>(original)) {
  stream.rdbuf(filter.get());
}

TerminalFilter::~TerminalFilter() {
  stream.flush();
  stream.rdbuf(original);
}

}  // namespace zefra::cli
