#pragma once
// Comma splitting with double-quoted fields, shared by the usage log, the
// call-usage month files and the remembered advisory keys.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qgm {

// Splits `line` at commas into at most `maxFields` fields (stored in `fields`)
// and returns how many fields the line holds: maxFields + 1 when there are
// more. A field that starts with a double quote runs to its closing quote,
// with "" standing for one quote; other fields are taken as they stand.
// Returns nothing for an unclosed quote, or a closing quote followed by
// anything but a comma or the end of the line.
std::optional<size_t> SplitCsvLine(std::string_view line, size_t maxFields,
                                   std::vector<std::string>& fields);

}  // namespace qgm
