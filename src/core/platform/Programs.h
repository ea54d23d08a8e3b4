#pragma once
// Starting other programs, always with an argument list (never through a
// shell), and handing an address or a file to the desktop's default
// program.

#include <string>
#include <vector>

namespace qgm {

// Starts argv[0] (looked up in PATH) with the arguments. Returns false when
// it could not be started, or when it ended with a failure within
// `failWithinMs` (0: do not wait for it). A program still running then
// counts as started; it is reaped when it ends.
bool StartProgram(const std::vector<std::string>& argv, int failWithinMs = 0);
// Whether a program name (looked up in PATH) or path can be started.
bool ProgramExists(const std::string& program);
// Hands a web address or file to the desktop's default action (Linux:
// xdg-open); false when the desktop could not open it.
bool OpenWithDesktop(const std::string& target);

}  // namespace qgm
