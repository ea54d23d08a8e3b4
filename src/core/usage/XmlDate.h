#pragma once

#include <string_view>

#include "core/util/DateTime.h"

namespace qgm {

// The usage API's date rule: only the digits of the date count (a time of day
// after a "T" or a blank is left out); exactly eight digits beginning "20"
// are read as YYYYMMDD. Anything else, and an impossible date, gives the
// zero date. "2014-06-15" and "20140615T00:00" both give 15 June 2014.
TDateTime XmlDateToDate(std::string_view text);

}  // namespace qgm
