#include "DemoAccount.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "HostileContent.h"
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

std::string Header() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<corvalink>\n  <api>\n";
}
std::string Footer() {
  return "  </api>\n</corvalink>\n";
}

// A long word or a megabyte goes into one field of a reply, not each.
bool Big(int hostile) {
  return hostile == 4 || hostile == 5;
}

}  // namespace

DemoAccount::DemoAccount(double today) : today_(std::floor(today)) {
  notices.push_back({"yes",
                     "Scheduled maintenance: the usage service may be unavailable on Sunday "
                     "between 2am and 4am while we upgrade our systems.",
                     "MAINT-2026-12", "https://www.corvalink.example/status"});
  notices.push_back(
      {"optional", "Your plan now includes unmetered radio streaming.", "RADIO-2026", ""});
  // "demo": the newest message unread; "family": unread voicemail behind an
  // unread message; "empty": nothing at all.
  mailboxes.push_back({"demo",
                       "demo",
                       {{"news@corvalink.com", "Your December newsletter", "RO"},
                        {"alice@example.net", "Lunch on Friday?", "RO"},
                        {"bob@example.org", "Photos from the weekend", "U"}}});
  mailboxes.push_back(
      {"family",
       "family",
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

double DemoAccount::PeriodStart() const {
  return qgm::IncMonth(NextRollover(), -1);
}

DayTraffic DemoAccount::Day(double date) const {
  DayTraffic t;
  t.date = std::floor(date);
  const uint64_t r = Mix(static_cast<uint64_t>(static_cast<int64_t>(t.date)));
  const int dow = qgm::DayOfWeek(t.date);
  const bool weekend = dow == 1 || dow == 7;
  // Between 1.5 and 9 GB a day, more at weekends, uploads a few percent.
  double down = 1.5e9 + static_cast<double>(r % 6000) * 1e6;
  if (weekend) down *= 1.4;
  // Billing months that start in an odd month have a busy week (the
  // period's days 17 to 23: a game, a backup) and then a quiet end, so
  // that the pace of the last days runs out before the rollover while the
  // month itself stays within the allowance.
  const auto day = DecodeDate(t.date);
  double start = EncodeDate(day.year, day.month, rolloverDay);
  if (start > t.date) start = qgm::IncMonth(start, -1);
  if (DecodeDate(start).month % 2 == 1) {
    const int index = static_cast<int>(t.date - start);
    if (index >= 16 && index <= 22) down *= 2.2;
    if (index > 22) down *= 0.4;
  }
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

std::string DemoAccount::ServiceListXml(int hostile) const {
  const std::string& h = HostileText(hostile);
  std::string xml = Header();
  int index = 0;
  for (const Notice& n : notices) {
    const std::string url =
        hostile >= 0 && !n.url.empty() ? HostileLink(hostile, n.url, index) : n.url;
    xml += "    <notify displaytouser=\"" + n.displayToUser + "\">\n      <msg>" +
           XmlEscaped(n.message + h) + "</msg>\n      <ref>" + XmlEscaped(n.ref + h) +
           "</ref>\n      <url>" + XmlEscaped(url) + "</url>\n    </notify>\n";
    ++index;
  }
  xml += "    <services>\n";
  xml += "      <service type=\"Home-ADSL\" href=\"/api/v1.5/" + homeServiceId + "\">" +
         homeServiceId + "</service>\n";
  xml += "      <service type=\"RoamMobile\" href=\"/api/v1.5/" + mobileServiceId + "\">" +
         mobileServiceId + "</service>\n";
  xml += "    </services>\n";
  return xml + Footer();
}

std::string DemoAccount::UsageXml(const std::string& serviceId, int hostile) const {
  const bool mobile = serviceId == mobileServiceId;
  const int64_t quota = mobile ? 5'000'000'000 : quotaBytes;
  const int64_t used = mobile ? 1'234'567'890 : UsedThisPeriod();
  const std::string rollover = FormatDateTime("yyyy-mm-dd", NextRollover());
  const std::string h = XmlEscaped(HostileText(hostile));
  std::string xml = Header();
  if (hostile >= 0) {
    xml += "    <traffic name=\"" + h + "\" direction=\"" + h + "\" unit=\"" + h + "\">" + h +
           "</traffic>\n";
  }
  const std::string unit = "bytes" + (Big(hostile) ? std::string() : h);
  xml += "    <traffic name=\"metered\" direction=\"down\" unit=\"" + unit + "\">" +
         std::to_string(used) + "</traffic>\n";
  xml += "    <traffic name=\"total\" direction=\"down\" quota=\"" + std::to_string(quota) +
         "\" rollover=\"" + rollover + "\" unit=\"" + unit + "\">" + std::to_string(used) +
         "</traffic>\n";
  return xml + Footer();
}

std::string DemoAccount::ServiceXml(const std::string& serviceId, int hostile) const {
  const bool mobile = serviceId == mobileServiceId;
  const std::string& h = HostileText(hostile);
  auto field = [&h](const char* name, const std::string& value) {
    return std::string("      <") + name + ">" + XmlEscaped(value + h) + "</" + name + ">\n";
  };
  std::string xml = Header() + "    <service>\n";
  if (mobile) {
    xml += field("sim", "8961 0200 1234 5678") + field("plan", "Roam 5");
    xml += field("usage-rating", "down-up") + field("carrier", "Corvalink Mobile");
    xml += field("excess-restrict-access", "blocked until rollover");
    xml += field("plan-cost", "19.95") + field("plan-interval", "Monthly");
  } else {
    xml += field("speed", "ADSL2+ up to 24 Mbps") + field("plan", "Quarterly Home 200");
    xml += field("usage-rating", uploadsMetered ? "down-up" : "down");
    xml += field("carrier", "Corvalink");
    xml += field("excess-shaped", "shaped to 256 kbps");
    xml += field("plan-cost", " 59.95 ") + field("plan-interval", " Monthly ");
  }
  xml += "    </service>\n";
  return xml + Footer();
}

std::string DemoAccount::HistoryXml(const std::string&, int days, int hostile) const {
  std::string xml = Header() + "    <usagelist>\n";
  const std::string h = XmlEscaped(HostileText(hostile));
  for (int i = days - 1; i >= 0; --i) {
    const DayTraffic t = Day(today_ - i);
    const std::string unit =
        "\" unit=\"bytes" + (i == days - 1 || !Big(hostile) ? h : std::string()) + "\">";
    xml += "      <usage day=\"" + FormatDateTime("yyyy-mm-dd", t.date) + "\">\n";
    xml += "        <traffic direction=\"down\" name=\"metered" + unit + std::to_string(t.down) +
           "</traffic>\n";
    xml += "        <traffic direction=\"up\" name=\"metered" + unit +
           std::to_string(uploadsMetered ? t.up : 0) + "</traffic>\n";
    xml += "        <traffic direction=\"up\" name=\"total" + unit + std::to_string(t.total) +
           "</traffic>\n      </usage>\n";
  }
  xml += "    </usagelist>\n";
  return xml + Footer();
}

}  // namespace corvalink::sim

namespace corvalink::sim {

std::string DemoAccount::RadioListText(int hostile) const {
  static const char* lines[][2] = {
      {"CVK Classic FM", "http://radio.corvalink.com/classic.pls"},
      {"CVK Jazz Lounge", "http://radio.corvalink.com/jazz.pls"},
      {"CVK News Talk", "http://radio.corvalink.com/newstalk.pls"},
      {"Harbour City Rock", "http://streams.example.net/rock.m3u"},
      {"Indie Underground", "http://streams.example.org/indie.pls"},
      {"Country Roads", "http://streams.example.com/country.mp3"},
      {"not a channel line", nullptr},
      {"Late Night Talk", "http://streams.example.net/talk?a=b"},
  };
  std::string text;
  for (const auto& line : lines) {
    const std::string& h = text.empty() || !Big(hostile) ? HostileText(hostile) : std::string();
    text += line[0] + h;
    if (line[1]) text += std::string("=") + line[1] + h;
    text += "\r\n";
  }
  return text;
}

std::string DemoAccount::CallMonthCsv(int year, int month, int hostile) const {
  const auto t = DecodeDate(today_);
  const int monthsBack = (t.year - year) * 12 + (t.month - month);
  if (monthsBack < 0 || monthsBack >= callMonths) return {};
  std::string csv = "Date,Time,Number,Cost,Type,Duration\r\n";
  const int days = monthsBack == 0 ? t.day : qgm::DaysInMonth(year, month);
  static const char* types[] = {"National",      "Mobile",   "CallHaven",
                                "International", "National", "Mobile"};
  char line[160];
  for (int day = 1; day <= days; ++day) {
    const uint64_t r = Mix(static_cast<uint64_t>(year * 400 + month * 32 + day));
    const int calls = static_cast<int>(r % 3);
    for (int c = 0; c < calls; ++c) {
      const uint64_t q = Mix(r + static_cast<uint64_t>(c));
      const char* type = types[q % 6];
      const int seconds = 20 + static_cast<int>((q >> 8) % 1800);
      const double cost = std::string(type) == "CallHaven"
                              ? 0.0
                              : (std::string(type) == "International" ? 0.45 : 0.10) +
                                    seconds * (std::string(type) == "Mobile" ? 0.0045 : 0.0009);
      const std::string h = csv.size() < 40 || !Big(hostile) ? HostileText(hostile) : std::string();
      std::snprintf(line, sizeof line, "%02d/%02d/%04d,%02d:%02d,02%08llu", day, month, year,
                    static_cast<int>(8 + (q >> 20) % 12), static_cast<int>((q >> 28) % 60),
                    static_cast<unsigned long long>((q >> 32) % 100000000));
      csv += line + h;
      std::snprintf(line, sizeof line, ",%.2f,", cost);
      csv += line + (type + h) + "," + std::to_string(seconds) + "\r\n";
    }
  }
  return csv;
}

std::string DemoAccount::FeedXml(FeedFormat format, int hostile) const {
  struct Item {
    const char* title;
    const char* text;
    int daysAgo;
    const char* report;  // an enclosed report, or nullptr
  };
  static const Item items[] = {
      {"Planned maintenance: Sydney exchange",
       "Services in the Sydney CBD exchange will be unavailable between 1am and 3am on "
       "Sunday while we upgrade equipment.<br>We apologise for the inconvenience.",
       1, "maintenance-sydney.pdf"},
      {"Resolved: email delays",
       "Incoming mail was delayed by up to 30 minutes this morning. All queued mail has now "
       "been delivered &amp; no mail was lost.",
       3, nullptr},
      {"Brisbane ADSL outage &#150; resolved",
       "<p>Some ADSL customers in Brisbane lost service for two hours.</p><p>The faulty card "
       "has been replaced and all services are back to normal speeds.</p>",
       9, "outage-brisbane.pdf"},
      {"New unmetered radio channels",
       "Four more radio channels are now unmetered for all plans. See the Radio page of QGM's "
       "Setup tab for the full list.",
       14, nullptr},
      {"Dial-up numbers changing in Perth",
       "From next month Perth dial-up customers should use 0198 300 000. The old number will "
       "keep working until the end of the year.",
       20, nullptr},
  };
  const std::string site = "https://www.corvalink.example/status";
  auto enclosure = [&site](const char* report) {
    return "    <enclosure url=\"" + site + "/" + report +
           "\" length=\"48213\" type=\"application/pdf\"/>\n";
  };
  // Each item's title, description and link, with the hostile text.
  struct Shown {
    std::string title, text, link;
  };
  std::vector<Shown> shown;
  for (const Item& it : items) {
    const int index = static_cast<int>(shown.size());
    const std::string& h = index == 0 || !Big(hostile) ? HostileText(hostile) : std::string();
    shown.push_back({it.title + XmlEscaped(h), it.text + h,
                     hostile >= 0 ? XmlEscaped(HostileLink(hostile, site, index)) : site});
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n";
  if (format == FeedFormat::Atom) {
    xml +=
        "<feed xmlns=\"http://www.w3.org/2005/Atom\">\n  <title>Corvalink Network Status</title>\n";
    for (size_t i = 0; i < std::size(items); ++i) {
      const Item& it = items[i];
      const std::string date = FormatDateTime("yyyy-mm-dd", today_ - it.daysAgo) + "T09:00:00Z";
      xml += "  <entry>\n    <title>" + shown[i].title + "</title>\n    <link href=\"" +
             shown[i].link + "\"/>\n";
      if (it.report)
        xml += "    <link rel=\"enclosure\" href=\"" + site + "/" + it.report +
               "\" length=\"48213\" type=\"application/pdf\"/>\n";
      xml += "    <updated>" + date + "</updated>\n    <summary type=\"html\"><![CDATA[" +
             shown[i].text + "]]></summary>\n  </entry>\n";
    }
    return xml + "</feed>\n";
  }
  if (format == FeedFormat::Rss1) {
    xml +=
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        "xmlns=\"http://purl.org/rss/1.0/\">\n  <channel rdf:about=\"" +
        site + "\">\n    <title>Corvalink Network Status</title>\n    <link>" + site +
        "</link>\n  </channel>\n";
    for (size_t i = 0; i < std::size(items); ++i) {
      const Item& it = items[i];
      xml += "  <item rdf:about=\"" + site + "\">\n    <title>" + shown[i].title +
             "</title>\n    <link>" + shown[i].link + "</link>\n    <description><![CDATA[" +
             shown[i].text + "]]></description>\n";
      if (it.report) xml += enclosure(it.report);
      xml += "  </item>\n";
    }
    return xml + "</rdf:RDF>\n";
  }
  xml += "<rss version=\"2.0\">\n<channel>\n  <title>Corvalink Network Status</title>\n  <link>" +
         site + "</link>\n";
  for (size_t i = 0; i < std::size(items); ++i) {
    const Item& it = items[i];
    xml += "  <item>\n    <title>" + shown[i].title + "</title>\n    <link>" + shown[i].link +
           "</link>\n    <pubDate>" + FormatDateTime("ddd, dd mmm yyyy", today_ - it.daysAgo) +
           " 09:00:00 +1000</pubDate>\n    <description><![CDATA[" + shown[i].text +
           "]]></description>\n";
    if (it.report) xml += enclosure(it.report);
    xml += "  </item>\n";
  }
  return xml + "</channel>\n</rss>\n";
}

}  // namespace corvalink::sim
