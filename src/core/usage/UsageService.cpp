#include "core/usage/UsageService.h"

#include <cstdio>
#include <cstdlib>

#include "core/platform/FileIo.h"
#include "core/usage/XmlDate.h"
#include "core/util/CodePage.h"
#include "core/util/Text.h"
#include "core/xml/XmlParser.h"

namespace qgm {
namespace {

std::string UpperFirst(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::unique_ptr<TXmlTree> Parse(const std::string& reply) {
  // An empty reply never counts as good, but a parse must not raise either.
  return BuildXmlTree1252(reply.empty() ? std::string_view(" ") : std::string_view(reply));
}

}  // namespace

TUsageService::TUsageService(TUsageServiceConfig config, INoticeSink& notices)
    : config_(std::move(config)), notices_(notices) {}

bool TUsageService::Get(const TUsageAccount& account, const std::string& relative, int tries,
                        std::string& out) {
  return GetWithRetries(config_.ApiBase + relative, account.Name, tries, out, account.Password,
                        config_.Request);
}

std::filesystem::path AccountDataFile(const std::filesystem::path& folder,
                                      const std::string& accountName, std::string_view suffix) {
  if (folder.empty() || accountName.find('/') != std::string::npos ||
      accountName.find('\0') != std::string::npos) {
    return {};
  }
  return folder / (accountName + std::string(suffix));
}

void TUsageService::WriteDataFile(const TUsageAccount& account, const char* suffix,
                                  const std::string& text) {
  // A failed write is ignored, as is a name that would lead out of the
  // data folder.
  const auto file = AccountDataFile(config_.DataFolder, account.Name, suffix);
  if (!file.empty()) WriteFileAtomic(file, text);
}

std::string TUsageService::FormatMegabytes(long double mb) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15LG", mb);
  std::string text = buf;
  // "1E-05" is written "1E-5".
  if (const auto e = text.find('E'); e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    std::string sign;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
      if (exponent[0] == '-') sign = "-";
      exponent.erase(0, 1);
    }
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    text = mantissa + "E" + sign + exponent;
  }
  return text;
}

std::string TUsageService::UsageLineFromReply(const std::string& reply) {
  const auto tree = Parse(reply);
  const TElement* first = FindPath(tree.get(), {"corvalink", "api", "traffic"});
  const TElement* total = FindWithAttrib(first, "name", "total");
  if (!total) return {};
  const int64_t usedBytes = ToInt64(Narrow1252(total->GetText()));
  const TAttrib* quotaAttr = total->FindAttrib("quota");
  const TAttrib* rolloverAttr = total->FindAttrib("rollover");
  // A missing attribute counts as an empty value.
  const int64_t quotaBytes = quotaAttr ? ToInt64(Narrow1252(quotaAttr->Value())) : 0;
  const TDateTime rollover =
      rolloverAttr ? XmlDateToDate(Narrow1252(rolloverAttr->Value())) : kNoDate;
  return FormatMegabytes(static_cast<long double>(usedBytes) / 1000000.0L) + " " +
         std::to_string(quotaBytes / 1000000) + " " + DateToStr(rollover) + " 0.00";
}

std::string TUsageService::ReadServiceList(const std::string& reply, int accountType,
                                           const std::vector<std::string>& seenNoticeRefs,
                                           INoticeSink& sink, bool& noNotice) {
  const auto tree = Parse(reply);
  const TElement* notice = FindPath(tree.get(), {"corvalink", "api", "notify"});
  noNotice = notice == nullptr;
  for (; notice; notice = notice->NextSibling()) ProcessNotice(notice, seenNoticeRefs, sink);

  const TElement* service = FindPath(tree.get(), {"corvalink", "api", "services", "service"});
  if (service && accountType == kAccountRoamMobile) {
    if (const TElement* mobile = FindWithAttrib(service, "type", "RoamMobile")) service = mobile;
  }
  return service ? Narrow1252(service->GetText()) : std::string();
}

TUsageFetchResult TUsageService::FetchUsage(const TUsageAccount& account,
                                            const std::vector<std::string>& seenNoticeRefs,
                                            TDateTime now, TUsageRecord& record) {
  TUsageFetchResult result;
  std::string reply;
  if (!Get(account, "", 2, reply)) {
    result.FailureText = reply;
    return result;
  }
  serviceId_ =
      ReadServiceList(reply, account.AccountType, seenNoticeRefs, notices_, result.NoNotice);
  if (serviceId_.empty()) {
    result.FailureText = reply;
    return result;
  }

  std::string usage;
  if (!Get(account, serviceId_ + "/usage", 1, usage)) {
    result.FailureText = usage;
    return result;
  }
  result.UsageLine = UsageLineFromReply(usage);
  if (!result.UsageLine.empty()) WriteDataFile(account, "_CorvalinkUsage.txt", result.UsageLine);
  result.ParseCode = ParseUsageLine(result.UsageLine, now, record);
  if (result.ParseCode == kUsageNothing) {
    result.FailureText = usage;
    return result;
  }
  result.Ok = true;
  return result;
}

TServiceDetails TUsageService::DetailsFromReply(const std::string& reply, int accountType) {
  TServiceDetails d;
  d.SpeedCaption = accountType == kAccountRoamMobile ? "SIM Id:" : "Maximum Speed";
  d.Received = true;
  const auto tree = Parse(reply);
  const TElement* service = FindPath(tree.get(), {"corvalink", "api", "service"});
  auto text = [&](std::string_view name) -> const TElement* { return FindPath(service, {name}); };
  // Each field goes on one line of the tab: a megabyte of it laid out
  // would hold the window for seconds.
  auto textOf = [&](std::string_view name) {
    return GetPathText(service, {name}).substr(0, kLabelTextLimit);
  };

  if (accountType == kAccountRoamMobile) {
    if (text("sim")) {
      d.Speed = textOf("sim");
      d.Summary = "SIM: " + d.Speed;
    }
  } else if (text("speed")) {
    d.Speed = textOf("speed");
    d.Summary = "Speed: " + d.Speed;
  }
  if (text("plan")) {
    d.Plan = textOf("plan");
    if (d.Plan.rfind("Quarterly ", 0) == 0) d.Plan.erase(0, 10);
    d.Summary += "Plan: " + d.Plan;
  }
  d.UploadsMetered = textOf("usage-rating").find("up") != std::string::npos;
  d.UploadsCounted = d.UploadsMetered ? "Yes" : "No";
  d.Summary += std::string("Uploads counted: ") + d.UploadsCounted;
  d.Carrier = textOf("carrier");
  d.Shaping = UpperFirst(textOf("excess-shaped"));
  d.Capped = UpperFirst(textOf("excess-restrict-access"));
  d.ExcessFee = text("excess-cost") ? Trim(textOf("excess-cost")) + " $/megabyte" : "Nil";
  if (text("plan-cost")) d.PlanCost = "$" + Trim(textOf("plan-cost"));
  if (text("plan-interval")) d.PlanCost += " " + LowerAscii(Trim(textOf("plan-interval")));
  return d;
}

TServiceDetails TUsageService::FetchServiceDetails(const TUsageAccount& account) {
  TServiceDetails empty;
  empty.SpeedCaption = account.AccountType == kAccountRoamMobile ? "SIM Id:" : "Maximum Speed";
  // A failed request says nothing about uploads: what the last answer said
  // stands (the History tab's caption and the graphs' hints follow it).
  empty.UploadsMetered = uploadsMetered_;
  if (serviceId_.empty()) return empty;
  std::string reply;
  if (!Get(account, serviceId_ + "/service", 1, reply)) return empty;
  TServiceDetails details = DetailsFromReply(reply, account.AccountType);
  uploadsMetered_ = details.UploadsMetered;
  WriteDataFile(account, "_CorvalinkService.txt", details.Summary);
  return details;
}

bool TUsageService::FetchHistory(const TUsageAccount& account, int days, std::string& body) {
  body.clear();
  if (serviceId_.empty()) return false;
  return Get(account, serviceId_ + "/history?count=" + std::to_string(days) + "&verbose=1", 1,
             body);
}

}  // namespace qgm
