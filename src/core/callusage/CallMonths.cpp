#include "core/callusage/CallMonths.h"

#include <algorithm>
#include <system_error>

#include "core/platform/FileIo.h"
#include "core/util/Csv.h"
#include "core/util/Text.h"

namespace qgm {

TCallMonth& TCallhaven::Items(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TCallhaven: out of range");
  return *months_[static_cast<size_t>(index)];
}

const TCallMonth& TCallhaven::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TCallhaven: out of range");
  return *months_[static_cast<size_t>(index)];
}

TCallMonth& TCallhaven::Add() {
  months_.push_back(std::make_unique<TCallMonth>());
  return *months_.back();
}

std::string LongMonthName(int month) {
  static const char* names[] = {"January",   "February", "March",    "April",
                                "May",       "June",     "July",     "August",
                                "September", "October",  "November", "December"};
  return month >= 1 && month <= 12 ? names[month - 1] : "";
}

std::filesystem::path CallFileName(const std::filesystem::path& folder, int year, int month) {
  char name[40];
  std::snprintf(name, sizeof name, "callhaven_%4.4d-%2.2d.csv", year, month);
  return folder / name;
}

std::vector<std::string> ListCallFiles(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= 14 && name.rfind("callhaven_", 0) == 0 && name.ends_with(".csv"))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool CallFilesExist(const std::filesystem::path& folder) {
  return !ListCallFiles(folder).empty();
}

namespace {

// The fields SplitCsvLine gives (up to six, 7 meaning more), read in
// place: -1 for a line it refuses, -2 for one with a doubled quote, whose
// field must be unquoted into a copy.
int SplitInPlace(std::string_view line, std::string_view (&fields)[6]) {
  int count = 0;
  size_t pos = 0;
  while (true) {
    if (count == 6) return 7;
    if (pos < line.size() && line[pos] == '"') {
      const size_t close = line.find('"', pos + 1);
      if (close == std::string_view::npos) return -1;  // unclosed
      if (close + 1 < line.size() && line[close + 1] == '"') return -2;
      fields[count++] = line.substr(pos + 1, close - pos - 1);
      pos = close + 1;
      if (pos < line.size() && line[pos] != ',') return -1;
    } else {
      const size_t comma = line.find(',', pos);
      const size_t end = comma == std::string_view::npos ? line.size() : comma;
      fields[count++] = line.substr(pos, end - pos);
      pos = end;
    }
    if (pos >= line.size()) return count;
    ++pos;
  }
}

void AddCall(std::string_view type, std::string_view costText, TCallMonth& month) {
  const Money cost = Money::Parse(costText).value_or(Money());
  if (type.size() >= 6 && type.substr(0, 6) == "Nation") {
    ++month.NationalCalls;
    month.NationalCost += cost;
  } else if (type.size() >= 6 && type.substr(0, 6) == "Mobile") {
    ++month.MobileCalls;
    month.MobileCost += cost;
  } else if (type.size() >= 9 && type.substr(0, 9) == "CallHaven") {
    ++month.CallhavenCalls;
  } else {
    ++month.OtherCalls;
    month.OtherCost += cost;
  }
}

}  // namespace

void AddCallLines(std::string_view text, TCallMonth& month) {
  std::vector<std::string> fields;
  std::string_view plain[6];
  bool header = true;
  ForEachLine(text, [&](std::string_view line) {
    if (header) {
      header = false;
      return;
    }
    const int inPlace = SplitInPlace(line, plain);
    if (inPlace != -2) {
      // Most lines: nothing to copy.
      if (inPlace >= 6) AddCall(plain[4], plain[3], month);
      return;
    }
    const auto count = SplitCsvLine(line, 6, fields);
    if (count && *count >= 6) AddCall(fields[4], fields[3], month);
  });
  month.TotalCalls =
      month.NationalCalls + month.MobileCalls + month.CallhavenCalls + month.OtherCalls;
  month.TotalCost = month.OtherCost + month.MobileCost + month.NationalCost;
}

TCallMonthsLoaded LoadCallMonths(TCallhaven& calls, const std::filesystem::path& folder,
                                 TDateTime today) {
  TCallMonthsLoaded loaded;
  calls.Clear();
  if (!CallFilesExist(folder)) return loaded;
  const DateParts d = DecodeDate(today);
  int year = d.year, month = d.month;
  std::error_code ec;
  const auto current = CallFileName(folder, year, month);
  if (std::filesystem::exists(current, ec)) {
    const auto written = std::filesystem::last_write_time(current, ec);
    // From the file system's clock to the wall clock.
    if (!ec)
      loaded.CurrentFileTime =
          FromTimePoint(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
              std::chrono::system_clock::now() +
              (written - std::filesystem::file_time_type::clock::now())));
  }
  for (int i = 0; i < kCallMonthsShown; ++i) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%s %4.4d", LongMonthName(month).c_str(), year);
    loaded.Selector.push_back(entry);
    TCallMonth& record = calls.Add();
    record.Month = month;
    record.Year = year;
    if (const auto text = ReadWholeFile(CallFileName(folder, year, month)))
      AddCallLines(*text, record);
    if (--month == 0) {
      month = 12;
      --year;
    }
  }
  return loaded;
}

}  // namespace qgm
