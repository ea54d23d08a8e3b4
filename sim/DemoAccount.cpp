#include "DemoAccount.h"

#include <cmath>
#include <cstdio>

#include "core/util/DateTime.h"

namespace corvalink::sim {

using qgm::DecodeDate;
using qgm::EncodeDate;
using qgm::FormatDateTime;

namespace {

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::string Header() { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<corvalink>\n  <api>\n"; }
std::string Footer() { return "  </api>\n</corvalink>\n"; }

}  // namespace

DemoAccount::DemoAccount(double today) : today_(std::floor(today)) {
  notices.push_back({"yes",
                     "Scheduled maintenance: the usage service may be unavailable on Sunday "
                     "between 2am and 4am while we upgrade our systems.",
                     "MAINT-2026-12", "https://www.corvalink.example/status"});
  notices.push_back({"optional", "Your plan now includes unmetered radio streaming.",
                     "RADIO-2026", ""});
  // "demo": the newest message unread; "family": unread voicemail behind an
  // unread message; "empty": nothing at all.
  mailboxes.push_back({"demo", "demo",
                       {{"news@corvalink.com", "Your December newsletter", "RO"},
                        {"alice@example.net", "Lunch on Friday?", "RO"},
                        {"bob@example.org", "Photos from the weekend", "U"}}});
  mailboxes.push_back({"family", "family",
                       {{"school@example.edu", "Term dates", "RO"},
                        {"Voicemail <" + voicemailSender + ">", "New voicemail from 0298765432", "U"},
                        {"grandma@example.com", "Christmas plans", "U"}}});
  mailboxes.push_back({"empty", "empty", {}});
}

double DemoAccount::NextRollover() const {
  const auto d = DecodeDate(today_);
  double candidate = EncodeDate(d.year, d.month, rolloverDay);
  if (candidate <= today_) candidate = qgm::IncMonth(candidate, 1);
  return candidate;
}

double DemoAccount::PeriodStart() const { return qgm::IncMonth(NextRollover(), -1); }

DayTraffic DemoAccount::Day(double date) const {
  DayTraffic t;
  t.date = std::floor(date);
  const uint64_t r = Mix(static_cast<uint64_t>(static_cast<int64_t>(t.date)));
  const int dow = qgm::DayOfWeek(t.date);
  const bool weekend = dow == 1 || dow == 7;
  // Between 1.5 and 9 GB a day, more at weekends, uploads a few percent.
  double down = 1.5e9 + static_cast<double>(r % 6000) * 1e6;
  if (weekend) down *= 1.4;
  double up = down * (0.03 + static_cast<double>((r >> 20) % 50) / 1000.0);
  if (t.date == today_) {
    down *= 0.45;  // the day so far
    up *= 0.45;
  }
  t.down = static_cast<int64_t>(down) + static_cast<int64_t>((r >> 32) % 1000000);
  t.up = static_cast<int64_t>(up) + static_cast<int64_t>((r >> 40) % 100000);
  t.total = t.down + t.up;
  return t;
}

int64_t DemoAccount::UsedThisPeriod() const {
  int64_t used = 0;
  for (double d = PeriodStart(); d <= today_; d += 1) {
    const DayTraffic t = Day(d);
    used += t.down + (uploadsMetered ? t.up : 0);
  }
  return used;
}

std::string DemoAccount::ServiceListXml() const {
  std::string xml = Header();
  for (const Notice& n : notices) {
    xml += "    <notify displaytouser=\"" + n.displayToUser + "\">\n      <msg>" + n.message +
           "</msg>\n      <ref>" + n.ref + "</ref>\n      <url>" + n.url + "</url>\n    </notify>\n";
  }
  xml += "    <services>\n";
  xml += "      <service type=\"Home-ADSL\" href=\"/api/v1.5/" + homeServiceId + "\">" + homeServiceId +
         "</service>\n";
  xml += "      <service type=\"RoamMobile\" href=\"/api/v1.5/" + mobileServiceId + "\">" +
         mobileServiceId + "</service>\n";
  xml += "    </services>\n";
  return xml + Footer();
}

std::string DemoAccount::UsageXml(const std::string& serviceId) const {
  const bool mobile = serviceId == mobileServiceId;
  const int64_t quota = mobile ? 5'000'000'000 : quotaBytes;
  const int64_t used = mobile ? 1'234'567'890 : UsedThisPeriod();
  const std::string rollover = FormatDateTime("yyyy-mm-dd", NextRollover());
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "    <traffic name=\"metered\" direction=\"down\" unit=\"bytes\">%lld</traffic>\n"
                "    <traffic name=\"total\" direction=\"down\" quota=\"%lld\" rollover=\"%s\" "
                "unit=\"bytes\">%lld</traffic>\n",
                static_cast<long long>(used), static_cast<long long>(quota), rollover.c_str(),
                static_cast<long long>(used));
  return Header() + buf + Footer();
}

std::string DemoAccount::ServiceXml(const std::string& serviceId) const {
  const bool mobile = serviceId == mobileServiceId;
  std::string xml = Header() + "    <service>\n";
  if (mobile) {
    xml += "      <sim>8961 0200 1234 5678</sim>\n      <plan>Roam 5</plan>\n";
    xml += "      <usage-rating>down-up</usage-rating>\n      <carrier>Corvalink Mobile</carrier>\n";
    xml += "      <excess-restrict-access>blocked until rollover</excess-restrict-access>\n";
    xml += "      <plan-cost>19.95</plan-cost>\n      <plan-interval>Monthly</plan-interval>\n";
  } else {
    xml += "      <speed>ADSL2+ up to 24 Mbps</speed>\n      <plan>Quarterly Home 200</plan>\n";
    xml += std::string("      <usage-rating>") + (uploadsMetered ? "down-up" : "down") +
           "</usage-rating>\n";
    xml += "      <carrier>Corvalink</carrier>\n";
    xml += "      <excess-shaped>shaped to 256 kbps</excess-shaped>\n";
    xml += "      <plan-cost> 59.95 </plan-cost>\n      <plan-interval> Monthly </plan-interval>\n";
  }
  xml += "    </service>\n";
  return xml + Footer();
}

std::string DemoAccount::HistoryXml(const std::string&, int days) const {
  std::string xml = Header() + "    <usagelist>\n";
  char buf[512];
  for (int i = days - 1; i >= 0; --i) {
    const DayTraffic t = Day(today_ - i);
    std::snprintf(buf, sizeof buf,
                  "      <usage day=\"%s\">\n"
                  "        <traffic direction=\"down\" name=\"metered\" unit=\"bytes\">%lld</traffic>\n"
                  "        <traffic direction=\"up\" name=\"metered\" unit=\"bytes\">%lld</traffic>\n"
                  "        <traffic direction=\"up\" name=\"total\" unit=\"bytes\">%lld</traffic>\n"
                  "      </usage>\n",
                  FormatDateTime("yyyy-mm-dd", t.date).c_str(), static_cast<long long>(t.down),
                  static_cast<long long>(uploadsMetered ? t.up : 0), static_cast<long long>(t.total));
    xml += buf;
  }
  xml += "    </usagelist>\n";
  return xml + Footer();
}

}  // namespace corvalink::sim
