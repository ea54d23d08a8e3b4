#pragma once
// The two builds of the scanner behind AddCallLines, which chooses one for
// the processor it runs on: each is here so that tests can hold both to the
// same totals on any machine.

#include <string_view>

#include "core/callusage/CallMonths.h"

namespace qgm::calllines {

// Plain x86-64 (SSE2), or portable C++ elsewhere.
void AddPortable(std::string_view text, TCallMonth& month);
// With AVX2 and BMI2; false, and the month untouched, where that build does
// not run (see UseWidePaths).
bool AddWide(std::string_view text, TCallMonth& month);

}  // namespace qgm::calllines
