// A CallHaven month file and a Content-disposition header from arbitrary
// bytes: the totals add up and match splitting each line plainly, with
// either scanner, and an accepted answer is never later than the month
// asked for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/callusage/CallDownload.h"
#include "core/callusage/CallMonths.h"
#include "core/util/CpuFeatures.h"
#include "support/CallLinesReference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qgm::TCallMonth m;
  qgm::AddCallLines(text, m);
  if (m.TotalCalls != m.NationalCalls + m.MobileCalls + m.CallhavenCalls + m.OtherCalls)
    __builtin_trap();
  // Summed in the same order (sums saturate, so the order counts).
  if (m.TotalCost != m.OtherCost + m.MobileCost + m.NationalCost) __builtin_trap();
  if (m.NationalCalls < 0 || m.MobileCalls < 0 || m.OtherCalls < 0) __builtin_trap();
  qgm::TCallMonth plain, portable;
  qgm::test::AddCallLinesPlainly(text, plain);
  if (!qgm::test::SameTotals(m, plain)) __builtin_trap();
  qgm::ForcePlainPaths(true);
  qgm::AddCallLines(text, portable);
  qgm::ForcePlainPaths(false);
  if (!qgm::test::SameTotals(portable, plain)) __builtin_trap();
  // The first line as a header: asked for March 2026.
  const std::string header(text.substr(0, text.find('\n')));
  int month = 3, year = 2026;
  bool usable = false;
  if (qgm::ParseCallDisposition(header, month, year, usable)) {
    if (year > 2026 || (year == 2026 && month > 3)) __builtin_trap();
    if (usable && (month < 1 || month > 12 || year <= 2000)) __builtin_trap();
  } else if (month != 3 || year != 2026) {
    __builtin_trap();
  }
  (void)qgm::CrLfLines(text);
  return 0;
}
