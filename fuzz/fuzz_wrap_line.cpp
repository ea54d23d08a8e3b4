#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/usage/Notices.h"

// The first byte is the width; each character is as wide as its code's low
// nibble, so blanks of no width and characters wider than the line occur.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int width = data[0];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const qgm::TTextFitter fit = [](std::string_view s, int w) {
    size_t n = 0;
    for (int used = 0; n < s.size(); ++n) {
      used += static_cast<unsigned char>(s[n]) & 15;
      if (used > w) break;
    }
    return std::optional<size_t>(n);
  };
  std::string visible, kept;
  for (char c : text)
    if (static_cast<unsigned char>(c) > 32) visible += c;
  while (!text.empty()) {
    auto [line, rest] = qgm::WrapLine(text, width, fit);
    if (rest.size() >= text.size()) __builtin_trap();  // no progress
    for (char c : line)
      if (static_cast<unsigned char>(c) > 32) kept += c;
    text = std::move(rest);
  }
  if (kept != visible) __builtin_trap();  // a character was lost
  return 0;
}
