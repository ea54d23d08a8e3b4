#include "cli/HistoryCommand.h"

#include <cstdio>
#include <string>

#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/history/HistoryStep.h"
#include "core/util/CodePage.h"
#include "core/util/Format.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

const std::string kHelp =
    std::string(
        "usage: qgm-cli history [options]\n"
        "\n"
        "Signs in to the usage API, fetches the usage history and prints one line\n"
        "per day. Without --data-dir all 950 days are fetched and nothing is\n"
        "written; with it the usage log there is read, the last 31 days fetched\n"
        "and the log written back, as the program does.\n"
        "\n") +
    kSessionOptionsHelp +
    "  --csv                  print in the usage log's own format\n"
    "  --data-dir DIR         keep the usage log in DIR\n";

std::string Mb(Money m) {
  return Format("%1.3f", {m});
}

}  // namespace

int RunHistoryCommand(int argc, char** argv) {
  TSessionOptions o;
  bool csv = false;
  if (AskedForHelp(argc, argv, kHelp)) return 0;
  if (!ParseSessionOptions(argc, argv, o,
                           [&csv](const std::string& arg, const auto&) {
                             if (arg != "--csv") return false;
                             csv = true;
                             return true;
                           }) ||
      (csv && o.json)) {
    std::fputs(kHelp.c_str(), stderr);
    return 2;
  }
  TCliSession session;
  if (const int failed = session.Open(o)) return failed;

  // The history is asked for the service the usage request chose.
  TUsageRecord record;
  const TDateTime now = NowLocal();
  const TUsageFetchResult usage = session.Service().FetchUsage(o.account, {}, now, record);
  if (!usage.Ok) {
    Say(stderr, "qgm-cli: %s\n", Cp1252ToUtf8(usage.FailureText).c_str());
    return 1;
  }
  THistory history;
  const THistoryStepResult r =
      RunHistoryStep(history, session.Service(), o.account, !o.dataDir.has_value(),
                     o.dataDir ? *o.dataDir : std::string(), now);
  if (!r.Fetched) {
    std::fputs("qgm-cli: the usage history could not be fetched\n", stderr);
    return 1;
  }
  if (o.dataDir && !r.Saved) {
    Say(stderr, "qgm-cli: the usage log could not be written in %s\n", o.dataDir->c_str());
    return 1;
  }

  std::string out;
  if (csv) {
    out = history.CsvText();
  } else if (o.json) {
    out = "{\"serviceId\":" + JsonString(Widen1252(session.Service().ServiceId())) +
          ",\"daysRequested\":" + std::to_string(r.DaysRequested) +
          ",\"todayTotalMB\":" + Mb(r.TodayTotalMB) + ",\"days\":[";
    bool first = true;
    for (const TDayUsage& d : history.Days()) {
      out += std::string(first ? "" : ",") + "{\"date\":\"" + FormatDateTime("yyyy-mm-dd", d.Date) +
             "\",\"downloadsMB\":" + Mb(d.Downloads) + ",\"uploadsMB\":" + Mb(d.Uploads) +
             ",\"totalMB\":" + Mb(d.Total) + "}";
      first = false;
    }
    out += "]}\n";
  } else {
    out = "Date        Downloads MB   Uploads MB   Total MB\n";
    for (const TDayUsage& d : history.Days()) {
      out += Format("%s %14s %12s %10s\n",
                    {FormatDateTime("yyyy-mm-dd", d.Date), Format("%1.3n", {d.Downloads}),
                     Format("%1.3n", {d.Uploads}), Format("%1.3n", {d.Total})});
    }
    out += Format("%d days; metered today: %1.0n MB\n", {history.Count(), r.TodayTotalMB});
  }
  WriteOutput(out, o.json);
  return 0;
}

}  // namespace qgm::cli
