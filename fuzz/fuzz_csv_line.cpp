#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/Csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t maxFields = data[0] % 8;
  const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> fields;
  const auto count = qgm::SplitCsvLine(line, maxFields, fields);
  if (count) {
    if (*count > maxFields + 1 || fields.size() > maxFields) __builtin_trap();
    if (*count <= maxFields && fields.size() != *count) __builtin_trap();
  }
  return 0;
}
