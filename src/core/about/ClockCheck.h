#pragma once
// How far the computer's clock is from the provider's time server, in the
// words of the About tab.

#include <string>

#include "core/util/DateTime.h"

namespace qgm {

// "Unable to get the time." when `server` is 0 or more than five years
// from `now`; else "Fast by ..." or
// "Slow by ..." with hours, minutes and seconds of the difference (whole
// days dropped: a clock a day and 5 seconds fast is "Fast by 5 secs"), or
// "Accurate to the second!". Each "&&" in the result stands for one "&" on
// a label that takes "&" as a mnemonic marker.
std::string ClockStateText(TDateTime now, TDateTime server);

// The same with every "&&" as the single "&" it shows as.
std::string ShownClockStateText(TDateTime now, TDateTime server);

}  // namespace qgm
