#pragma once
// Starting other programs, always with an argument list (never through a
// shell), and handing an address or a file to the desktop's default
// program.

#include <functional>
#include <string>
#include <vector>

namespace qgm {

// Starts argv[0] (looked up in PATH) with the arguments. Returns false when
// it could not be started, or when it ended with a failure within
// `failWithinMs` (0: do not wait for it). A program still running then
// counts as started; it is reaped when it ends.
bool StartProgram(const std::vector<std::string>& argv, int failWithinMs = 0);
// Starts argv[0] like StartProgram, its output kept off the terminal: when
// it ends, `onExit` gets its exit status (127 when it could not start at
// all) and the start of what it wrote to its error output, on a thread of
// its own. False when it could not be started.
bool RunDetached(const std::vector<std::string>& argv,
                 std::function<void(int status, const std::string& errors)> onExit);
// Whether a program name (looked up in PATH) or path can be started.
bool ProgramExists(const std::string& program);
// Hands a web address or file to the desktop's default action (Linux:
// xdg-open) without waiting for it: false when it could not even be
// started. When it starts but then fails, `onFailure` runs (on a thread of
// its own).
bool OpenWithDesktop(const std::string& target, std::function<void()> onFailure = {});

}  // namespace qgm
