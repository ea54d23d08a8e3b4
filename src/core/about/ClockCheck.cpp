#include "core/about/ClockCheck.h"

#include <cmath>

#include "core/util/Format.h"

namespace qgm {

namespace {
// A server time this far from the computer's clock is no time at all: a
// broken server, or a count read in the wrong era of the 2036 wrap. Shown
// without its whole days it would pass for a believable offset.
constexpr TDateTime kBelievableDays = 5 * 365.25;
}  // namespace

std::string ClockStateText(TDateTime now, TDateTime server) {
  if (server == 0 || std::fabs(now - server) > kBelievableDays) return "Unable to get the time.";
  const TDateTime d = now - server;
  const std::string prefix = d > 0 ? "Fast by " : "Slow by ";
  const TimeParts t = DecodeTime(std::fabs(d));
  if (t.hour != 0)
    return prefix + Format("%d hrs, %d mins && %d secs", {t.hour, t.minute, t.second});
  if (t.minute != 0) return prefix + Format("%d mins && %d secs", {t.minute, t.second});
  if (t.second != 0) return prefix + Format("%d secs", {t.second});
  return "Accurate to the second!";
}

std::string ShownClockStateText(TDateTime now, TDateTime server) {
  std::string text = ClockStateText(now, server);
  for (size_t at = text.find("&&"); at != std::string::npos; at = text.find("&&", at + 1))
    text.erase(at, 1);
  return text;
}

}  // namespace qgm
