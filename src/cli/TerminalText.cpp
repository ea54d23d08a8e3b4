#include "cli/TerminalText.h"

#include <cstdarg>
#include <vector>

namespace qgm::cli {

std::string ForTerminal(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      // CR LF line ends stay (the usage log's own format); a CR alone
      // would let text overwrite the line before it.
      const bool lineEnd = c == '\n' || (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n');
      out += (c < 0x20 && !lineEnd && c != '\t') || c == 0x7F ? ' ' : static_cast<char>(c);
      ++i;
      continue;
    }
    // The length of a well-formed sequence starting here, 0 for none.
    size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n != 0 && i + n <= in.size()) {
      for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(in[i + k]) & 0xC0) != 0x80) n = 0;
      if (n == 3) {
        const auto d = static_cast<unsigned char>(in[i + 1]);
        if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0)) n = 0;  // overlong, surrogate
      } else if (n == 4) {
        const auto d = static_cast<unsigned char>(in[i + 1]);
        if ((c == 0xF0 && d < 0x90) || (c == 0xF4 && d >= 0x90)) n = 0;  // overlong, past U+10FFFF
      }
    } else {
      n = 0;
    }
    if (n == 0) {
      out += c <= 0x9F ? ' ' : '?';  // a lone C1 byte, or not UTF-8
      ++i;
      continue;
    }
    if (n == 2 && c == 0xC2 && static_cast<unsigned char>(in[i + 1]) <= 0x9F) {
      out += ' ';  // U+0080..U+009F: C1 controls, CSI and OSC among them
    } else {
      out.append(in.substr(i, n));
    }
    i += n;
  }
  return out;
}

void Say(std::FILE* to, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    const std::string safe = ForTerminal(std::string_view(text.data(), static_cast<size_t>(length)));
    std::fwrite(safe.data(), 1, safe.size(), to);
  }
  va_end(again);
}

void WriteOutput(const std::string& out, bool json) {
  const std::string text = json ? out : ForTerminal(out);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace qgm::cli
