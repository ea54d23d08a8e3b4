// The home site's version file against version labels: no input may crash
// the comparison, and what it announces keeps to the rules any caller
// relies on.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/about/VersionCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // "label NUL body", or the whole input as the body against this program.
  const auto split = input.find('\0');
  const std::string label =
      split == std::string::npos ? qgm::VersionLabel() : input.substr(0, split);
  const std::string body = split == std::string::npos ? input : input.substr(split + 1);

  const bool newer = qgm::IsNewerVersion(label, body);
  if (newer) {
    std::string tail = body.size() >= 4 ? body.substr(body.size() - 4) : "";
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (body[0] == '*' || tail != ".exe") __builtin_trap();
  }
  if (qgm::IsSafeUpdateFileName(body)) {
    if (body.find('/') != std::string::npos || body.find('\\') != std::string::npos ||
        body == "." || body == ".." || body.empty())
      __builtin_trap();
  }
  return 0;
}
