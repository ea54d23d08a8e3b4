// The totals of a CallHaven month file. Nearly every line has one shape,
// 2026-12-01,09:10,0298761000,"1.25",National,60
// so lines are found and split from the bits of their newlines, commas and
// quotes, taken 64 bytes at a time; any other line goes through the CSV
// splitter. The scanner is built twice: for plain x86-64, and for
// processors with AVX2 and BMI2 (nearly every one since 2013), on which a
// block's bits take half the instructions and the bit arithmetic one each.
// AddCallLines picks one through UseWidePaths.
#include "core/callusage/CallMonths.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "core/util/CpuFeatures.h"
#include "core/util/Csv.h"

namespace qgm {
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
// The byte after the text is never a digit (every cost is followed by a
// comma, its closing quote or the end of a string), so each run of digits
// ends by itself, with no bounds check per digit; the decimals are written
// out.
[[gnu::always_inline]] inline bool ParsePlainCost(std::string_view text, Money& cost) {
  if (text.size() > 12) return false;
  const char* p = text.data();
  const auto digitAt = [](const char* c) {
    return static_cast<unsigned>(static_cast<unsigned char>(*c)) - '0';
  };
  unsigned d = digitAt(p);
  if (d > 9) return false;
  int64_t units = d;
  while ((d = digitAt(++p)) <= 9) units = units * 10 + d;
  int decimals = 0;
  if (*p == '.') {
    if ((d = digitAt(++p)) <= 9) {
      units = units * 10 + d;
      decimals = 1;
      if ((d = digitAt(++p)) <= 9) {
        units = units * 10 + d;
        decimals = 2;
        if ((d = digitAt(++p)) <= 9) {
          units = units * 10 + d;
          decimals = 3;
          if ((d = digitAt(++p)) <= 9) {
            units = units * 10 + d;
            decimals = 4;
            ++p;
          }
        }
      }
    }
  }
  if (p != text.data() + text.size()) return false;
  static constexpr int64_t kScales[] = {10000, 1000, 100, 10, 1};
  cost = Money::FromUnits(units * kScales[decimals]);
  return true;
}

[[gnu::always_inline]] inline Money ParseCost(std::string_view text) {
  Money cost;
  if (ParsePlainCost(text, cost)) return cost;
  return Money::Parse(text).value_or(Money());
}

// The positions of the newlines, commas and quotes among 64 bytes, one bit
// per byte.
struct TLineMarks {
  uint64_t newlines = 0;
  uint64_t commas = 0;
  uint64_t quotes = 0;
};

struct TPortableMarks {
  [[gnu::always_inline]] static TLineMarks Of64(const char* p) {
    TLineMarks m;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i quote = _mm_set1_epi8('"');
    const auto* in = reinterpret_cast<const __m128i*>(p);
    const __m128i v0 = _mm_loadu_si128(in), v1 = _mm_loadu_si128(in + 1);
    const __m128i v2 = _mm_loadu_si128(in + 2), v3 = _mm_loadu_si128(in + 3);
    const auto bits = [&](__m128i x) {
      const auto mask = [&](__m128i v) {
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, x)));
      };
      const uint32_t low = mask(v0) | mask(v1) << 16, high = mask(v2) | mask(v3) << 16;
      return static_cast<uint64_t>(low) | static_cast<uint64_t>(high) << 32;
    };
    m.newlines = bits(newline);
    m.commas = bits(comma);
    m.quotes = bits(quote);
#else
    for (int i = 0; i < 64; ++i) {
      if (p[i] == '\n') m.newlines |= 1ull << i;
      if (p[i] == ',') m.commas |= 1ull << i;
      if (p[i] == '"') m.quotes |= 1ull << i;
    }
#endif
    return m;
  }
};

#if QGM_WIDE_PATHS
// Inlined only into the scanner built for AVX2 (see AddWideScan).
struct TWideMarks {
  [[gnu::target("avx2")]] static TLineMarks Of64(const char* p) {
    // Written out: a lambda here would not be built for AVX2.
    const auto* in = reinterpret_cast<const __m256i*>(p);
    const __m256i v0 = _mm256_loadu_si256(in), v1 = _mm256_loadu_si256(in + 1);
    const __m256i newline = _mm256_set1_epi8('\n'), comma = _mm256_set1_epi8(',');
    const __m256i quote = _mm256_set1_epi8('"');
    const auto n0 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v0, newline)));
    const auto n1 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v1, newline)));
    const auto c0 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v0, comma)));
    const auto c1 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v1, comma)));
    const auto q0 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v0, quote)));
    const auto q1 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v1, quote)));
    return {n0 | static_cast<uint64_t>(n1) << 32, c0 | static_cast<uint64_t>(c1) << 32,
            q0 | static_cast<uint64_t>(q1) << 32};
  }
};
#endif

// A line of `len` < 64 bytes in the usual shape, its commas and quotes
// given as bits: six fields or more, and no quote but a pair around the
// cost, which holds a plain number. What SplitInPlace makes of such a line
// follows from the commas alone. False for any other line.
[[gnu::always_inline]] inline bool SplitUsual(const char* line, uint64_t commas, uint64_t quotes,
                                              std::string_view& type, Money& cost) {
  const uint64_t c1 = commas & (commas - 1);
  const uint64_t c2 = c1 & (c1 - 1);
  const uint64_t c3 = c2 & (c2 - 1);
  const uint64_t c4 = c3 & (c3 - 1);
  if (c4 == 0) return false;
  const int costStart = std::countr_zero(c2) + 1;
  const int typeStart = std::countr_zero(c3) + 1;
  const int lastStart = std::countr_zero(c4) + 1;
  type = std::string_view(line + typeStart, static_cast<size_t>(lastStart - 1 - typeStart));
  if (quotes == 0) {
    cost = ParseCost(
        std::string_view(line + costStart, static_cast<size_t>(typeStart - 1 - costStart)));
    return true;
  }
  const int costEnd = typeStart - 2;  // its last byte
  return costEnd > costStart && quotes == ((1ull << costStart) | (1ull << costEnd)) &&
         ParsePlainCost(
             std::string_view(line + costStart + 1, static_cast<size_t>(costEnd - costStart - 1)),
             cost);
}

// The four classes of call, by the first letters of their type.
enum class TCallKind { National, Mobile, Callhaven, Other };

[[gnu::always_inline]] inline TCallKind KindOf(std::string_view type) {
  if (type.size() >= 6 && type.substr(0, 6) == "Nation") return TCallKind::National;
  if (type.size() >= 6 && type.substr(0, 6) == "Mobile") return TCallKind::Mobile;
  if (type.size() >= 9 && type.substr(0, 9) == "CallHaven") return TCallKind::Callhaven;
  return TCallKind::Other;
}

// A line in any other shape, split as SplitCsvLine splits it; out of line,
// so that the scanner keeps its counts in registers.
struct TOddLine {
  bool counts = false;  // six fields or more
  TCallKind kind = TCallKind::Other;
  Money cost;
};

[[gnu::noinline]] TOddLine SplitOddLine(std::string_view line) {
  std::string_view plain[6];
  const int inPlace = SplitInPlace(line, plain);
  if (inPlace != -2) {
    // Most lines: nothing to copy.
    if (inPlace < 6) return {};
    return {true, KindOf(plain[4]), ParseCost(plain[3])};
  }
  std::vector<std::string> fields;
  const auto count = SplitCsvLine(line, 6, fields);
  if (!count || *count < 6) return {};
  return {true, KindOf(fields[4]), ParseCost(fields[3])};
}

// The month's counts while its lines are read.
struct TTotals {
  int32_t national, mobile, callhaven, other;
  Money nationalCost, mobileCost, otherCost;

  [[gnu::always_inline]] void Add(TCallKind kind, Money cost) {
    switch (kind) {
      case TCallKind::National:
        ++national;
        nationalCost += cost;
        break;
      case TCallKind::Mobile:
        ++mobile;
        mobileCost += cost;
        break;
      case TCallKind::Callhaven:
        ++callhaven;
        break;
      case TCallKind::Other:
        ++other;
        otherCost += cost;
        break;
    }
  }
  [[gnu::always_inline]] void AddLine(std::string_view line) {
    const TOddLine odd = SplitOddLine(line);
    if (odd.counts) Add(odd.kind, odd.cost);
  }
};

template <class Marks>
[[gnu::always_inline]] inline void ScanLines(std::string_view text, TCallMonth& month) {
  TTotals totals{month.NationalCalls, month.MobileCalls, month.CallhavenCalls, month.OtherCalls,
                 month.NationalCost,  month.MobileCost,  month.OtherCost};
  // The lines after the header. The text goes in blocks of 64 bytes, each
  // giving the bits of its newlines, commas and quotes; a line shorter than 64 bytes
  // in the usual shape is split on those bits, any other line (and the last
  // ones, after the final whole block) goes through AddLine. Lines are found
  // from the bits alone, so reading one line never waits for the last.
  const char* s = text.data();
  const size_t n = text.size();
  size_t lineStart = text.find('\n');
  lineStart = lineStart == std::string_view::npos ? n : lineStart + 1;
  size_t base = lineStart;
  uint64_t prevCommas = 0, prevQuotes = 0;
  for (; base + 64 <= n; base += 64) {
    const TLineMarks marks = Marks::Of64(s + base);
    for (uint64_t newlines = marks.newlines; newlines; newlines &= newlines - 1) {
      const size_t lineEnd = base + static_cast<size_t>(std::countr_zero(newlines));
      size_t len = lineEnd - lineStart;
      if (len > 0 && s[lineEnd - 1] == '\r') --len;
      std::string_view type;
      Money cost;
      bool done = false;
      if (lineEnd - lineStart < 64) {
        // The line's bits, from this block and the one before.
        const auto inLine = [&](uint64_t previous, uint64_t current) {
          const uint64_t bits = lineStart >= base ? current >> (lineStart - base)
                                                  : (previous >> (lineStart + 64 - base)) |
                                                        (current << (base - lineStart));
          return bits & ((1ull << len) - 1);
        };
        done = SplitUsual(s + lineStart, inLine(prevCommas, marks.commas),
                          inLine(prevQuotes, marks.quotes), type, cost);
      }
      if (done) {
        totals.Add(KindOf(type), cost);
      } else {
        totals.AddLine(text.substr(lineStart, len));
      }
      lineStart = lineEnd + 1;
    }
    prevCommas = marks.commas;
    prevQuotes = marks.quotes;
  }
  while (lineStart < n) {
    size_t end = text.find('\n', lineStart);
    if (end == std::string_view::npos) end = n;
    std::string_view line = text.substr(lineStart, end - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    totals.AddLine(line);
    lineStart = end + 1;
  }
  month.NationalCalls = totals.national;
  month.MobileCalls = totals.mobile;
  month.CallhavenCalls = totals.callhaven;
  month.OtherCalls = totals.other;
  month.NationalCost = totals.nationalCost;
  month.MobileCost = totals.mobileCost;
  month.OtherCost = totals.otherCost;
  month.TotalCalls =
      month.NationalCalls + month.MobileCalls + month.CallhavenCalls + month.OtherCalls;
  month.TotalCost = month.OtherCost + month.MobileCost + month.NationalCost;
}

#if QGM_WIDE_PATHS
// The scanner with everything it calls built for AVX2 and BMI2.
[[QGM_WIDE_TARGET, gnu::flatten]] void AddWideScan(std::string_view text, TCallMonth& month) {
  ScanLines<TWideMarks>(text, month);
}
#endif

}  // namespace

void AddCallLines(std::string_view text, TCallMonth& month) {
#if QGM_WIDE_PATHS
  if (UseWidePaths()) return AddWideScan(text, month);
#endif
  ScanLines<TPortableMarks>(text, month);
}

}  // namespace qgm
