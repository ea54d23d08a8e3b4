#include "core/usage/XmlDate.h"

#include <string>

namespace qgm {

TDateTime XmlDateToDate(std::string_view text) {
  // A time of day after the date ("20140615T00:00", "2014-06-15 10:00") is
  // not part of the date: only the digits before it count.
  if (const size_t cut = text.find_first_of("Tt ", 1); cut != std::string_view::npos) {
    text = text.substr(0, cut);
  }
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (digits.size() == 8) return kNoDate;  // more than eight digits
      digits += c;
    }
  }
  if (digits.size() != 8 || digits[0] != '2' || digits[1] != '0') return kNoDate;
  auto num = [&](size_t pos, size_t len) { return std::stoi(digits.substr(pos, len)); };
  TDateTime date;
  if (!TryEncodeDate(2000 + num(2, 2), num(4, 2), num(6, 2), date)) return kNoDate;
  return date;
}

}  // namespace qgm
