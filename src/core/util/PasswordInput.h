#pragma once
// Passwords given to a program when it starts. An argument stays readable
// by every local user for the life of the process (/proc/PID/cmdline, ps),
// so a password argument is blanked as soon as it is read; standard input
// and the environment (QGM_PASSWORD) are the ways that show nothing.

#include <cstdio>
#include <optional>
#include <string>

namespace qgm {

// Overwrites the text of one command-line argument in place (its length
// stays, its characters become NUL).
void BlankArgument(char* arg);

// The first line of `in` without its line break (LF or CR LF; a CR just
// before the end of input goes too); nullopt when `in` ends before a
// single character is read.
std::optional<std::string> ReadPasswordLine(std::FILE* in);

}  // namespace qgm
