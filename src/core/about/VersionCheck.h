#pragma once
// Whether the home site offers a newer release: its "version" file names
// the update file (such as "qgm0124.exe": major 1, minor text "24"), and
// the comparison with this program's version label follows the rules the
// release files were always named by.

#include <string>

namespace qgm {

// "Version " + the program's version.
std::string VersionLabel();

// True when `body` (the whole version file) names a release newer than the
// one in `versionLabel`. The current major is the number from the label's
// first digit up to its first "." (no update is announced for 0); the rest
// without its dots is the minor text. The body must end in ".exe" (any
// case); its major is the two characters from its first digit, its minor
// text runs from there up to its first ".". Newer: a greater major, or the
// same major and a minor text greater as text, ignoring case ("710" is not
// greater than "79"). A body starting with "*" announces nothing.
bool IsNewerVersion(const std::string& versionLabel, const std::string& body);

// A file name the update may be saved under: not empty, at most 255
// characters, only letters, digits, "-", "_" and ".", and not "." or "..";
// so no folder part and nothing that leaves the data folder.
bool IsSafeUpdateFileName(const std::string& name);

}  // namespace qgm
