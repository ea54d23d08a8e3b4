#pragma once
// Small text helpers on 8-bit strings, letter case of ASCII letters only.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace qgm {

inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerAscii(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}

inline bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Without blanks, tabs and line breaks at either end.
inline std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1));
}

// The text as a signed 64-bit decimal integer (an optional sign, digits
// only); 0 when it is not one or does not fit.
inline int64_t ToInt64(std::string_view text) {
  if (text.empty() || text.size() > 20) return 0;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return 0;
  unsigned long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    const unsigned long long next = v * 10 + static_cast<unsigned>(text[i] - '0');
    if (next < v || next > 9223372036854775808ull) return 0;
    v = next;
  }
  if (text[0] == '-') return static_cast<int64_t>(0 - v);
  if (v > INT64_MAX) return 0;
  return static_cast<int64_t>(v);
}

// Calls `f` with each line of `text` (LF or CR LF ends, the end not
// included); a last line without an end counts too. An `f` that returns
// bool stops the walk by returning false.
template <class F>
void ForEachLine(std::string_view text, F&& f) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if constexpr (std::is_same_v<decltype(f(line)), bool>) {
      if (!f(line)) return;
    } else {
      f(line);
    }
  }
}

}  // namespace qgm
