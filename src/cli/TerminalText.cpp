#include "cli/TerminalText.h"

#include <cstdarg>
#include <vector>

#include "core/util/CodePage.h"

namespace qgm::cli {

std::string ForTerminal(std::string_view utf8) {
  std::u16string text = Utf8ToUtf16(utf8);  // what is not UTF-8 becomes U+FFFD
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t& c = text[i];
    // CR LF line ends stay (the usage log's own format); a CR alone would
    // let text overwrite the line before it.
    const bool lineEnd = c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
    if ((c < 0x20 && !lineEnd && c != u'\t') || (c >= 0x7F && c <= 0x9F)) c = u' ';
  }
  return Utf16ToUtf8(text);
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
