#pragma once
// The usage history: one record per calendar day, oldest first, filled from
// the provider's history document and from the CSV usage log kept in the
// data folder.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/DateTime.h"
#include "core/util/Money.h"

namespace qgm {

class TElement;

struct TDayUsage {
  TDateTime Date = kNoDate;
  Money Total;  // the provider's total for the day
  Money Downloads;
  Money Uploads;
};

class THistory {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Throws std::out_of_range("THistory: out of range") for a bad index.
  const TDayUsage& Items(int index) const;
  void Delete(int index);
  void Clear() { items_.clear(); }
  const std::vector<TDayUsage>& Days() const { return items_; }

  // True when the last record's date is on or after `date`.
  bool EndsOnOrAfter(TDateTime date) const;
  // Amounts in bytes, held as megabytes rounded to the unit.
  void AddDay(TDateTime date, int64_t totalBytes, int64_t downloadBytes, int64_t uploadBytes);
  void AddDayMB(TDateTime date, Money total, Money downloads, Money uploads);
  void AppendEmptyDay(TDateTime date);
  void InsertEmptyDay(int index, TDateTime date);

  // Adds the days of a history document (8-bit text), then normalises as
  // of `today`. An empty document adds nothing.
  void LoadFromXml(std::string_view document, TDateTime today);
  // The same from a parsed document (its root).
  void LoadFromTree(const TElement* root, TDateTime today);
  // Makes every day from today - 30 to today present exactly once.
  void Normalise(TDateTime today);

  // The log's text: a header, then "yyyy-mm-dd, down, up, down+up" lines
  // with CR LF ends.
  std::string CsvText() const;
  // Writes the log whole through a temporary file, so a crash leaves the
  // previous log as it was. False when it could not be written.
  bool SaveToCsv(const std::filesystem::path& file) const;
  // Clear, then the log's days from `oldest` up to `newest` (the log is in
  // date order; a later day ends the reading).
  void LoadFromCsv(const std::filesystem::path& file, TDateTime newest, TDateTime oldest);
  void LoadFromCsvText(std::string_view text, TDateTime newest, TDateTime oldest);

  // When set, LoadFromXml adds only days after the last record.
  bool AppendNewer = false;

 private:
  std::vector<TDayUsage> items_;
};

// The log's file name for an account; empty when the name could lead out
// of the data folder.
std::filesystem::path UsageLogFile(const std::filesystem::path& dataFolder,
                                   const std::string& accountName);

}  // namespace qgm
