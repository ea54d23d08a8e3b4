// The usage history from outside input: a history reply and a usage log,
// then the graphs and the hints over every column. Checks that the
// store ends today and that the log it writes reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/history/HistoryGraphs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool asLog = data[0] & 1;
  const int selection = (data[0] >> 1) & 7;
  const qgm::TDateTime today = qgm::EncodeDate(2014, 6, 15);
  qgm::THistory h;
  if (asLog) {
    h.LoadFromCsvText(input, today, qgm::IncDay(today, -950));
    h.AppendNewer = true;
    h.LoadFromXml("<corvalink><api><usagelist/></api></corvalink>", today);
  } else {
    h.LoadFromXml(input, today);
  }
  // The store ends today, and holds no day after it.
  const auto& days = h.Days();
  if (days.empty() || days.back().Date != today) __builtin_trap();
  for (const auto& d : days) {
    if (d.Date > today) __builtin_trap();
  }

  qgm::THistory back;
  back.LoadFromCsvText(h.CsvText(), today, qgm::EncodeDate(2002, 1, 1));
  if (back.Count() > h.Count()) __builtin_trap();

  qgm::TPixmap day(qgm::kGraphWidth, qgm::kGraphHeight), month(qgm::kGraphWidth, qgm::kGraphHeight);
  const qgm::TGraphSeries ds = qgm::DaySeries(h);
  const qgm::TGraphSeries ms = qgm::MonthSeries(h, qgm::EncodeDate(2014, 1, 31));
  qgm::DrawDayGraph(day, h, ds, selection, {});
  qgm::DrawMonthGraph(month, h, ms, selection, {});
  for (int x = -3; x < qgm::kGraphWidth + 3; x += 5) {
    qgm::DayHint(ds, x, selection, true);
    qgm::MonthHint(ms, x, selection, false);
  }
  return 0;
}
