// What the tray hint and the Broadband tab show for a usage line from
// arbitrary bytes (the line the provider's reply gives, or a stored usage
// file): the figures for every parse code, the hint for the account named
// by the rest of the bytes, at times around the rollover.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The first line is the usage line, the rest the command line's account.
  const size_t lf = text.find('\n');
  const std::string_view line = text.substr(0, lf);
  const std::string account(lf == std::string_view::npos ? std::string_view()
                                                         : text.substr(lf + 1));
  for (bool modern : {false, true}) {
    qgm::TUsageRecord record;
    const int code = qgm::ParseUsageLine(line, 46000.25, record, modern);
    if (code < 0 || code > 4) __builtin_trap();
    if (code != qgm::kUsageNothing) (void)qgm::ShowUsageFigures(code, record);
    for (double now : {46000.25, record.Rollover, record.Rollover + 400.5, -1.0e6}) {
      const std::string hint = qgm::BuildTrayHint(record, 46000.2, now, account, modern);
      if (hint.empty()) __builtin_trap();
    }
  }
  return 0;
}
