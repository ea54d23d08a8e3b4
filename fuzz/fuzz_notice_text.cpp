// A notice's text from arbitrary bytes cut into lines as the popup cuts
// it, with a measurer that gives each byte a width of its own (0 to 15
// pixels) and lines of a width taken from the first bytes: every cut makes
// progress, every line fits (or holds one byte), and no byte but the spaces
// at the cuts is lost.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/usage/Notices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int width = data[0] | ((data[1] & 0x03) << 8);
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  auto widthOf = [](char c) { return static_cast<int>(static_cast<unsigned char>(c) % 16); };
  const qgm::TTextFitter fit = [&](std::string_view s, int w) -> std::optional<size_t> {
    int used = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      used += widthOf(s[i]);
      if (used > w) return i;
    }
    return s.size();
  };
  std::string kept;
  for (char c : text)
    if (c != ' ') kept += c;
  std::string joined;
  size_t lines = 0;
  while (!text.empty()) {
    auto [line, rest] = qgm::WrapLine(text, width, fit);
    if (rest.size() >= text.size()) __builtin_trap();  // no progress: an endless loop
    int used = 0;
    for (char c : line) used += widthOf(c);
    if (used > width && line.size() > 1 && line.find('\n') == std::string::npos) __builtin_trap();
    for (char c : line)
      if (c != ' ') joined += c;
    text = std::move(rest);
    if (++lines > size) __builtin_trap();
  }
  if (joined != kept) __builtin_trap();
  return 0;
}
