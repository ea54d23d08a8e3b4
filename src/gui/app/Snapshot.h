#pragma once
// For tests and screenshots ("qgm --snapshot PREFIX SECONDS"): once the
// first update has finished the program writes PREFIX-ready; when
// PREFIX-go appears (or SECONDS have passed) it saves the screen, the
// window and each page as PREFIX-*.png, prints the tray hint and ends.
// Scripts wait on these files instead of sleeping fixed times.

#include <string>

namespace qgm::gui {

class TProgram;

void SnapshotWhenAsked(TProgram& program, const std::string& prefix, int limitSeconds);

}  // namespace qgm::gui
