#include "core/history/HistoryStep.h"

#include "core/xml/XmlParser.h"

namespace qgm {

THistoryStepResult RunHistoryStep(THistory& history, TUsageService& service,
                                  const TUsageAccount& account, bool firstUpdate,
                                  const std::filesystem::path& dataFolder, TDateTime today) {
  THistoryStepResult result;
  today = DateOf(today);
  const std::filesystem::path log = UsageLogFile(dataFolder, account.Name);
  history.Clear();
  history.AppendNewer = false;
  if (!firstUpdate) history.LoadFromCsv(log, IncDay(today, -31), IncDay(today, -950));
  if (history.Count() > 0) {
    result.DaysRequested = 31;
    history.AppendNewer = true;
  } else {
    result.DaysRequested = 950;
  }

  std::string body;
  if (!service.FetchHistory(account, result.DaysRequested, body)) return result;
  // A reply with nothing in it is a failed fetch: the log keeps its days
  // instead of being rewritten from an empty store.
  if (body.find_first_not_of(" \t\r\n") == std::string::npos) return result;
  // The reply is let go once parsed: its days are in the tree.
  const auto tree = BuildXmlTree1252(body);
  std::string().swap(body);
  // So is a reply that is not the provider's document, or is its error
  // document: taken as a month without traffic it would zero the log's
  // last 31 days, and the day that leaves that window before the next good
  // reply would keep its zero for good.
  const TElement* document = FindPath(tree.get(), {"corvalink"});
  if (!document || document->FindChild("error")) return result;
  history.LoadFromTree(tree.get(), today);
  result.Fetched = true;
  result.TodayTotalMB = history.Count() > 0 ? history.Days().back().Total : Money();
  result.Saved = history.SaveToCsv(log);
  return result;
}

}  // namespace qgm
