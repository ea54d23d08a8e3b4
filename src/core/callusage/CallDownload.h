#pragma once
// Downloading CallHaven call months from the customer API host: the current
// month at every run, and back month by month to the month the last run
// reached (after a reset, to the start of the history).

#include <filesystem>
#include <functional>
#include <string>

#include "core/net/UsageRequest.h"
#include "core/util/DateTime.h"

namespace qgm {

class THttpClient;
class TNetContext;

// What a "Content-disposition" header answers for a request of
// (month, year): false when it names no call file or a later month;
// otherwise month and year become the answered ones, and `usable` says
// whether they are a real month (1..12, after 2000).
bool ParseCallDisposition(const std::string& header, int& month, int& year, bool& usable);

// How one month's request ended: with its file; with an answer that holds
// no call file (what the server says for a month before its records start);
// or failed (no answer, an error status, or a file named for a later or an
// impossible month), worth asking again another time.
enum class ECallFetch { File, NoFile, Failed };

// One month: its body, and month and year moved to what the server
// answered.
ECallFetch FetchCallMonth(THttpClient& client, const std::string& apiHost, int& month, int& year,
                          std::string& body);

struct TCallDownload {
  std::string ApiHost;  // "https://host[:port]"
  std::string Phone;
  std::string Password;
  TProxySettings Proxy;
  TNetContext* Context = nullptr;
  std::filesystem::path Folder;  // where the month files are kept
  // The status line: shown while a month is fetched, then given back.
  std::function<std::string()> Status;
  std::function<void(const std::string&)> SetStatus;
};

// The download run: the current month, then back to the month of
// `refetchFromDate`, which becomes the first day of the newest month saved
// once every month on the way was fetched and saved (a month that failed or
// could not be written is asked for again next time, not left half there).
// Returns the number of month files written.
int DownloadCallMonths(const TCallDownload& download, TDateTime today, TDateTime& refetchFromDate);

// The body with CR LF line ends, as the month files keep it.
std::string CrLfLines(std::string_view body);

}  // namespace qgm
