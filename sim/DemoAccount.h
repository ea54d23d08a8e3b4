#pragma once
// The simulated customer: services, a billing month in progress, 950 days of
// history and provider notices, generated from the date so every run of a
// day shows the same figures.

#include <cstdint>
#include <string>
#include <vector>

#include "LineServices.h"

namespace corvalink::sim {

enum class FeedFormat { Rss2, Rss1, Atom };

struct DayTraffic {
  double date = 0;  // TDateTime, midnight
  int64_t down = 0, up = 0, total = 0;
};

struct Notice {
  std::string displayToUser;  // "yes", "optional", ...
  std::string message, ref, url;
};

class DemoAccount {
 public:
  // `today`: TDateTime of the simulated "now".
  explicit DemoAccount(double today);

  std::string account = "demo";
  std::string password = "demo";
  std::string homeServiceId = "4417825";
  std::string mobileServiceId = "8820113";
  int64_t quotaBytes = 200'000'000'000;  // 200 GB
  int rolloverDay = 15;                  // the billing month starts on the 15th
  bool uploadsMetered = false;
  std::vector<Notice> notices;
  // The provider's voicemail arrives as mail from this sender.
  std::string voicemailSender = "voicemail@callhaven.corvalink.com";
  std::vector<Mailbox> mailboxes;
  // CallHaven telephone service: 28 months of calls up to this month.
  std::string phoneNumber = "0298765432";
  std::string phonePassword = "callhaven";
  int callMonths = 28;
  // The public address and spam status of the spam-rate page.
  std::string publicAddress = "203.0.113.45";
  std::string spamStatus = "No spam detected from this address";
  // The replies below take a kind of hostile text (HostileContent.h; -1:
  // none) that goes into each of their text fields, the reply staying
  // well-formed around it.
  // Unmetered radio channels; "CVK" marks the provider's own network.
  std::string RadioListText(int hostile = -1) const;
  // One month of calls as CSV (header first); empty when the month is
  // outside the account's history. Hostile text goes into the number and
  // type columns.
  std::string CallMonthCsv(int year, int month, int hostile = -1) const;
  // The advisories feed in one of its layouts (Windows-1252 text).
  std::string FeedXml(FeedFormat format, int hostile = -1) const;

  double Today() const { return today_; }
  double NextRollover() const;
  double PeriodStart() const;
  // Traffic of one day; today's figure covers the day so far.
  DayTraffic Day(double date) const;
  int64_t UsedThisPeriod() const;

  // The notices' texts, references and links carry the hostile text.
  std::string ServiceListXml(int hostile = -1) const;
  // Hostile text in the units and in a traffic element of its own name.
  std::string UsageXml(const std::string& serviceId, int hostile = -1) const;
  std::string ServiceXml(const std::string& serviceId, int hostile = -1) const;
  // Hostile text in the units (only the first day's for a long word or a
  // megabyte).
  std::string HistoryXml(const std::string& serviceId, int days, int hostile = -1) const;

 private:
  double today_;
};

}  // namespace corvalink::sim
