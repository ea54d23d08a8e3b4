#include "core/util/Csv.h"

namespace qgm {

std::optional<size_t> SplitCsvLine(std::string_view line, size_t maxFields,
                                   std::vector<std::string>& fields) {
  fields.clear();
  size_t pos = 0;
  size_t count = 0;
  while (true) {
    if (count == maxFields) {
      // A further field exists; it is counted but neither stored nor checked.
      return maxFields + 1;
    }
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
      ++pos;
      while (true) {
        if (pos >= line.size()) return std::nullopt;  // unclosed quote
        if (line[pos] == '"') {
          if (pos + 1 < line.size() && line[pos + 1] == '"') {
            field += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        field += line[pos++];
      }
      if (pos < line.size() && line[pos] != ',') return std::nullopt;
    } else {
      const size_t comma = line.find(',', pos);
      const size_t end = comma == std::string_view::npos ? line.size() : comma;
      field.assign(line.substr(pos, end - pos));
      pos = end;
    }
    fields.push_back(std::move(field));
    ++count;
    if (pos >= line.size()) return count;
    ++pos;  // past the comma; a comma at the end leaves an empty last field
  }
}

}  // namespace qgm
