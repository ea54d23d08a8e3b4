#include "core/history/History.h"

#include <algorithm>
#include <charconv>

#include "core/platform/FileIo.h"
#include "core/usage/UsageService.h"
#include "core/usage/XmlDate.h"
#include "core/util/CodePage.h"
#include "core/util/Csv.h"
#include "core/util/Format.h"
#include "core/util/Text.h"
#include "core/xml/XmlParser.h"

namespace qgm {
namespace {

Money BytesToMB(int64_t bytes) {
  // Units of 100 bytes, halves to even, without a detour through floating point.
  const int64_t q = bytes / 100, r = bytes % 100;
  int64_t units = q;
  if (r > 50 || (r == 50 && (q & 1))) ++units;
  if (r < -50 || (r == -50 && (q & 1))) --units;
  return Money::FromUnits(units);
}

const TFormatSettings kCsvFormat{};  // "." and no thousands grouping in %f

int64_t TrafficBytes(const TElement* e) {
  return e ? ToInt64(Narrow1252(e->GetText())) : 0;
}

bool AllDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Far beyond any day's traffic (an exabyte); a log field outside it is
// damaged, and sums of such amounts could not be held.
constexpr double kMaxLogAmountMB = 1e12;

// A log field as a number of megabytes; blanks around it are ignored and
// anything unreadable counts as 0.
Money ParseAmount(std::string_view field) {
  const std::string text = Trim(field);
  // Always "." as the decimal separator, whatever the process locale says.
  double v = 0;
  const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), v);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return Money();
  if (!(v >= -kMaxLogAmountMB && v <= kMaxLogAmountMB)) return Money();
  return Money::FromLongDouble(v);
}

}  // namespace

const TDayUsage& THistory::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("THistory: out of range");
  return items_[static_cast<size_t>(index)];
}

void THistory::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("THistory: out of range");
  items_.erase(items_.begin() + index);
}

bool THistory::EndsOnOrAfter(TDateTime date) const {
  return !items_.empty() && items_.back().Date >= date;
}

void THistory::AddDay(TDateTime date, int64_t totalBytes, int64_t downloadBytes,
                      int64_t uploadBytes) {
  AddDayMB(date, BytesToMB(totalBytes), BytesToMB(downloadBytes), BytesToMB(uploadBytes));
}

void THistory::AddDayMB(TDateTime date, Money total, Money downloads, Money uploads) {
  items_.push_back({date, total, downloads, uploads});
}

void THistory::AppendEmptyDay(TDateTime date) {
  items_.push_back({date, {}, {}, {}});
}

void THistory::InsertEmptyDay(int index, TDateTime date) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, TDayUsage{date, {}, {}, {}});
}

void THistory::LoadFromXml(std::string_view document, TDateTime today) {
  if (document.empty()) {
    Normalise(today);
    return;
  }
  const auto tree = BuildXmlTree1252(document);
  LoadFromTree(tree.get(), today);
}

void THistory::LoadFromTree(const TElement* root, TDateTime today) {
  for (const TElement* day = FindPath(root, {"corvalink", "api", "usagelist", "usage"}); day;
       day = day->NextSibling()) {
    // Text between the day elements, comments and the like are no days.
    if (day->Kind() != TElementKind::etTag) continue;
    const TAttrib* dayAttr = day->FindAttrib("day");
    // A day without its date would land among the oldest records as the
    // zero date; it is left out instead.
    if (!dayAttr) continue;
    const TDateTime date = XmlDateToDate(Narrow1252(dayAttr->Value()));
    const TElement* t = day->FindChild("traffic");
    const int64_t up = TrafficBytes(FindWithAttribs(t, "direction", "up", "name", "metered"));
    const int64_t down = TrafficBytes(FindWithAttribs(t, "direction", "down", "name", "metered"));
    const int64_t total = TrafficBytes(FindWithAttrib(t, "name", "total"));
    if (AppendNewer && EndsOnOrAfter(date)) continue;
    // A day after today is dropped here, wherever it stands: left in the
    // middle of the store it would end the reading of the log written
    // from it, and every later day would be lost.
    if (date > DateOf(today)) continue;
    AddDay(date, total, down, up);
  }
  Normalise(today);
}

void THistory::Normalise(TDateTime today) {
  today = DateOf(today);
  while (!items_.empty() && items_.back().Date > today) items_.pop_back();
  if (items_.empty()) {
    AppendEmptyDay(today);
    return;
  }
  const int d = DaysBetweenDates(items_.back().Date, today);
  const int k = std::min(d, 32);
  for (int i = k - 1; i >= 0; --i) AppendEmptyDay(IncDay(today, -i));

  const TDateTime limit = IncDay(today, -30);
  for (int j = Count() - 2; j >= 0; --j) {
    const TDateTime e = items_[static_cast<size_t>(j + 1)].Date;
    const TDateTime f = items_[static_cast<size_t>(j)].Date;
    if (e < limit) return;
    const int g = DaysBetweenDates(f, e);
    const int n = std::min(g, 32);
    if (g < 0) continue;  // out of order: left as it is
    if (n == 0) {
      items_.erase(items_.begin() + j + 1);
    } else if (n == 1) {
      if (f < limit) return;
    } else {
      for (int m = 1; m <= n - 1; ++m) InsertEmptyDay(j + 1, IncDay(e, -m));
    }
  }
}

std::string THistory::CsvText() const {
  std::string out = "Date, Downloads, Uploads, Totals\r\n";
  out.reserve(out.size() + items_.size() * 48);
  for (const TDayUsage& d : items_) {
    out += FormatDateTime("yyyy-mm-dd", d.Date);
    out += Format(", %1.3f, %1.3f, %1.3f", {d.Downloads, d.Uploads, d.Downloads + d.Uploads},
                  kCsvFormat);
    out += "\r\n";
  }
  return out;
}

bool THistory::SaveToCsv(const std::filesystem::path& file) const {
  return !file.empty() && WriteFileAtomic(file, CsvText());
}

void THistory::LoadFromCsv(const std::filesystem::path& file, TDateTime newest, TDateTime oldest) {
  Clear();
  if (file.empty()) return;
  if (const auto text = ReadWholeFile(file)) LoadFromCsvText(*text, newest, oldest);
}

void THistory::LoadFromCsvText(std::string_view text, TDateTime newest, TDateTime oldest) {
  Clear();
  std::vector<std::string> fields;
  ForEachLine(text, [&](std::string_view line) {
    const auto count = SplitCsvLine(line, 4, fields);
    if (!count || *count != 4 || fields[0].size() != 10) return true;
    const std::string& f = fields[0];
    const std::string_view y(f.data(), 4), m(f.data() + 5, 2), dd(f.data() + 8, 2);
    if (!AllDigits(y) || !AllDigits(m) || !AllDigits(dd)) return true;
    const int year = std::stoi(std::string(y)), month = std::stoi(std::string(m)),
              day = std::stoi(std::string(dd));
    TDateTime date;
    if (year <= 2001 || month < 1 || month > 12 || day < 1 || day > 31 ||
        !TryEncodeDate(year, month, day, date)) {
      return true;
    }
    if (date < oldest) return true;
    if (date > newest) return false;
    AddDayMB(date, ParseAmount(fields[3]), ParseAmount(fields[1]), ParseAmount(fields[2]));
    return true;
  });
}

std::filesystem::path UsageLogFile(const std::filesystem::path& dataFolder,
                                   const std::string& accountName) {
  return AccountDataFile(dataFolder, accountName, "_CorvalinkHistory.csv");
}

}  // namespace qgm
