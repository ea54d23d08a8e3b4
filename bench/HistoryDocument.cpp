#include "HistoryDocument.h"

#include <cstdint>
#include <cstdio>

#include "core/util/DateTime.h"

namespace qgm::bench {

std::string MakeHistoryDocument(int days) {
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<corvalink>\n  <api>\n    <usagelist>\n";
  const TDateTime first = EncodeDate(2012, 1, 1);
  uint64_t seed = 12345;
  char line[256];
  for (int i = 0; i < days; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const uint64_t down = (seed >> 20) % 4000000000ull;
    const uint64_t up = (seed >> 40) % 200000000ull;
    doc += "      <usage day=\"" + FormatDateTime("yyyy-mm-dd", first + i) + "\">\n";
    std::snprintf(
        line, sizeof line,
        "        <traffic direction=\"down\" name=\"metered\" unit=\"bytes\">%llu</traffic>\n"
        "        <traffic direction=\"up\" name=\"metered\" unit=\"bytes\">%llu</traffic>\n"
        "        <traffic direction=\"up\" name=\"total\" unit=\"bytes\">%llu</traffic>\n",
        static_cast<unsigned long long>(down), static_cast<unsigned long long>(up),
        static_cast<unsigned long long>(down + up));
    doc += line;
    doc += "      </usage>\n";
  }
  doc += "    </usagelist>\n  </api>\n</corvalink>\n";
  return doc;
}

}  // namespace qgm::bench
