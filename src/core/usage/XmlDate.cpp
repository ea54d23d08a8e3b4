#include "core/usage/XmlDate.h"

#include <string>

namespace qgm {

TDateTime XmlDateToDate(std::string_view text) {
  // The digits in order, as the API's dates go. A time of day after the
  // date ("20140615T00:00", "2014-06-15 10:00") is not part of it: once
  // eight digits are read, a "T" or a blank ends the date. Text before the
  // date ("Tue 2026-12-15") and blanks inside it ("2026 12 15") do not.
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (digits.size() == 8) return kNoDate;  // more than eight digits
      digits += c;
    } else if (digits.size() == 8 && (c == 'T' || c == 't' || c == ' ')) {
      break;
    }
  }
  if (digits.size() != 8 || digits[0] != '2' || digits[1] != '0') return kNoDate;
  auto num = [&](size_t pos, size_t len) { return std::stoi(digits.substr(pos, len)); };
  TDateTime date;
  if (!TryEncodeDate(2000 + num(2, 2), num(4, 2), num(6, 2), date)) return kNoDate;
  return date;
}

}  // namespace qgm
