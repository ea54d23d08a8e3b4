#include "core/callusage/CallMonths.h"

#include <algorithm>
#include <system_error>

#include "core/platform/FileIo.h"
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
  std::string storage;  // every month's file in turn
  for (int i = 0; i < kCallMonthsShown; ++i) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%s %4.4d", LongMonthName(month).c_str(), year);
    loaded.Selector.push_back(entry);
    TCallMonth& record = calls.Add();
    record.Month = month;
    record.Year = year;
    const auto file = CallFileName(folder, year, month);
    std::string refused;
    if (const auto text = ReadFileInto(file, storage, kMaxCallMonthBytes, &refused)) {
      AddCallLines(*text, record);
    } else if (!refused.empty()) {
      loaded.Refused.push_back(file.filename().string() + ": " + refused);
    }
    if (--month == 0) {
      month = 12;
      --year;
    }
  }
  return loaded;
}

}  // namespace qgm
