#include "core/callusage/CallDownload.h"

#include "core/callusage/CallMonths.h"
#include "core/net/HttpClient.h"
#include "core/net/NetContext.h"
#include "core/platform/FileIo.h"
#include "core/platform/ProcessValues.h"
#include "core/util/Format.h"

namespace qgm {

namespace {

// A decimal number in `text`, or `otherwise`.
int NumberOr(const std::string& text, int otherwise) {
  if (text.empty()) return otherwise;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return otherwise;
    value = value * 10 + (c - '0');
  }
  return value;
}

void StepBack(int& month, int& year) {
  if (--month == 0) {
    month = 12;
    --year;
  }
}

// False when the file could not be written (the month is then fetched again
// next time).
bool SaveMonth(const TCallDownload& d, int year, int month, const std::string& body) {
  return WriteFileAtomic(CallFileName(d.Folder, year, month), CrLfLines(body));
}

}  // namespace

bool ParseCallDisposition(const std::string& header, int& month, int& year, bool& usable) {
  const auto p = header.find("callhaven_calls_");
  if (p == std::string::npos) return false;
  // 0-based: the year at p + 16 (4 characters), the month at p + 21 (2).
  const int answeredYear =
      NumberOr(header.size() > p + 16 ? header.substr(p + 16, 4) : "", year + 1);
  const int answeredMonth = NumberOr(header.size() > p + 21 ? header.substr(p + 21, 2) : "", 0);
  const bool notLater = answeredYear <= year && (answeredMonth <= month || answeredYear < year);
  if (!notLater) return false;
  usable = answeredMonth >= 1 && answeredMonth <= 12 && answeredYear > 2000;
  month = answeredMonth;
  year = answeredYear;
  return true;
}

ECallFetch FetchCallMonth(THttpClient& client, const std::string& apiHost, int& month, int& year,
                          std::string& body) {
  body.clear();
  try {
    body = client.Get(apiHost + "/cgi-bin/ch-usage?date=" + LongMonthName(month) + "%20" +
                      std::to_string(year) + "&mode=csv");
    if (client.ResponseCode() < 200 || client.ResponseCode() > 299) return ECallFetch::Failed;
  } catch (const std::exception&) {
    return ECallFetch::Failed;
  }
  // No call file at all is the server's answer for a month before its
  // records; a file named for a later or an impossible month is a broken
  // answer, asked again another time.
  const std::string disposition = client.Header("Content-disposition");
  if (disposition.find("callhaven_calls_") == std::string::npos) return ECallFetch::NoFile;
  bool usable = false;
  return ParseCallDisposition(disposition, month, year, usable) && usable ? ECallFetch::File
                                                                          : ECallFetch::Failed;
}

int DownloadCallMonths(const TCallDownload& d, TDateTime today, TDateTime& refetchFromDate) {
  const std::string status = d.Status ? d.Status() : std::string();
  int saved = 0;
  if (!d.Phone.empty() && !d.Password.empty()) {
    THttpClient client(d.Context ? *d.Context : TNetContext::Default());
    client.ReadTimeoutMs = 60000;
    client.AllowCookies = false;
    client.ContentType = "text/html";
    client.UserAgent = ProgramUserAgent();
    client.BasicAuthentication = true;
    client.Username = d.Phone;
    client.Password = d.Password;
    ApplyProxySettings(client, d.Proxy);
    auto fetch = [&](int& month, int& year, std::string& body) {
      if (d.SetStatus)
        d.SetStatus(
            Format("  Getting CallHaven info for %s %4.4d ...", {LongMonthName(month), year}));
      return FetchCallMonth(client, d.ApiHost, month, year, body);
    };
    const DateParts now = DecodeDate(today);
    int month = now.month, year = now.year;
    std::string body;
    if (fetch(month, year, body) == ECallFetch::File) {
      // The next download goes back to the oldest month that must be asked
      // again: one whose answer failed or whose file could not be written,
      // else the month just saved. Only those months are asked again, never
      // the whole walk (a month that keeps failing would repeat it at
      // every start).
      TDateTime again = 0;
      if (SaveMonth(d, year, month, body)) {
        ++saved;
      } else {
        again = EncodeDate(year, month, 1);
      }
      const TDateTime newest = EncodeDate(year, month, 1);
      const DateParts old = DecodeDate(refetchFromDate);
      StepBack(month, year);
      while (year > old.year || (year == old.year && month >= old.month)) {
        const ECallFetch got = fetch(month, year, body);
        if (got != ECallFetch::File) {
          // No file ends the walk (the records start there), unless it is
          // one of the months shown and its file is already here: the
          // server had its records, so the answer was broken. A failure
          // is asked for again next time.
          const bool shown = (now.year - year) * 12 + (now.month - month) < kCallMonthsShown;
          if (got != ECallFetch::NoFile ||
              (shown && std::filesystem::exists(CallFileName(d.Folder, year, month))))
            again = EncodeDate(year, month, 1);
          break;
        }
        if (SaveMonth(d, year, month, body)) {
          ++saved;
        } else {
          again = EncodeDate(year, month, 1);
        }
        StepBack(month, year);
      }
      refetchFromDate = again != 0 ? again : newest;
    }
  }
  if (d.SetStatus) d.SetStatus(status);
  return saved;
}

std::string CrLfLines(std::string_view body) {
  std::string out;
  out.reserve(body.size() + body.size() / 16);
  size_t pos = 0;
  while (pos < body.size()) {
    size_t end = body.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = body.size();
    out.append(body.substr(pos, end - pos)).append("\r\n");
    pos = end + (end + 1 < body.size() && body[end] == '\r' && body[end + 1] == '\n' ? 2 : 1);
  }
  return out;
}

}  // namespace qgm
