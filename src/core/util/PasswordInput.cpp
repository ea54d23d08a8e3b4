#include "core/util/PasswordInput.h"

namespace qgm {

void BlankArgument(char* arg) {
  // A volatile write, so the compiler keeps stores to memory it may see as
  // never read again.
  for (volatile char* p = arg; *p; ++p) *p = '\0';
}

std::optional<std::string> ReadPasswordLine(std::FILE* in) {
  std::string line;
  bool any = false;
  for (int c; (c = std::fgetc(in)) != EOF;) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace qgm
