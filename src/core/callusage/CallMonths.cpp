#include "core/callusage/CallMonths.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A cost as the files write it, "12.34": digits, then a point and up to four
// digits, which Money::Parse reads the same way; false for anything else.
[[gnu::always_inline]] inline bool ParsePlainCost(std::string_view text, Money& cost) {
  const size_t n = text.size();
  if (n == 0 || n > 12) return false;
  int64_t units = 0;
  size_t i = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) units = units * 10 + (text[i] - '0');
  if (i == 0) return false;
  int decimals = 0;
  if (i < n && text[i] == '.') {
    for (++i; i < n && decimals < 4 && text[i] >= '0' && text[i] <= '9'; ++i, ++decimals)
      units = units * 10 + (text[i] - '0');
  }
  if (i != n) return false;
  static constexpr int64_t kScales[] = {10000, 1000, 100, 10, 1};
  cost = Money::FromUnits(units * kScales[decimals]);
  return true;
}

[[gnu::always_inline]] inline Money ParseCost(std::string_view text) {
  Money cost;
  if (ParsePlainCost(text, cost)) return cost;
  return Money::Parse(text).value_or(Money());
}

// The positions of the newlines and commas among 64 bytes, one bit per byte.
struct TLineMarks {
  uint64_t newlines = 0;
  uint64_t commas = 0;
};

TLineMarks MarksOf64(const char* p) {
  TLineMarks m;
#if defined(__SSE2__)
  // Written out for the four blocks: a loop is not unrolled at -O2.
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i comma = _mm_set1_epi8(',');
  const auto* in = reinterpret_cast<const __m128i*>(p);
  const __m128i v0 = _mm_loadu_si128(in), v1 = _mm_loadu_si128(in + 1);
  const __m128i v2 = _mm_loadu_si128(in + 2), v3 = _mm_loadu_si128(in + 3);
  const auto bits = [&](__m128i x) {
    const auto mask = [&](__m128i v) {
      return static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, x))));
    };
    return mask(v0) | mask(v1) << 16 | mask(v2) << 32 | mask(v3) << 48;
  };
  m.newlines = bits(newline);
  m.commas = bits(comma);
#else
  for (int i = 0; i < 64; ++i) {
    if (p[i] == '\n') m.newlines |= 1ull << i;
    if (p[i] == ',') m.commas |= 1ull << i;
  }
#endif
  return m;
}

// A line of `len` < 64 bytes in the usual shape, its commas given as bits:
// six fields or more, none but the cost opening with a quote, and a quoted
// cost a plain number closed right before its comma. What SplitInPlace
// makes of such a line follows from the commas alone. False for any other
// line.
[[gnu::always_inline]] inline bool SplitUsual(const char* line, uint64_t commas, int len,
                                              std::string_view& type, Money& cost) {
  const uint64_t c1 = commas & (commas - 1);
  const uint64_t c2 = c1 & (c1 - 1);
  const uint64_t c3 = c2 & (c2 - 1);
  const uint64_t c4 = c3 & (c3 - 1);
  if (c4 == 0) return false;
  const int costStart = std::countr_zero(c2) + 1;
  const int typeStart = std::countr_zero(c3) + 1;
  const int lastStart = std::countr_zero(c4) + 1;
  if (line[0] == '"' || line[std::countr_zero(commas) + 1] == '"' ||
      line[std::countr_zero(c1) + 1] == '"' || line[typeStart] == '"' ||
      (lastStart < len && line[lastStart] == '"'))
    return false;
  type = std::string_view(line + typeStart, static_cast<size_t>(lastStart - 1 - typeStart));
  const std::string_view costText(line + costStart, static_cast<size_t>(typeStart - 1 - costStart));
  if (costText.empty() || costText[0] != '"') {
    cost = ParseCost(costText);
    return true;
  }
  // Quoted: its digits hold no quote, so the one before the comma closes it.
  return costText.size() >= 2 && costText.back() == '"' &&
         ParsePlainCost(costText.substr(1, costText.size() - 2), cost);
}

[[gnu::always_inline]] inline void AddCall(std::string_view type, Money cost, TCallMonth& month) {
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

void AddCallLines(std::string_view text, TCallMonth& record) {
  // Counted in a copy the compiler may keep in registers.
  TCallMonth month = record;
  std::vector<std::string> fields;
  std::string_view plain[6];
  const auto addLine = [&](std::string_view line) {
    const int inPlace = SplitInPlace(line, plain);
    if (inPlace != -2) {
      // Most lines: nothing to copy.
      if (inPlace >= 6) AddCall(plain[4], ParseCost(plain[3]), month);
      return;
    }
    const auto count = SplitCsvLine(line, 6, fields);
    if (count && *count >= 6) AddCall(fields[4], ParseCost(fields[3]), month);
  };
  // The lines after the header. The text goes in blocks of 64 bytes, each
  // giving the bits of its newlines and commas; a line shorter than 64 bytes
  // in the usual shape is split on those bits, any other line (and the last
  // ones, after the final whole block) goes through addLine. Lines are found
  // from the bits alone, so reading one line never waits for the last.
  const char* s = text.data();
  const size_t n = text.size();
  size_t lineStart = text.find('\n');
  lineStart = lineStart == std::string_view::npos ? n : lineStart + 1;
  size_t base = lineStart;
  uint64_t prevCommas = 0;
  for (; base + 64 <= n; base += 64) {
    const TLineMarks marks = MarksOf64(s + base);
    for (uint64_t newlines = marks.newlines; newlines; newlines &= newlines - 1) {
      const size_t lineEnd = base + static_cast<size_t>(std::countr_zero(newlines));
      size_t len = lineEnd - lineStart;
      if (len > 0 && s[lineEnd - 1] == '\r') --len;
      std::string_view type;
      Money cost;
      bool done = false;
      if (lineEnd - lineStart < 64) {
        const uint64_t commas = lineStart >= base ? marks.commas >> (lineStart - base)
                                                  : (prevCommas >> (lineStart + 64 - base)) |
                                                        (marks.commas << (base - lineStart));
        done = SplitUsual(s + lineStart, commas & ((1ull << len) - 1), static_cast<int>(len), type,
                          cost);
      }
      if (done) {
        AddCall(type, cost, month);
      } else {
        addLine(text.substr(lineStart, len));
      }
      lineStart = lineEnd + 1;
    }
    prevCommas = marks.commas;
  }
  while (lineStart < n) {
    size_t end = text.find('\n', lineStart);
    if (end == std::string_view::npos) end = n;
    std::string_view line = text.substr(lineStart, end - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    addLine(line);
    lineStart = end + 1;
  }
  month.TotalCalls =
      month.NationalCalls + month.MobileCalls + month.CallhavenCalls + month.OtherCalls;
  month.TotalCost = month.OtherCost + month.MobileCost + month.NationalCost;
  record = month;
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
